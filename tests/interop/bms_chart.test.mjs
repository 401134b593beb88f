// Reads every chart the C++ tests wrote with `bms`, the BMS parser of a public rhythm-game
// player. A chart a job made ($RENDLOW_INTEROP_DIR/jobs/<case>: chart.bme, the song it was made
// from, source.mid, and held.json, whose "objects" give every background object's #WAV id and the
// tick of its note-on) must play the song back: each object names a sound file and sounds when
// its note-on sounds in the song. A chart with its sound files beside it
// ($RENDLOW_INTEROP_DIR/keysounds/<case>) must have a file for every sound it names, as ".wav"
// or, since players look for it when the ".wav" is missing, as ".ogg".

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import bms from 'bms';
import midiFile from 'midi-file';

const { Compiler, Timing, Keysounds } = bms;
const root = process.env.RENDLOW_INTEROP_DIR;
const casesOf = (kind) => {
  const folder = root ? path.join(root, kind) : null;
  return folder && fs.existsSync(folder) ? fs.readdirSync(folder).sort().map((name) => path.join(folder, name)) : [];
};

function compile(file) {
  const { chart, warnings } = Compiler.compile(fs.readFileSync(file, 'latin1'));
  assert.deepEqual(warnings, [], 'the parser warns about nothing');
  return chart;
}

// The seconds of a tick of the song: its tempo changes in time order, each rounded to two
// decimals as the chart writes it; before the first, the MIDI default of 120 BPM.
function songClock(midi) {
  const changes = [];
  midi.tracks.forEach((events, track) => {
    let tick = 0;
    for (const event of events) {
      tick += event.deltaTime;
      if (event.type === 'setTempo')
        changes.push({ tick, track, bpm: Math.round(6e9 / event.microsecondsPerBeat) / 100 });
    }
  });
  changes.sort((a, b) => a.tick - b.tick || a.track - b.track);
  const division = midi.header.ticksPerBeat;
  return (tick) => {
    let seconds = 0;
    let at = 0;
    let bpm = 120;
    for (const change of changes.filter((c) => c.tick <= tick)) {
      seconds += ((change.tick - at) / division) * (60 / bpm);
      [at, bpm] = [change.tick, change.bpm];
    }
    return seconds + ((tick - at) / division) * (60 / bpm);
  };
}

const skip = root ? false : 'RENDLOW_INTEROP_DIR is not set';
test('the C++ tests left charts and keysounds to check', { skip }, () => {
  assert.ok(casesOf('jobs').length > 0, 'no charts');
  assert.ok(casesOf('keysounds').length > 0, 'no keysound folders');
});

for (const folder of casesOf('jobs')) {
  test(`chart ${path.basename(folder)}`, () => {
    const chart = compile(path.join(folder, 'chart.bme'));
    const timing = Timing.fromBMSChart(chart);
    const keysounds = Keysounds.fromBMSChart(chart);
    const secondsAt = (measure, fraction) =>
      timing.beatToSeconds(chart.timeSignatures.measureToBeat(measure, fraction));
    const background = chart.objects.all().filter((o) => o.channel === '01');
    for (const object of background) {
      const file = keysounds.get(object.value);
      assert.ok(file && /\.wav$/.test(file), `#WAV${object.value} names a sound file (${file})`);
    }
    const expected = JSON.parse(fs.readFileSync(path.join(folder, 'held.json'), 'utf8')).objects;
    assert.equal(background.length, expected.length, 'every object the chart building placed is in the chart');
    const clock = songClock(midiFile.parseMidi(fs.readFileSync(path.join(folder, 'source.mid'))));
    for (const id of new Set(expected.map((o) => o.id))) {
      // Each object of the id, in time order, sounds within a 192nd of its measure of its note-on.
      const chartTimes = background
        .filter((o) => o.value.toUpperCase() === id)
        .map((o) => [secondsAt(o.measure, o.fraction), secondsAt(o.measure + 1, 0) - secondsAt(o.measure, 0)]);
      const songTimes = expected.filter((o) => o.id === id).map((o) => clock(o.tick)).sort((x, y) => x - y);
      assert.equal(chartTimes.length, songTimes.length, `objects of #WAV${id}`);
      chartTimes.sort((x, y) => x[0] - y[0]).forEach(([seconds, measure], i) => {
        const off = Math.abs(seconds - songTimes[i]);
        const says = `#WAV${id} object ${i} sounds at ${seconds} s, its note-on at ${songTimes[i]} s`;
        assert.ok(off <= measure / 192 + 1e-9, says);
      });
    }
  });
}

for (const folder of casesOf('keysounds')) {
  test(`keysounds ${path.basename(folder)}`, () => {
    const chart = compile(path.join(folder, fs.readdirSync(folder).find((f) => f.endsWith('.bme'))));
    const files = Object.values(Keysounds.fromBMSChart(chart).all());
    assert.ok(files.length > 0, 'the chart names sound files');
    for (const file of files) {
      const ogg = file.replace(/\.wav$/i, '.ogg');
      assert.ok(fs.existsSync(path.join(folder, file)) || fs.existsSync(path.join(folder, ogg)), `${file} is there`);
    }
  });
}
