// Reads, as plain JSON, the bmson charts the C++ tests merged: a chart an author edited
// ($RENDLOW_INTEROP_DIR/kept-bmson/<case>/edited.bmson: a note moved into a lane, info fields, BGA,
// a field of the editor, a sound of the author's own), the chart a new slicing merged it into
// (merged.bmson), and the chart of that slicing from the song alone (fresh.bmson). The merged chart
// must sound every note of the fresh one once, at its pulse, on its sound, the author's lane notes
// among them with their lane and length, and keep every field the author added.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { casesOf, root } from './written.mjs';

const readJson = (folder, name) => JSON.parse(fs.readFileSync(path.join(folder, name), 'utf8'));

// What the program writes from the song alone, beside the sound channels it merges.
const songFields = ['version', 'lines', 'bpm_events'];
const headerTexts = ['title', 'artist', 'genre', 'init_bpm', 'resolution'];

// Each note as "file@pulse", sorted: what a player sounds, wherever the note stands.
function soundings(doc, files) {
  const all = [];
  for (const channel of doc.sound_channels) {
    if (files.has(channel.name)) for (const note of channel.notes) all.push(`${channel.name}@${note.y}`);
  }
  return all.sort();
}

// The notes in lanes, by pulse and lane.
const laneNotes = (doc) =>
  doc.sound_channels
    .flatMap((channel) => channel.notes.filter((n) => n.x > 0).map((n) => ({ ...n, name: channel.name })))
    .sort((a, b) => a.y - b.y || a.x - b.x);

const skip = !root && 'RENDLOW_INTEROP_DIR is not set';

test('the C++ tests left merged bmson charts to check', { skip }, () => {
  assert.ok(casesOf('kept-bmson').length > 0, 'no merged bmson charts');
});

for (const folder of casesOf('kept-bmson')) {
  test(`merged bmson chart ${path.basename(folder)}`, () => {
    const edited = readJson(folder, 'edited.bmson');
    const merged = readJson(folder, 'merged.bmson');
    const fresh = readJson(folder, 'fresh.bmson');
    const programFiles = new Set(fresh.sound_channels.map((c) => c.name));
    assert.deepEqual(soundings(merged, programFiles), soundings(fresh, programFiles), 'every note once');
    for (const field of songFields) assert.deepEqual(merged[field], fresh[field], field);
    for (const field of headerTexts.slice(3)) assert.equal(merged.info[field], fresh.info[field], field);

    const editedFiles = new Set(
      edited.sound_channels.map((c) => c.name).filter((name) => /_\d+\.(wav|ogg)$/.test(name)),
    );
    const moved = laneNotes(edited).filter((n) => editedFiles.has(n.name));
    const kept = laneNotes(merged).filter((n) => programFiles.has(n.name));
    assert.equal(kept.length, moved.length, 'every lane note of the author');
    moved.forEach((note, i) => {
      assert.deepEqual([kept[i].x, kept[i].y, kept[i].l, kept[i].c], [note.x, note.y, note.l, note.c]);
      const channel = fresh.sound_channels.find((c) => c.name === kept[i].name);
      assert.ok(channel.notes.some((n) => n.y === note.y), `${kept[i].name} sounds at ${note.y} in the fresh chart`);
    });

    for (const [field, value] of Object.entries(edited)) {
      if (!songFields.includes(field) && field !== 'info' && field !== 'sound_channels')
        assert.deepEqual(merged[field], value, field);
    }
    for (const [field, value] of Object.entries(edited.info)) {
      if (!headerTexts.includes(field)) assert.deepEqual(merged.info[field], value, `info.${field}`);
    }
    for (const channel of edited.sound_channels.filter((c) => !editedFiles.has(c.name)))
      assert.deepEqual(merged.sound_channels.find((c) => c.name === channel.name), channel, channel.name);
  });
}
