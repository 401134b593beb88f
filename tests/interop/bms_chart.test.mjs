// Reads every chart the C++ tests wrote with `bms`, the BMS parser of a public rhythm-game
// player, and checks that the chart plays the song back: each background object names a sound
// file and sounds when the note-on it stands for sounds in the MIDI file it was made from.
//
// The C++ tests leave their charts in $RENDLOW_INTEROP_DIR/charts: "<name>.bme", the source MIDI
// file "<name>.source.mid", and "<name>.json" listing every background object's #WAV id and
// source tick.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import bms from 'bms';
import midiFile from 'midi-file';

const { Compiler, Timing, Keysounds } = bms;
const { parseMidi } = midiFile;

const folder = process.env.RENDLOW_INTEROP_DIR ? path.join(process.env.RENDLOW_INTEROP_DIR, 'charts') : null;

// The song's tempo changes in time order, each rounded to two decimals as the chart writes it.
// Before the first change the MIDI default of 120 BPM holds.
function tempoMap(midi) {
  const changes = [];
  midi.tracks.forEach((events, track) => {
    let tick = 0;
    for (const event of events) {
      tick += event.deltaTime;
      if (event.type === 'setTempo') {
        const bpm = 60 / (event.microsecondsPerBeat / 1e6);
        changes.push({ tick, track, bpm: Math.round(bpm * 100) / 100 });
      }
    }
  });
  changes.sort((a, b) => a.tick - b.tick || a.track - b.track);
  return changes;
}

function secondsAtTick(tick, changes, division) {
  let seconds = 0;
  let at = 0;
  let bpm = 120;
  for (const change of changes) {
    if (change.tick > tick) break;
    seconds += ((change.tick - at) / division) * (60 / bpm);
    at = change.tick;
    bpm = change.bpm;
  }
  return seconds + ((tick - at) / division) * (60 / bpm);
}

function groupBy(items, key) {
  const groups = new Map();
  for (const item of items) {
    const k = key(item);
    if (!groups.has(k)) groups.set(k, []);
    groups.get(k).push(item);
  }
  return groups;
}

function checkChart(name) {
  const expected = JSON.parse(fs.readFileSync(path.join(folder, name), 'utf8'));
  const text = fs.readFileSync(path.join(folder, expected.chart), 'latin1');
  const { chart, warnings } = Compiler.compile(text);
  assert.deepEqual(warnings, [], 'the parser warns about nothing');

  const timing = Timing.fromBMSChart(chart);
  const keysounds = Keysounds.fromBMSChart(chart);
  const secondsAt = (measure, fraction) =>
    timing.beatToSeconds(chart.timeSignatures.measureToBeat(measure, fraction));

  const background = chart.objects.all().filter((o) => o.channel === '01');
  for (const object of background) {
    const file = keysounds.get(object.value);
    assert.ok(file && /\.wav$/.test(file), `#WAV${object.value} names a sound file (${file})`);
  }
  assert.equal(background.length, expected.objects.length, 'every object the chart building placed is in the chart');

  const midi = parseMidi(fs.readFileSync(path.join(folder, expected.source)));
  const division = midi.header.ticksPerBeat;
  const changes = tempoMap(midi);
  const played = groupBy(background, (o) => o.value.toUpperCase());
  for (const [id, sources] of groupBy(expected.objects, (o) => o.id)) {
    const objects = played.get(id) ?? [];
    assert.equal(objects.length, sources.length, `objects of #WAV${id}`);
    const chartTimes = objects
      .map((o) => ({
        seconds: secondsAt(o.measure, o.fraction),
        tolerance: (secondsAt(o.measure + 1, 0) - secondsAt(o.measure, 0)) / 192,
      }))
      .sort((a, b) => a.seconds - b.seconds);
    const songTimes = sources.map((s) => secondsAtTick(s.tick, changes, division)).sort((a, b) => a - b);
    chartTimes.forEach((c, i) => {
      const off = Math.abs(c.seconds - songTimes[i]);
      assert.ok(
        off <= c.tolerance + 1e-9,
        `#WAV${id} object ${i} sounds at ${c.seconds} s, its note-on at ${songTimes[i]} s (allowed ${c.tolerance} s)`,
      );
    });
  }
}

const charts = folder && fs.existsSync(folder) ? fs.readdirSync(folder).filter((f) => f.endsWith('.json')).sort() : [];

test('the C++ tests left charts to check', { skip: folder ? false : 'RENDLOW_INTEROP_DIR is not set' }, () => {
  assert.ok(charts.length > 0, `no charts in ${folder}`);
});

for (const name of charts) {
  test(`chart ${name.replace(/\.json$/, '')}`, () => checkChart(name));
}
