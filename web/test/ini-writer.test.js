'use strict';
// Saving keeps the player's own bytes: comments and kept lines come back in
// the encoding the file came in, whatever characters they hold.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const load = require('./support/load-page-modules');
const { repository } = require('./support/build-tree');

const { readFileText, encodeText } = load('text-encoding');
const { checkSettings } = load('settings-check');
const { writeIni } = load('ini-writer');
const { SETTINGS } = load('settings-table');

const shippedText = fs.readFileSync(path.join(repository, 'package', 'LumenveilHUD.ini'), 'latin1');

// What the settings view does from opening to saving, values untouched.
function openAndSave(bytes) {
  const file = readFileText(bytes);
  const player = checkSettings(file);
  const values = new Map(SETTINGS.map((setting) => [setting.key, '0']));
  for (const key of player.keys) if (key.read) values.set(key.setting.key, key.text);
  const written = file.text.split(/\r\n|\n|\r/);
  return Buffer.from(encodeText(writeIni({ shippedText, values, player, written }), file.encoding));
}

test('a file in the ANSI code page keeps every byte of its comments and kept lines', () => {
  const comment = Buffer.from([0x3b, 0x20, 0xe9, 0x70, 0xe9, 0x65, 0x20, 0x80, 0x20, 0x81, 0x9d]); // "; épée €" and two bytes 1252 leaves undefined
  const kept = Buffer.concat([Buffer.from('[Autre]\r\nnom='), Buffer.from([0xc7, 0xe0, 0xff])]);
  const bytes = Buffer.concat([Buffer.from('[Settings]\r\n'), comment, Buffer.from('\r\niHUDToggle=70\r\n'), kept, Buffer.from('\r\n')]);
  const saved = openAndSave(bytes);
  assert.ok(saved.includes(Buffer.concat([comment, Buffer.from('\r\niHUDToggle=70\r\n')])), saved.toString('latin1'));
  assert.ok(saved.includes(kept), 'the other section, byte for byte');
});

test('a UTF-8 file with its mark keeps the mark and its full-width comments; a full-width value is saved as read', () => {
  const comment = '; 切换键（F1）：显示';
  const bytes = Buffer.concat([Buffer.from([0xef, 0xbb, 0xbf]), Buffer.from(`[Settings]\r\n${comment}\r\niHUDToggle=70\r\niKeepHUDShownMS=５０００\r\n`, 'utf8')]);
  const saved = openAndSave(bytes);
  assert.deepEqual([...saved.subarray(0, 3)], [0xef, 0xbb, 0xbf]);
  assert.ok(saved.includes(Buffer.from(`${comment}\r\niHUDToggle=70\r\n`, 'utf8')), saved.toString('utf8'));
  assert.ok(saved.includes(Buffer.from('\r\niKeepHUDShownMS=5000\r\n')));
});

test('a UTF-16 file is saved in UTF-16 with its mark', () => {
  const text = '[Settings]\r\n; ½ of it\r\niHUDToggle=70\r\n';
  const bytes = Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text, 'utf16le')]);
  const saved = openAndSave(bytes);
  assert.deepEqual([...saved.subarray(0, 2)], [0xff, 0xfe]);
  assert.ok(saved.includes(Buffer.from('; ½ of it\r\niHUDToggle=70\r\n', 'utf16le')));
});

test('a key the shipped layout lacks is written after its last key, before the lines kept from the file', () => {
  const layout = '; header\r\n[Settings]\r\n; logs\r\nbLogging=0\r\n; toggle\r\niHUDToggle=0\r\n';
  const bytes = Buffer.from('[Settings]\r\niHUDToggle=70\r\n; my chord\r\niHUDToggleGamepad=0021\r\nbShowWhenSwimming=1\r\n', 'latin1');
  const file = readFileText(bytes);
  const player = checkSettings(file);
  const values = new Map([['bLogging', '0'], ['iHUDToggle', '70'], ['iHUDToggleGamepad', '0021']]);
  const saved = writeIni({ shippedText: layout, values, player, written: file.text.split(/\r\n/) });
  assert.equal(saved, '; header\r\n[Settings]\r\n; logs\r\nbLogging=0\r\n; toggle\r\niHUDToggle=70\r\n; my chord\r\niHUDToggleGamepad=0021\r\n' +
    '\r\n; Kept from your file; the plugin does not read these lines:\r\nbShowWhenSwimming=1\r\n');
});
