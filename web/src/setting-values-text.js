'use strict';
// A stored setting in the player's words, and the text that writes it.

const { keyName, hex } = require('./key-codes');
const { maskText, buttonsInWords } = require('./gamepad-buttons');

function valueInWords(setting, value) {
  switch (setting.kind) {
    case 'boolean':
      return value ? '1 (on)' : '0 (off)';
    case 'flag':
      return value ? '1 (shows the HUD)' : '0 (hides the HUD)';
    case 'keyCode':
      return value === 0 ? '0 (no key)' : `${hex(value)} = ${value} (${keyName(value)})`;
    case 'buttonMask':
      return value === 0 ? '0 (no controller toggle)' : `${maskText(value)} (${buttonsInWords(value)})`;
    case 'decimal':
      return value < 0 ? `${value} (off)` : String(Number(value.toPrecision(9)));
    default:
      return setting.key.endsWith('MS') || setting.key.endsWith('Press') ? `${value} ms` : String(value);
  }
}

// The text to write for a stored value: what keeps the plugin's reading.
function textOf(setting, value) {
  switch (setting.kind) {
    case 'boolean':
    case 'flag':
      return value ? '1' : '0';
    case 'keyCode':
      return value === 0 ? '0' : hex(value);
    case 'buttonMask':
      return value === 0 ? '0' : maskText(value);
    default:
      return String(value);
  }
}

module.exports = { valueInWords, textOf };
