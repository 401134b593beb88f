// Reads what the C++ tests wrote with independent parsers from the npm registry: every rendering
// MIDI file with `midi-file`, every chart with `bms`, the BMS parser of a public rhythm-game player.
//
// Each job leaves a folder under $RENDLOW_INTEROP_DIR/jobs: the song it read (source.mid), the
// rendering MIDI file (rendering.mid), the chart (chart.bme), and held.txt, what the engine held
// for them (see written.mjs). The rendering file must hold exactly the events the engine held: the
// same tracks, the same events in the same order, at the same ticks, with the same contents, and
// never a running status. The chart must play the song back: each object names a sound file and
// sounds when its note-on sounds in the song.
//
// A chart with its sound files beside it ($RENDLOW_INTEROP_DIR/keysounds/<case>) must have a file
// for every sound it names (see written.mjs). (That each sound is heard from the start of its file
// is the C++ tests' check; the format of the files they read is held there to a file written byte
// for byte.)

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import bms from 'bms';
import { assertSoundFilesBeside, casesOf, fileEndingIn, readHeld, readMidi, root, songClock } from './written.mjs';

const { Compiler, Timing, Keysounds } = bms;

const textTypes = [, 'text', 'copyrightNotice', 'trackName', 'instrumentName', 'lyrics', 'marker', 'cuePoint'];

// A meta event as the file format defines it, in the shape `midi-file` reports it. The types the
// songs of the C++ tests do not hold come out as unknown, and fail, until they are added here.
function metaEvent(type, data) {
  if (textTypes[type]) return { meta: true, type: textTypes[type], text: String.fromCharCode(...data) };
  const [a, b, c, d] = data;
  const known = {
    0x2f: { type: 'endOfTrack' },
    0x51: { type: 'setTempo', microsecondsPerBeat: (a << 16) | (b << 8) | c },
    0x58: { type: 'timeSignature', numerator: a, denominator: 1 << b, metronome: c ?? 0x24, thirtyseconds: d ?? 0x08 },
    0x59: { type: 'keySignature', key: a > 127 ? a - 256 : a, scale: b },
  }[type];
  return { meta: true, ...(known ?? { type: 'unknownMeta', data, metatypeByte: type }) };
}

// A channel event by the high nibble of its status; a note-on with velocity 0 is a note-off.
const channelEvents = {
  0x8: (noteNumber, velocity) => ({ type: 'noteOff', noteNumber, velocity }),
  0x9: (noteNumber, velocity) =>
    velocity === 0 ? { type: 'noteOff', noteNumber, velocity, byte9: true } : { type: 'noteOn', noteNumber, velocity },
  0xa: (noteNumber, amount) => ({ type: 'noteAftertouch', noteNumber, amount }),
  0xb: (controllerType, value) => ({ type: 'controller', controllerType, value }),
  0xc: (programNumber) => ({ type: 'programChange', programNumber }),
  0xd: (amount) => ({ type: 'channelAftertouch', amount }),
  0xe: (low, high) => ({ type: 'pitchBend', value: low + (high << 7) - 0x2000 }),
};

function expectedEvent({ status, metaType, data }) {
  if (status === 0xff) return metaEvent(metaType, data);
  if (status === 0xf0 || status === 0xf7) return { type: status === 0xf0 ? 'sysEx' : 'endSysEx', data };
  return { channel: status & 0x0f, ...channelEvents[status >> 4](...data) };
}

function compile(file) {
  const { chart, warnings } = Compiler.compile(fs.readFileSync(file, 'latin1'));
  assert.deepEqual(warnings, [], 'the parser warns about nothing');
  return chart;
}

const skip = root ? false : 'RENDLOW_INTEROP_DIR is not set';
test('the C++ tests left jobs and keysounds to check', { skip }, () => {
  assert.ok(casesOf('jobs').length > 0, 'no jobs');
  assert.ok(casesOf('keysounds').length > 0, 'no keysound folders');
});

for (const folder of casesOf('jobs')) {
  test(`rendering file ${path.basename(folder)}`, () => {
    const expected = readHeld(folder);
    const midi = readMidi(folder, 'rendering.mid');
    assert.deepEqual(midi.header, { format: 1, numTracks: expected.tracks.length, ticksPerBeat: expected.division });
    assert.equal(midi.tracks.length, expected.tracks.length, 'one chunk per written track');
    midi.tracks.forEach((events, t) => {
      const held = expected.tracks[t];
      assert.equal(events.length, held.length, `track ${t}: every event, and nothing else`);
      let tick = 0;
      events.forEach(({ deltaTime, ...content }, i) => {
        tick += deltaTime;
        const where = `track ${t}, event ${i}`;
        assert.equal(content.running, undefined, `${where}: written with its status byte`);
        assert.equal(tick, held[i].tick, `${where}: tick`);
        if (content.data) content.data = Array.from(content.data);
        assert.deepEqual(content, expectedEvent(held[i]), where);
      });
    });
  });
}

for (const folder of casesOf('jobs', '.bme')) {
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
    const expected = readHeld(folder).objects;
    assert.equal(background.length, expected.length, 'every object the chart building placed is in the chart');
    const clock = songClock(readMidi(folder, 'source.mid'));
    for (const id of new Set(expected.map((o) => o.id))) {
      // Each object of the id, in time order, sounds within 1 ms of its note-on: exactly on its tick,
      // or, in a measure of more than 3840 ticks, on the 3840th of the measure at or before it.
      const chartTimes = background
        .filter((o) => o.value.toUpperCase() === id)
        .map((o) => [secondsAt(o.measure, o.fraction), secondsAt(o.measure + 1, 0) - secondsAt(o.measure, 0)]);
      const songTimes = expected.filter((o) => o.id === id).map((o) => clock(o.tick)).sort((x, y) => x - y);
      assert.equal(chartTimes.length, songTimes.length, `objects of #WAV${id}`);
      chartTimes.sort((x, y) => x[0] - y[0]).forEach(([seconds, measure], i) => {
        const off = Math.abs(seconds - songTimes[i]);
        const says = `#WAV${id} object ${i} sounds at ${seconds} s, its note-on at ${songTimes[i]} s`;
        assert.ok(off <= Math.max(0.001, measure / 3840 + 1e-9), says);
      });
    }
  });
}

// A folder whose chart is a .bme; bmson.test.mjs reads the others.
for (const folder of casesOf('keysounds', '.bme')) {
  test(`keysounds ${path.basename(folder)}`, () => {
    const chart = compile(path.join(folder, fileEndingIn(folder, '.bme')));
    assertSoundFilesBeside(folder, Object.values(Keysounds.fromBMSChart(chart).all()));
  });
}
