'use strict';
// What the settings view says of a key where Windows and Proton part: a key
// Windows finds no line for is said to be not read (not "empty"), and where
// Proton refuses a value for a Unicode space after it, older Proton, which
// took such spaces for blanks, is said to read it; a value no source says
// how Windows reads is said to be unsettled, and why.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const load = require('./support/load-page-modules');

const { readFileText } = load('text-encoding');
const { checkSettings } = load('settings-check');
const { verdictOf } = load('setting-verdict');

const FIXTURES = path.join(__dirname, 'fixtures', 'ini');

const verdictIn = (bytes, name) => verdictOf(checkSettings(readFileText(bytes)).keys.find((key) => key.setting.key === name), {});
const ansi = (text) => Buffer.from(text, 'latin1');
const utf16 = (text) => Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text, 'utf16le')]);

test('a key Windows finds no line for is not read from the file on Windows', () => {
  for (const file of ['utf8-mark-header-on-line-1.ini', 'extra-bracket-in-header.ini']) {
    const verdict = verdictIn(fs.readFileSync(path.join(FIXTURES, file)), 'iKeepHUDShownMS');
    assert.equal(verdict.kind, 'differs', file);
    assert.equal(verdict.value, 2000, file);
    assert.equal(verdict.text, 'On Windows: Not read from your file: the plugin uses the default 2000 ms. Under Proton: The plugin uses 5000 ms.', file);
  }
});

test('a key Windows finds with nothing after "=" is an empty value on Windows, not an unread one', () => {
  const verdict = verdictIn(ansi('[Settings]x]\r\niKeepHUDShownMS=\r\n[Settings]\r\niKeepHUDShownMS=5000\r\n'), 'iKeepHUDShownMS');
  assert.equal(verdict.text, 'On Windows: Empty value: the plugin uses the default 2000 ms. Under Proton: The plugin uses 5000 ms.');
});

test('a Unicode space after a value: what Proton 5.0 and before uses, where it differs', () => {
  const cases = [
    // what, file, key, the words on older Proton (null: none)
    ['a no-break space in an ANSI file', ansi('[Settings]\r\niKeepHUDShownMS=5000\xa0\r\n'), 'iKeepHUDShownMS',
      'Refused: only the digits 0 to 9 are read, and it holds a no-break space. The plugin uses the default 2000 ms. Older Proton (5.0 and before) drops the no-break space and uses 5000 ms.'],
    ['an ideographic space in a UTF-16 file', utf16('[Settings]\r\niKeepHUDShownMS=5000\u3000\r\n'), 'iKeepHUDShownMS',
      'Older Proton (5.0 and before) drops the ideographic (full-width) space and uses 5000 ms.'],
    ['an en space before a switch\'s value', utf16('[Settings]\r\nbShowIfJumping=\u20021\r\n'), 'bShowIfJumping',
      'Older Proton (5.0 and before) drops the en space and uses 1 (on).'],
    ['a no-break space inside a value', ansi('[Settings]\r\niKeepHUDShownMS=50\xa000\r\n'), 'iKeepHUDShownMS', null],
    ['a byte-order mark, which no Proton drops', utf16('[Settings]\r\nbShowIfJumping=1\ufeff\r\n'), 'bShowIfJumping', null],
    ['a no-break space after a value no reading takes', ansi('[Settings]\r\niKeepHUDShownMS=x\xa0\r\n'), 'iKeepHUDShownMS', null],
  ];
  for (const [what, bytes, name, words] of cases) {
    const { text } = verdictIn(bytes, name);
    if (words === null) assert.doesNotMatch(text, /Older Proton/, `${what}: ${text}`);
    else assert.ok(text.includes(words), `${what}: "${text}" lacks "${words}"`);
  }
});

test('a value no source says how Windows reads is unsettled, with the reason', () => {
  const cases = [
    // what, file, key, the reason given
    ['a "=" inside a value', ansi('[Settings]\r\niHUDToggle=70=71\r\n'), 'iHUDToggle', 'no source says how it reads a "=" inside a value'],
    ['a value of 65,536 characters', ansi(`[Settings]\r\niHUDToggle=71${'x'.repeat(65534)}\r\n`), 'iHUDToggle', 'no source says how it cuts a value this long'],
  ];
  for (const [what, bytes, name, reason] of cases) {
    const verdict = verdictIn(bytes, name);
    assert.equal(verdict.kind, 'unsettled', what);
    assert.ok(verdict.text.endsWith(`On Windows it is not established which value the plugin uses: ${reason}.`), `${what}: ${verdict.text}`);
  }
});
