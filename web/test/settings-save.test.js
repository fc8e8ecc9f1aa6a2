'use strict';
// Saving gives a file that every reading takes the same way: for files of
// every shape, the saved file has no problem line, Windows' reading of each
// key is established and equals Proton's, a setting the page found no
// problem with keeps its value, and the file keeps its line ending and
// encoding (UTF-16 big-endian, which Windows does not read, becomes
// little-endian).

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const load = require('./support/load-page-modules');
const { repository } = require('./support/build-tree');
const { shapes, encodeShape } = require('./support/ini-shapes');

const { readFileText } = load('text-encoding');
const { checkSettings } = load('settings-check');
const { findProblems } = load('file-problems');
const { splitLines } = load('ini-file');
const { savedFile } = load('settings-save');
const { textOf } = load('setting-values-text');

const shippedText = fs.readFileSync(path.join(repository, 'package', 'LumenveilHUD.ini'), 'latin1');
const FIXTURES = path.join(__dirname, 'fixtures', 'ini');

function open(bytes) {
  const { encoding, text } = readFileText(bytes);
  const lines = splitLines(text);
  const checked = checkSettings({ encoding, text });
  return { encoding, text, lines, checked, problems: findProblems({ encoding, lines }, checked) };
}

function untouchedSettings(file) {
  const lines = new Set(file.problems.map((problem) => problem.line));
  return file.checked.keys.filter((key) => key.read && key.read.kind === 'entry' && !lines.has(key.read.number) &&
    key.windows.settled && textOf(key.setting, key.windows.readings[0].value) === textOf(key.setting, key.proton.value));
}

function checkSaved(name, bytes) {
  const file = open(bytes);
  const saved = savedFile({ shippedText, checked: file.checked, lines: file.lines, encoding: file.encoding });
  const again = open(saved.bytes);
  assert.deepEqual(again.problems.map((problem) => `line ${problem.line}: ${problem.text}`), [], `${name}: problems in the saved file`);
  for (const key of again.checked.keys) {
    assert.ok(key.windows.settled, `${name}: ${key.setting.key} unsettled on Windows after saving`);
    assert.equal(textOf(key.setting, key.windows.readings[0].value), textOf(key.setting, key.proton.value), `${name}: ${key.setting.key} read differently after saving`);
  }
  for (const key of untouchedSettings(file)) {
    const after = again.checked.keys.find((other) => other.setting.key === key.setting.key);
    assert.equal(textOf(key.setting, after.proton.value), textOf(key.setting, key.proton.value), `${name}: saving changed ${key.setting.key}`);
  }
  assert.equal(again.encoding, file.encoding === 'utf-16be' ? 'utf-16le' : file.encoding, `${name}: encoding`);
  const endings = new Set(file.text.match(/\r\n|\n|\r/g) || []);
  if (endings.size === 1) assert.deepEqual(new Set(again.text.match(/\r\n|\n|\r/g)), endings, `${name}: line endings`);
}

test('saved fixture files read the same everywhere and keep what had no problem', () => {
  for (const name of fs.readdirSync(FIXTURES).filter((file) => file.endsWith('.ini'))) checkSaved(name, fs.readFileSync(path.join(FIXTURES, name)));
});

test('saved generated files read the same everywhere and keep what had no problem', () => {
  const { fileShape } = shapes(Number(process.env.LUMENVEIL_SAVE_SEED || 4242));
  for (let index = 0; index < Number(process.env.LUMENVEIL_SAVE_FILES || 600); index++) checkSaved(`generated file ${index}`, encodeShape(fileShape()));
});

test('an LF file is saved with LF, a CRLF file with CRLF', () => {
  for (const ending of ['\n', '\r\n']) {
    const saved = savedFile({ shippedText, ...(() => { const file = open(Buffer.from(`[Settings]${ending}iHUDToggle=70${ending}`)); return { checked: file.checked, lines: file.lines, encoding: file.encoding }; })() });
    assert.deepEqual(new Set(saved.text.match(/\r\n|\n|\r/g)), new Set([ending]));
  }
});
