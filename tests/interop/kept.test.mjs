// Reads, with the BMS parser of a public player, the charts the C++ tests merged: a chart an author
// edited ($RENDLOW_INTEROP_DIR/kept/<case>/edited.bme: objects moved into lanes, header and BGA
// lines, CR LF and Shift_JIS), the chart a new slicing merged it into (merged.bme), and the chart
// of that slicing from the song alone (fresh.bme). The merged chart must play, background and
// lanes together, exactly what the fresh one plays, each sound at its time, the author's own sounds
// aside; and every line of the author's that is not the program's must stand in it.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import bms from 'bms';
import { casesOf, root } from './written.mjs';

const { Compiler, Timing, Keysounds } = bms;

const compile = (file) => Compiler.compile(fs.readFileSync(file, 'latin1')).chart;

// The channels that sound: the background, visible notes of both sides, and long notes (by their start).
const sounds = (channel) => /^(01|[12][1-9]|5[1-9])$/.test(channel);

// What a player plays, as "seconds file" texts in time order (to the microsecond).
function playsOf(file) {
  const chart = compile(file);
  const timing = Timing.fromBMSChart(chart);
  const keysounds = Keysounds.fromBMSChart(chart);
  const objects = chart.objects.all().filter((o) => sounds(o.channel));
  objects.sort((a, b) => a.measure - b.measure || a.fraction - b.fraction);
  const longNoteObjects = {};
  const plays = [];
  for (const o of objects) {
    if (o.channel.startsWith('5') && (longNoteObjects[o.channel] = (longNoteObjects[o.channel] ?? 0) + 1) % 2 === 0)
      continue;
    const seconds = timing.beatToSeconds(chart.timeSignatures.measureToBeat(o.measure, o.fraction));
    plays.push(`${seconds.toFixed(6)} ${keysounds.get(o.value)}`);
  }
  return plays.sort();
}

// The lines the program writes itself: its header, its tempo and sound definitions, the background,
// measure lengths and tempo channels; and the lanes, whose objects the merge points at new sounds.
const programsLine = (line) =>
  line === '' ||
  /^#(PLAYER|GENRE|TITLE|ARTIST|BPM|PLAYLEVEL|RANK|TOTAL)( |$)/i.test(line) ||
  /^#BPM[0-9A-Z]{2} /i.test(line) ||
  /^#WAV[0-9A-Z]{2} tr\d+_\d+\.wav$/i.test(line) ||
  /^#\d{3}(01|02|03|08|[12][1-9]|5[1-9]):/.test(line);

const linesOf = (file) => fs.readFileSync(file, 'latin1').split(/\r?\n/);

const skip = root ? false : 'RENDLOW_INTEROP_DIR is not set';
test('the C++ tests left merged charts to check', { skip }, () => {
  assert.ok(casesOf('kept').length > 0, 'no merged charts');
});

for (const folder of casesOf('kept')) {
  test(`merged chart ${path.basename(folder)}`, () => {
    const fresh = playsOf(path.join(folder, 'fresh.bme'));
    const merged = playsOf(path.join(folder, 'merged.bme'));
    const freshFiles = new Set(fresh.map((play) => play.split(' ')[1]));
    assert.deepEqual(merged.filter((play) => freshFiles.has(play.split(' ')[1])), fresh,
      'every note plays once, at its time, with its new sound');
    const mergedLines = new Set(linesOf(path.join(folder, 'merged.bme')));
    const authors = linesOf(path.join(folder, 'edited.bme')).filter((line) => !programsLine(line));
    assert.ok(authors.length > 0, 'the author added lines');
    for (const line of authors) assert.ok(mergedLines.has(line), `kept: ${line}`);
    const edited = linesOf(path.join(folder, 'edited.bme'));
    assert.ok(edited.some((line) => /^#\d{3}(1[1-9]|5[1-9]):/.test(line)), 'the author moved objects into lanes');
  });
}
