// Reads every chart the C++ tests left with its sound files beside it, as a player would: `bms`
// lists the sound file of every keysound the chart names, and each must be there, as ".wav" or,
// since players look for it when the ".wav" is missing, as ".ogg".
//
// The C++ tests leave each chart and its sound files in a folder of its own under
// $RENDLOW_INTEROP_DIR/keysounds.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import bms from 'bms';

const { Compiler, Keysounds } = bms;

const root = process.env.RENDLOW_INTEROP_DIR ? path.join(process.env.RENDLOW_INTEROP_DIR, 'keysounds') : null;
const folders = root && fs.existsSync(root) ? fs.readdirSync(root).sort() : [];

test('the C++ tests left keysound folders to check', { skip: root ? false : 'RENDLOW_INTEROP_DIR is not set' }, () => {
  assert.ok(folders.length > 0, `no keysound folders in ${root}`);
});

for (const name of folders) {
  test(`keysounds ${name}`, () => {
    const folder = path.join(root, name);
    const chartFile = fs.readdirSync(folder).find((f) => f.endsWith('.bme'));
    const { chart, warnings } = Compiler.compile(fs.readFileSync(path.join(folder, chartFile), 'latin1'));
    assert.deepEqual(warnings, []);
    const files = Object.values(Keysounds.fromBMSChart(chart).all());
    assert.ok(files.length > 0, 'the chart names sound files');
    for (const file of files) {
      const ogg = file.replace(/\.wav$/i, '.ogg');
      assert.ok(fs.existsSync(path.join(folder, file)) || fs.existsSync(path.join(folder, ogg)), `${file} is there`);
    }
  });
}
