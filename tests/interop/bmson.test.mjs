// Reads the bmson charts the C++ tests wrote with a reader of its own, written from the format's
// description and sharing nothing with the writer: each note is timed through `resolution` and
// `bpm_events` alone, and must sound within 1 ms of its note-on in the song (the MIDI file's own
// tempo map). A job's folder holds chart.bmson instead of chart.bme; a keysound folder holding a
// .bmson chart must have a file for every sound channel.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import midiFile from 'midi-file';
import { songClock } from './song-clock.mjs';

const root = process.env.RENDLOW_INTEROP_DIR;
const foldersWith = (kind, suffix) => {
  const folder = root ? path.join(root, kind) : null;
  if (!folder || !fs.existsSync(folder)) return [];
  return fs
    .readdirSync(folder)
    .sort()
    .map((name) => path.join(folder, name))
    .filter((f) => fs.readdirSync(f).some((name) => name.endsWith(suffix)));
};

// The seconds of pulse y: the pulses per quarter note are the chart's resolution; the tempo starts
// at init_bpm and changes at each bpm event.
function bmsonClock(doc) {
  const resolution = doc.info.resolution;
  const changes = [...doc.bpm_events].sort((a, b) => a.y - b.y);
  return (y) => {
    let seconds = 0;
    let at = 0;
    let bpm = doc.info.init_bpm;
    for (const change of changes.filter((c) => c.y <= y)) {
      seconds += ((change.y - at) / resolution) * (60 / bpm);
      [at, bpm] = [change.y, change.bpm];
    }
    return seconds + ((y - at) / resolution) * (60 / bpm);
  };
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

function readHeldObjects(folder) {
  return fs
    .readFileSync(path.join(folder, 'held.txt'), 'utf8')
    .split('\n')
    .filter((line) => line.startsWith('object '))
    .map((line) => {
      const [, id, tick] = line.split(' ');
      return { id: parseInt(id, 36), tick: Number(tick) };
    });
}

for (const folder of foldersWith('jobs', '.bmson')) {
  test(`bmson chart ${path.basename(folder)}`, () => {
    const doc = readBmson(path.join(folder, 'chart.bmson'));
    const chartClock = bmsonClock(doc);
    const songSeconds = songClock(midiFile.parseMidi(fs.readFileSync(path.join(folder, 'source.mid'))));
    const held = readHeldObjects(folder);
    // One channel per id that has objects, in id order.
    const ids = [...new Set(held.map((o) => o.id))].sort((a, b) => a - b);
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

for (const folder of foldersWith('keysounds', '.bmson')) {
  test(`bmson keysounds ${path.basename(folder)}`, () => {
    const doc = readBmson(path.join(folder, fs.readdirSync(folder).find((f) => f.endsWith('.bmson'))));
    assert.ok(doc.sound_channels.length > 0, 'the chart names sound files');
    for (const { name } of doc.sound_channels) {
      const ogg = name.replace(/\.wav$/i, '.ogg');
      assert.ok(fs.existsSync(path.join(folder, name)) || fs.existsSync(path.join(folder, ogg)), `${name} is there`);
    }
  });
}
