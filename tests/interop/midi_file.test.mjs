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

// A meta event as the file format defines it, in the shape `midi-file` reports it.
function metaEvent(type, data) {
  if (textTypes[type]) return { meta: true, type: textTypes[type], text: String.fromCharCode(...data) };
  switch (type) {
    case 0x2f:
      return { meta: true, type: 'endOfTrack' };
    case 0x51:
      return { meta: true, type: 'setTempo', microsecondsPerBeat: (data[0] << 16) | (data[1] << 8) | data[2] };
    case 0x58:
      return {
        meta: true,
        type: 'timeSignature',
        numerator: data[0],
        denominator: 1 << data[1],
        metronome: data.length === 4 ? data[2] : 0x24,
        thirtyseconds: data.length === 4 ? data[3] : 0x08,
      };
    case 0x59:
      return { meta: true, type: 'keySignature', key: data[0] > 127 ? data[0] - 256 : data[0], scale: data[1] };
    default:  // the types the songs of the C++ tests do not hold fail here, to be added when they do
      return { meta: true, type: 'unknownMeta', data, metatypeByte: type };
  }
}

// A channel event; a note-on with velocity 0 is a note-off.
function channelEvent(status, [first, second]) {
  const channel = status & 0x0f;
  switch (status >> 4) {
    case 0x8:
      return { channel, type: 'noteOff', noteNumber: first, velocity: second };
    case 0x9:
      return second === 0
        ? { channel, type: 'noteOff', noteNumber: first, velocity: 0, byte9: true }
        : { channel, type: 'noteOn', noteNumber: first, velocity: second };
    case 0xa:
      return { channel, type: 'noteAftertouch', noteNumber: first, amount: second };
    case 0xb:
      return { channel, type: 'controller', controllerType: first, value: second };
    case 0xc:
      return { channel, type: 'programChange', programNumber: first };
    case 0xd:
      return { channel, type: 'channelAftertouch', amount: first };
    default:
      return { channel, type: 'pitchBend', value: first + (second << 7) - 0x2000 };
  }
}

function expectedEvent({ status, metaType, data }) {
  if (status === 0xff) return metaEvent(metaType, data);
  if (status === 0xf0 || status === 0xf7) return { type: status === 0xf0 ? 'sysEx' : 'endSysEx', data };
  return channelEvent(status, data);
}

test('the C++ tests left rendering MIDI files to check', { skip: root ? false : 'RENDLOW_INTEROP_DIR is not set' }, () => {
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
