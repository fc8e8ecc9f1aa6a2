'use strict';
// The file saving writes for a checked settings file: the shipped layout
// with the value of each key the plugin reads (the default for a key it
// does not), the player's other lines kept, in the file's own line ending
// and encoding, but that Windows reads no UTF-16 big-endian file.

const { writeIni } = require('./ini-writer');
const { dominantEnding, settledValueText } = require('./file-problems');
const { encodeText } = require('./text-encoding');
const { textOf } = require('./setting-values-text');

// The text to write for a key: its value as the file gives it, but a value
// longer than the plugin reads, or one Windows' reading of is not settled,
// is written as the value Proton stores.
function valueToWrite(key) {
  if (!key.read || key.read.kind !== 'entry') return textOf(key.setting, key.setting.reloadDefault);
  return settledValueText(key);
}

// checked: checkSettings() of the file; lines: its { text, ending } lines;
// player: false when the file is the shipped one.
function savedFile({ shippedText, checked, lines, encoding, dropped = new Set(), player = true }) {
  const values = new Map(checked.keys.map((key) => [key.setting.key, valueToWrite(key)]));
  const text = writeIni({
    shippedText,
    values,
    player: player ? checked : null,
    written: lines.map((line) => line.text),
    dropped,
    eol: dominantEnding(lines),
    encoding,
  });
  const savedEncoding = encoding === 'utf-16be' ? 'utf-16le' : encoding;
  return { text, encoding: savedEncoding, bytes: encodeText(text, savedEncoding) };
}

module.exports = { savedFile };
