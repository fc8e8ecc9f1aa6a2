'use strict';
// What the settings view says of a key code where a key's name may stand:
// "0" is how the file says "no key" (the shipped file's own value), not the
// name of the 0 key; other names say what the plugin reads and what was meant.

const test = require('node:test');
const assert = require('node:assert/strict');
const load = require('./support/load-page-modules');

const { checkSettings } = load('settings-check');
const { verdictOf } = load('setting-verdict');

function verdictFor(key, text) {
  const checked = checkSettings({ encoding: 'windows-1252', text: `[Settings]\r\n${key}=${text}\r\n` });
  return verdictOf(checked.keys.find((candidate) => candidate.setting.key === key), {});
}

test('a key code of 0 is no key; a key\'s name where its code goes says what was meant', () => {
  const cases = [
    // key, text, verdict, stored code, words the verdict holds
    ['iHUDToggle', '0', 'ok', 0, 'The plugin uses 0 (no key): 0 means no key.'],
    ['iHUDToggle', '00', 'ok', 0, '0 means no key'],
    ['iVehicleAimKeyDown', '0', 'ok', 0, '0 means no key'],
    ['iHUDToggle', '1', 'warning', 1, 'the 1 key is 31: write 31 or press the key'],
    ['iHUDToggle', 'F1', 'warning', 0xf1, 'the F1 key is 70'],
    ['iHUDToggle', '70', 'ok', 0x70, '70 = 112 (F1)'],
  ];
  for (const [key, text, kind, code, words] of cases) {
    const verdict = verdictFor(key, text);
    assert.equal(verdict.kind, kind, `${key}=${text}: ${verdict.text}`);
    assert.equal(verdict.value, code, `${key}=${text}: ${verdict.text}`);
    assert.ok(verdict.text.includes(words), `${key}=${text}: "${verdict.text}" lacks "${words}"`);
  }
});
