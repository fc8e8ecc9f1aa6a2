'use strict';
// The problems the settings view names in a file's lines: each shape is
// named where it stands, in words that say what it does, and its one-click
// fix leaves a file with no problem that Windows and Proton read the same
// way, with the value the player meant.

const test = require('node:test');
const assert = require('node:assert/strict');
const load = require('./support/load-page-modules');

const { readFileText } = load('text-encoding');
const { checkSettings } = load('settings-check');
const { findProblems } = load('file-problems');
const { splitLines } = load('ini-file');
const { textOf } = load('setting-values-text');

const ansi = (text) => Buffer.from(text, 'latin1');
const utf16 = (text) => Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text, 'utf16le')]);
const utf16WithoutMark = (text) => Buffer.from(text, 'utf16le');
const settings = (lines) => `[Settings]\r\n${lines}\r\n`;

function open({ encoding, lines }) {
  const text = lines.map((line) => line.text + line.ending).join('');
  const checked = checkSettings({ encoding, text });
  return { encoding, lines, checked, problems: findProblems({ encoding, lines }, checked) };
}

const openBytes = (bytes) => {
  const { encoding, text } = readFileText(bytes);
  return open({ encoding, lines: splitLines(text) });
};

function applyFix(file, fix) {
  return open({ encoding: fix.encoding || file.encoding, lines: fix.apply ? fix.apply(file.lines) : file.lines });
}

const key = (file, name) => file.checked.keys.find((item) => item.setting.key === name);

