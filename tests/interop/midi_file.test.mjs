// Reads every rendering MIDI file the C++ tests wrote with `midi-file`, a MIDI parser that has
// nothing to do with ours, and checks that each holds exactly the events the engine held: the
// same tracks, the same events in the same order, at the same ticks, with the same contents, and
// never a running status.
//
// The C++ tests leave each job's files in a folder of its own under $RENDLOW_INTEROP_DIR/jobs:
// rendering.mid, and held.json with the header's division and, per written track, every written
// event's absolute tick, status byte, meta type (-1 for others) and data bytes.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import midiFile from 'midi-file';

const root = process.env.RENDLOW_INTEROP_DIR ? path.join(process.env.RENDLOW_INTEROP_DIR, 'jobs') : null;
const folders = root && fs.existsSync(root) ? fs.readdirSync(root).sort() : [];

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

const skip = root ? false : 'RENDLOW_INTEROP_DIR is not set';
test('the C++ tests left rendering MIDI files to check', { skip }, () => {
  assert.ok(folders.length > 0, `no rendering MIDI files in ${root}`);
});

for (const name of folders) {
  test(`rendering file ${name}`, () => {
    const expected = JSON.parse(fs.readFileSync(path.join(root, name, 'held.json'), 'utf8'));
    const midi = midiFile.parseMidi(fs.readFileSync(path.join(root, name, 'rendering.mid')));
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
