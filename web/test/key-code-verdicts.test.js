'use strict';
// What the settings view says of a key code where a key's name may stand:
// "0" is how the file says "no key" (the shipped file's own value), not the
// name of the 0 key; other names say what the plugin reads and what was meant;
// a code no key sends is a warning.

const test = require('node:test');
const assert = require('node:assert/strict');
const load = require('./support/load-page-modules');

const { checkSettings } = load('settings-check');
const { verdictOf } = load('setting-verdict');

function verdictFor(key, text) {
  const checked = checkSettings({ encoding: 'windows-1252', text: `[Settings]\r\n${key}=${text}\r\n` });
  return verdictOf(checked.keys.find((candidate) => candidate.setting.key === key), {});
}

test('a key code of 0 is no key; a key\'s name where its code goes says what was meant; a code of no key warns', () => {
  const cases = [
    // key, text, verdict, stored code, words the verdict holds
    ['iHUDToggle', '0', 'ok', 0, 'The plugin uses 0 (no key): 0 means no key.'],
    ['iHUDToggle', '00', 'ok', 0, '0 means no key'],
    ['iVehicleAimKeyDown', '0', 'ok', 0, '0 means no key'],
    ['iHUDToggle', '1', 'warning', 1, '1 here is the hexadecimal code 01 = 1 (left mouse button); the 1 key is 31: write 31 or press the key'],
    ['iHUDToggle', 'F1', 'warning', 0xf1, 'F1 here is the hexadecimal code F1 = 241 (no key: unassigned or reserved); the F1 key is 70'],
    ['iVehicleAimKeyDown', 'A', 'warning', 0x0a, 'A here is the hexadecimal code 0A = 10 (no key: unassigned or reserved); the A key is 41: write 41'],
    ['iHUDToggle', 'F10', 'refused', 0, '"F10" is a key\'s name, not its code; the F10 key is 79: write 79 or press the key. The plugin uses the default 0 (no key)'],
    ['iHUDToggle', 'F12', 'refused', 0, '"F12" is a key\'s name, not its code; the F12 key is 7B: write 7B or press the key. The plugin uses the default 0 (no key)'],
    ['iVehicleAimKeyDown', 'Space', 'refused', 0, '"Space" is a key\'s name, not its code; the Space key is 20: write 20'],
    ['iHUDToggle', 'Shift', 'refused', 0, '"Shift" is a key\'s name, not its code; the Shift key is 10: write 10'],
    ['iHUDToggle', '70', 'ok', 0x70, '70 = 112 (F1)'],
    // Codes Windows gives no key: below the digits, between them and the
    // letters, and at the top of the range.
    ['iHUDToggle', '07', 'warning', 0x07, 'The plugin uses 07 = 7 (no key: unassigned or reserved), but 07 is the code of no key: Windows assigns none to it.'],
    ['iHUDToggle', '3A', 'warning', 0x3a, '3A is the code of no key'],
    ['iVehicleAimKeyDown', 'FF', 'warning', 0xff, 'FF is the code of no key'],
    ['iHUDToggle', '0x88', 'warning', 0x88, '88 is the code of no key'],
  ];
  for (const [key, text, kind, code, words] of cases) {
    const verdict = verdictFor(key, text);
    assert.equal(verdict.kind, kind, `${key}=${text}: ${verdict.text}`);
    assert.equal(verdict.value, code, `${key}=${text}: ${verdict.text}`);
    assert.ok(verdict.text.includes(words), `${key}=${text}: "${verdict.text}" lacks "${words}"`);
  }
});
