// Reads the bmson charts the C++ tests wrote with a reader of its own, written from the format's
// description and sharing nothing with the writer: each note is timed through `resolution` and
// `bpm_events` alone, and must sound within 1 ms of its note-on in the song (the MIDI file's own
// tempo map). A job's folder holds chart.bmson instead of chart.bme; a keysound folder holding a
// .bmson chart must have a file for every sound channel.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { assertSoundFilesBeside, casesOf, clockOf, fileEndingIn, readHeld, readMidi, songClock } from './written.mjs';

// The seconds of pulse y: the pulses per quarter note are the chart's resolution; the tempo starts
// at init_bpm and changes at each bpm event.
function bmsonClock(doc) {
  const changes = doc.bpm_events.map(({ y, bpm }) => ({ at: y, bpm })).sort((a, b) => a.at - b.at);
  return clockOf(changes, doc.info.resolution, doc.info.init_bpm);
}

function readBmson(file) {
  const doc = JSON.parse(fs.readFileSync(file, 'utf8'));
  assert.equal(doc.version, '1.0.0');
  assert.equal(doc.info.mode_hint, 'beat-7k');
  assert.ok(doc.info.resolution > 0 && doc.info.init_bpm > 0, 'a resolution and a tempo to time by');
  for (const event of doc.bpm_events) assert.ok(Number.isFinite(event.bpm) && event.bpm > 0, `bpm ${event.bpm}`);
  const lines = doc.lines.map((l) => l.y);
  assert.deepEqual(lines, [...lines].sort((a, b) => a - b), 'bar lines in time order');
  for (const channel of doc.sound_channels) {
    for (const note of channel.notes)
      assert.deepEqual([note.x, note.l, note.c], [0, 0, false], `${channel.name}: a background note`);
  }
  return doc;
}

for (const folder of casesOf('jobs', '.bmson')) {
  test(`bmson chart ${path.basename(folder)}`, () => {
    const doc = readBmson(path.join(folder, 'chart.bmson'));
    const chartClock = bmsonClock(doc);
    const songSeconds = songClock(readMidi(folder, 'source.mid'));
    const held = readHeld(folder).objects;
    // One channel per id that has objects, in id order.
    const ids = [...new Set(held.map((o) => o.id))].sort((a, b) => parseInt(a, 36) - parseInt(b, 36));
    assert.equal(doc.sound_channels.length, ids.length, 'one sound channel per id');
    ids.forEach((id, c) => {
      const channel = doc.sound_channels[c];
      const chartTimes = channel.notes.map((n) => chartClock(n.y)).sort((a, b) => a - b);
      const noteOns = held.filter((o) => o.id === id).map((o) => songSeconds(o.tick)).sort((a, b) => a - b);
      assert.equal(chartTimes.length, noteOns.length, `${channel.name}: every object`);
      chartTimes.forEach((seconds, i) => {
        const says = `${channel.name} note ${i} sounds at ${seconds} s, its note-on at ${noteOns[i]} s`;
        assert.ok(Math.abs(seconds - noteOns[i]) <= 0.001, says);
      });
    });
  });
}

for (const folder of casesOf('keysounds', '.bmson')) {
  test(`bmson keysounds ${path.basename(folder)}`, () => {
    const doc = readBmson(path.join(folder, fileEndingIn(folder, '.bmson')));
    assertSoundFilesBeside(folder, doc.sound_channels.map((c) => c.name));
  });
}