test('each problem is named with what it does, and its fix leaves a file every reading takes the same way', () => {
  const cases = [
    // what, file, line named (null: the whole file), words, fix's label, [key, value the player meant]
    ['an unclosed header', ansi('[Other]\r\niKeepHUDShownMS=1000\r\n[Settings\r\niHUDToggle=70\r\n'), 3,
      /^"\[Settings" has no "\]": Windows reads it as the header of section \[Settings\], Proton as a line of the section before it\.$/,
      'Add the "]"', ['iHUDToggle', 0x70]],
    ['an extra "]" in a header', ansi('[Settings]x]\r\niHUDToggle=70\r\n'), 1,
      /^Windows ends the section name at the first "\]" and reads \[Settings\]; Proton ends it at the last and reads \[Settings\]x\]\.$/,
      'Keep [Settings] only', ['iHUDToggle', 0x70]],
    ['a "]" in a comment after the header', ansi('[Settings] ; [mine]\r\niHUDToggle=70\r\n'), 1,
      /reads \[Settings\]; Proton ends it at the last and reads \[Settings\] ; \[mine\]\.$/, 'Keep [Settings] only', ['iHUDToggle', 0x70]],
    ['blanks inside the brackets', ansi('[ Settings ]\r\niHUDToggle=70\r\n'), 1,
      /^Blanks inside the brackets: Windows and Proton from Wine 7\.22 read \[Settings\], older Proton \(7\.0 and before\) does not\.$/,
      'Write [Settings]', ['iHUDToggle', 0x70]],
    ['a NUL byte in a value', ansi(settings('iKeepHUDShownMS=12\0 34')), 2, /^A NUL byte inside 12 34\.$/, 'Remove a NUL byte', ['iKeepHUDShownMS', 12]],
    ['mixed line endings', ansi('[Settings]\r\niHUDToggle=70\niKeepHUDShownMS=5000\r'), null,
      /^This file mixes line endings \(CRLF, LF and CR\): Windows' reading of such a file is not established\.$/,
      'Use CRLF throughout', ['iKeepHUDShownMS', 5000]],
    ['a lone quote', ansi(settings('bShowInCombat="')), 2,
      /^A lone quote, which Proton reads as the text " and Windows may read as nothing\.$/, 'Remove a lone quote', ['bShowInCombat', true]],
    ['subscript digits', utf16(settings('iKeepHUDShownMS=\u2085000')), 2,
      /^"₅" \(U\+2085\), which Proton reads as "5" and Windows may not\.$/, 'Write it as Proton reads it', ['iKeepHUDShownMS', 5000]],
    ['full-width digits', utf16(settings('iKeepHUDShownMS=\uff15\uff10\uff10\uff10')), 2,
      /^"５" \(U\+FF15\), which Proton reads as "5" and Windows may not, "０" \(U\+FF10\), .* and "０" \(U\+FF10\), which Proton reads as "0" and Windows may not\.$/,
      'Write them as Proton reads them', ['iKeepHUDShownMS', 5000]],
    ['a minus sign (U+2212)', utf16(settings('iMenuOverriderShipHUDMenu=\u22120')), 2,
      /^"−" \(U\+2212\), which Proton reads as "-" and Windows may not\.$/, 'Write it as Proton reads it', ['iMenuOverriderShipHUDMenu', false]],
    ['an ideographic space after a value', utf16(settings('iKeepHUDShownMS=5000\u3000')), 2,
      /^An ideographic \(full-width\) space after 5000\.$/, 'Remove an ideographic (full-width) space', ['iKeepHUDShownMS', 5000]],
    ['an en space after a value', utf16(settings('iKeepHUDShownLongMS=6000\u2002')), 2,
      /^An en space after 6000\.$/, 'Remove an en space', ['iKeepHUDShownLongMS', 6000]],
    ['a byte-order mark after a value', utf16(settings('bShowIfJumping=1\ufeff')), 2,
      /^A byte-order mark \(zero-width no-break space\) after 1\.$/, 'Remove a byte-order mark (zero-width no-break space)', ['bShowIfJumping', true]],
    ['a value of 65,536 characters', ansi(settings(`iHUDToggle=71${'x'.repeat(65534)}`)), 2,
      /^This value is 65,536 characters long: the plugin reads its first 9,999 under Proton, and no source says what it reads of a value this long on Windows .*Write the value Proton uses, 71\.$/,
      'Write 71', ['iHUDToggle', 0x71]],
    ['a value of 65,538 characters Proton refuses', ansi(settings(`iKeepHUDShownMS=5${'0'.repeat(65537)}`)), 2,
      /^This value is 65,538 characters long: .*Write the value Proton uses, 2000\.$/, 'Write 2000', ['iKeepHUDShownMS', 2000]],
    ['a "=" inside a value', ansi(settings('iHUDToggle=70=71')), 2,
      /^This value holds a "=": under Proton the value is all the text after the first "=", and no source says how Windows reads it\. Write the value Proton uses, 70\.$/,
      'Write 70', ['iHUDToggle', 0x70]],
    ['UTF-16 without a byte-order mark', utf16WithoutMark(settings('iHUDToggle=70')), null,
      /^This file is UTF-16 without a byte-order mark: Proton reads it as ANSI text, whose NUL bytes match no key/,
      'Add the UTF-16 byte-order mark', ['iHUDToggle', 0x70]],
  ];
  for (const [what, bytes, line, words, label, [name, meant]] of cases) {
    const file = openBytes(bytes);
    assert.deepEqual(file.problems.map((problem) => [problem.line ?? null, problem.fix.label]), [[line, label]], `${what}: ${file.problems.map((problem) => problem.text).join(' | ')}`);
    const [problem] = file.problems;
    assert.match(problem.text, words, what);
    const fixed = applyFix(file, problem.fix);
    assert.deepEqual(fixed.problems.map((found) => found.text), [], `${what}: problems after the fix`);
    for (const read of fixed.checked.keys) {
      assert.ok(read.windows.settled, `${what}: ${read.setting.key} unsettled on Windows after the fix`);
      assert.equal(textOf(read.setting, read.windows.readings[0].value), textOf(read.setting, read.proton.value), `${what}: ${read.setting.key} after the fix`);
    }
    const fixedKey = key(fixed, name);
    assert.equal(textOf(fixedKey.setting, fixedKey.proton.value), textOf(fixedKey.setting, meant), `${what}: ${name} after the fix`);
  }
});
