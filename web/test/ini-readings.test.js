'use strict';
// The page's two readings of the fixture files, each showing one fact of how
// Windows and Proton read an INI file, against the reading stated for it:
// the values the plugin stores under Proton (the equivalence test proves
// these against the plugin itself) and on Windows, or that Windows' is not
// established.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const load = require('./support/load-page-modules');

const { readFileText } = load('text-encoding');
const { checkSettings } = load('settings-check');
const { SETTINGS } = load('settings-table');

const FOLDER = path.join(__dirname, 'fixtures', 'ini');
const { files } = JSON.parse(fs.readFileSync(path.join(FOLDER, 'readings.json'), 'utf8'));

const number = (value) => (typeof value === 'boolean' ? Number(value) : value);
const expectedValue = (stated, setting) => (setting.key in stated ? stated[setting.key] : number(setting.reloadDefault));

for (const [name, expected] of Object.entries(files)) {
  test(`${name}: ${expected.fact}`, () => {
    const checked = checkSettings(readFileText(fs.readFileSync(path.join(FOLDER, name))));
    const proton = Object.fromEntries(checked.keys.map((key) => [key.setting.key, number(key.proton.value)]));
    const windows = Object.fromEntries(checked.keys.map((key) => [key.setting.key,
      key.windows.settled ? number(key.windows.readings[0].value) : 'unknown']));
    const stated = (reading) => Object.fromEntries(SETTINGS.map((setting) => [setting.key,
      reading === 'unknown' ? 'unknown' : reading === 'defaults' ? number(setting.reloadDefault) : expectedValue(reading, setting)]));
    assert.deepEqual(proton, stated(expected.proton), 'under Proton');
    assert.deepEqual(windows, stated(expected.windows), 'on Windows');
  });
}

test('every fixture file has its stated reading', () => {
  const onDisk = fs.readdirSync(FOLDER).filter((file) => file.endsWith('.ini')).sort();
  assert.deepEqual(onDisk, Object.keys(files).sort());
});
