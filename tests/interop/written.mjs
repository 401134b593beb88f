// What both interop readers share: the folders the C++ tests left, what the engine held for each
// job, the clock of a tempo map, and the check that a chart's sound files are beside it.

import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import midiFile from 'midi-file';

export const root = process.env.RENDLOW_INTEROP_DIR;

// The name of the first file of a folder that ends in `suffix`, if any.
export const fileEndingIn = (folder, suffix) => fs.readdirSync(folder).find((name) => name.endsWith(suffix));

// The case folders of one kind ("jobs", "keysounds") in name order; with a suffix, only those
// holding a file that ends in it.
export function casesOf(kind, suffix) {
  const folder = root ? path.join(root, kind) : null;
  if (!folder || !fs.existsSync(folder)) return [];
  const cases = fs.readdirSync(folder).sort().map((name) => path.join(folder, name));
  return suffix ? cases.filter((f) => fileEndingIn(f, suffix)) : cases;
}

export const readMidi = (folder, name) => midiFile.parseMidi(fs.readFileSync(path.join(folder, name)));

// held.txt: "division D", then "track" before each written track, "event TICK STATUS META_TYPE
// DATA..." for each event written, and "object ID TICK" for each chart object (its base-36 id) and
// the tick of the note-on it stands for.
export function readHeld(folder) {
  const held = { tracks: [], objects: [] };
  for (const line of fs.readFileSync(path.join(folder, 'held.txt'), 'utf8').trim().split('\n')) {
    const [kind, ...fields] = line.split(' ');
    const numbers = fields.map(Number);
    if (kind === 'division') held.division = numbers[0];
    if (kind === 'track') held.tracks.push([]);
    const [tick, status, metaType, ...data] = numbers;
    if (kind === 'event') held.tracks.at(-1).push({ tick, status, metaType, data });
    if (kind === 'object') held.objects.push({ id: fields[0], tick: numbers[1] });
  }
  return held;
}

// The seconds of a position on a tempo map: `division` positions per quarter note, `bpm` until the
// first of `changes` ({ at, bpm }, in time order).
export function clockOf(changes, division, bpm) {
  return (position) => {
    let seconds = 0;
    let at = 0;
    let tempo = bpm;
    for (const change of changes.filter((c) => c.at <= position)) {
      seconds += ((change.at - at) / division) * (60 / tempo);
      [at, tempo] = [change.at, change.bpm];
    }
    return seconds + ((position - at) / division) * (60 / tempo);
  };
}

// The seconds of a tick of a song as its MIDI file times it: its own tempo changes in time order,
// exactly as the file sets them; before the first, the MIDI default of 120 BPM.
export function songClock(midi) {
  const changes = [];
  midi.tracks.forEach((events, track) => {
    let tick = 0;
    for (const event of events) {
      tick += event.deltaTime;
      if (event.type === 'setTempo') changes.push({ at: tick, track, bpm: 6e7 / event.microsecondsPerBeat });
    }
  });
  changes.sort((a, b) => a.at - b.at || a.track - b.track);
  return clockOf(changes, midi.header.ticksPerBeat, 120);
}

// A chart names sound files, and each is in its folder as ".wav" or, since players look for it
// when the ".wav" is missing, as ".ogg".
export function assertSoundFilesBeside(folder, names) {
  assert.ok(names.length > 0, 'the chart names sound files');
  for (const name of names) {
    const ogg = name.replace(/\.wav$/i, '.ogg');
    assert.ok(fs.existsSync(path.join(folder, name)) || fs.existsSync(path.join(folder, ogg)), `${name} is there`);
  }
}
