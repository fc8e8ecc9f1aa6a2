'use strict';
// What the settings view says of iHUDToggleGamepad, the mask of controller
// buttons that toggles the HUD: the value the plugin stores (read as the key
// codes are, in base 16), the buttons it names, and a warning where the
// chord can never be held or a button's name stands where its mask goes.

const test = require('node:test');
const assert = require('node:assert/strict');
const load = require('./support/load-page-modules');

const { checkSettings } = load('settings-check');
const { verdictOf } = load('setting-verdict');

// The controller's buttons as XInput reports them, bit by bit.
const BUTTON_BITS = {
  'D-pad up': 0x0001, 'D-pad down': 0x0002, 'D-pad left': 0x0004, 'D-pad right': 0x0008, Start: 0x0010, Back: 0x0020,
  'left stick': 0x0040, 'right stick': 0x0080, 'left shoulder': 0x0100, 'right shoulder': 0x0200, A: 0x1000, B: 0x2000, X: 0x4000, Y: 0x8000,
};

function verdictFor(text) {
  const checked = checkSettings({ encoding: 'windows-1252', text: `[Settings]\r\niHUDToggleGamepad=${text}\r\n` });
  const key = checked.keys.find((candidate) => candidate.setting.key === 'iHUDToggleGamepad');
  const verdict = verdictOf(key, {});
  // The view shows a note of the reading below the verdict.
  return { ...verdict, text: key.proton.note ? `${verdict.text} Note: ${key.proton.note}.` : verdict.text, suggestion: key.proton.suggestion };
}

test('each text gets the mask the plugin stores and a verdict that names its buttons', () => {
  const cases = [
    // text, verdict, stored mask, words the verdict holds
    ['0', 'ok', 0, 'no controller toggle'],
    ['0021', 'ok', 0x21, '0021 (Back + D-pad up)'],
    ['21', 'ok', 0x21, '0021 (Back + D-pad up)'],
    ['0x21', 'ok', 0x21, '0021 (Back + D-pad up)'],
    ['21h', 'ok', 0x21, '0021 (Back + D-pad up)'],
    [' 0X0300', 'ok', 0x300, 'left shoulder + right shoulder'],
    ['FFFF', 'warning', 0xffff, '0C00 is no button'],
    ['1000', 'ok', 0x1000, '1000 (A)'],
    ['0400', 'warning', 0x400, '0400 is no button of a controller, so the chord is never held'],
    ['1800', 'warning', 0x1800, 'A + bits 0800 (no button)'],
    ['10000', 'refused', 0, 'reads as 0x10000 = 65536, out of range 0 to FFFF'],
    ['-1', 'refused', 0, 'reads as 0xFFFFFFFF = 4294967295, out of range 0 to FFFF'],
    ['21z', 'ok', 0x21, 'only "21" is read; "z" is ignored'],
    ['G1', 'refused', 0, 'no hexadecimal number at its start'],
    ['', 'refused', 0, 'Empty value'],
  ];
  for (const [text, kind, mask, words] of cases) {
    const verdict = verdictFor(text);
    assert.equal(verdict.kind, kind, `${JSON.stringify(text)}: ${verdict.text}`);
    assert.equal(verdict.value, mask, `${JSON.stringify(text)}: ${verdict.text}`);
    assert.ok(verdict.text.includes(words), `${JSON.stringify(text)}: "${verdict.text}" lacks "${words}"`);
  }
});

test('every button of the controller is named by its bit', () => {
  for (const [name, bit] of Object.entries(BUTTON_BITS)) {
    const text = bit.toString(16).padStart(4, '0');
    const verdict = verdictFor(text);
    assert.equal(verdict.kind, 'ok', `${text}: ${verdict.text}`);
    assert.equal(verdict.text, `The plugin uses ${text.toUpperCase()} (${name}).`);
  }
});

test('a button\'s name where the mask goes says what the plugin makes of it and what was meant', () => {
  const cases = [
    // text, verdict, stored mask, the mask meant, words the verdict holds
    ['A', 'warning', 0x000a, '1000', 'A here is the hexadecimal mask 000A (D-pad down + D-pad right); A is 1000'],
    ['B', 'warning', 0x000b, '2000', 'B here is the hexadecimal mask 000B (D-pad up + D-pad down + D-pad right); B is 2000'],
    ['Y', 'refused', 0, '8000', '"Y" names buttons, not their mask; Y is 8000'],
    ['Back + Up', 'warning', 0x0bac, '0021', 'Back + Up here is the hexadecimal mask 0BAC'],
    ['Start+Back', 'refused', 0, '0030', 'Back + Start is 0030: write 0030 or press the buttons'],
    ['LB + RB', 'refused', 0, '0300', 'left shoulder + right shoulder is 0300'],
  ];
  for (const [text, kind, mask, meant, words] of cases) {
    const verdict = verdictFor(text);
    assert.equal(verdict.kind, kind, `${text}: ${verdict.text}`);
    assert.equal(verdict.value, mask, `${text}: ${verdict.text}`);
    assert.equal(verdict.suggestion, meant, text);
    assert.ok(verdict.text.includes(words), `${text}: "${verdict.text}" lacks "${words}"`);
  }
});
