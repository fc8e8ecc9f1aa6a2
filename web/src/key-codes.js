'use strict';
// Windows virtual-key codes: their names, and the code of a key or mouse
// button the browser reports. Keys are taken by their place on the keyboard
// (KeyboardEvent.code), as the US layout names them.

const NAMED = {
  0x01: 'left mouse button', 0x02: 'right mouse button', 0x03: 'Control-Break', 0x04: 'middle mouse button',
  0x05: 'mouse button 4', 0x06: 'mouse button 5', 0x08: 'Backspace', 0x09: 'Tab', 0x0c: 'Clear', 0x0d: 'Enter',
  0x10: 'Shift', 0x11: 'Ctrl', 0x12: 'Alt', 0x13: 'Pause', 0x14: 'Caps Lock', 0x1b: 'Esc', 0x20: 'Space',
  0x21: 'Page Up', 0x22: 'Page Down', 0x23: 'End', 0x24: 'Home', 0x25: 'Left arrow', 0x26: 'Up arrow',
  0x27: 'Right arrow', 0x28: 'Down arrow', 0x2c: 'Print Screen', 0x2d: 'Insert', 0x2e: 'Delete',
  0x5b: 'left Windows key', 0x5c: 'right Windows key', 0x5d: 'Menu key', 0x6a: 'numeric keypad *',
  0x6b: 'numeric keypad +', 0x6c: 'numeric keypad separator', 0x6d: 'numeric keypad -', 0x6e: 'numeric keypad .',
  0x6f: 'numeric keypad /', 0x90: 'Num Lock', 0x91: 'Scroll Lock', 0xa0: 'Left Shift', 0xa1: 'Right Shift',
  0xa2: 'Left Ctrl', 0xa3: 'Right Ctrl', 0xa4: 'Left Alt', 0xa5: 'Right Alt', 0xba: '; (semicolon)',
  0xbb: '= (equals)', 0xbc: ', (comma)', 0xbd: '- (minus)', 0xbe: '. (period)', 0xbf: '/ (slash)',
  0xc0: '` (backquote)', 0xdb: '[ (left bracket)', 0xdc: '\\ (backslash)', 0xdd: '] (right bracket)',
  0xde: "' (quote)", 0xe2: '< > (key beside Left Shift)',
};

function keyName(code) {
  if (NAMED[code]) return NAMED[code];
  if (code >= 0x30 && code <= 0x39) return `${code - 0x30} (top row)`;
  if (code >= 0x41 && code <= 0x5a) return String.fromCharCode(code);
  if (code >= 0x60 && code <= 0x69) return `numeric keypad ${code - 0x60}`;
  if (code >= 0x70 && code <= 0x87) return `F${code - 0x6f}`;
  return `key code ${hex(code)}`;
}

function hex(code) {
  return code.toString(16).toUpperCase().padStart(2, '0');
}

const BY_EVENT_CODE = {
  Backspace: 0x08, Tab: 0x09, Enter: 0x0d, NumpadEnter: 0x0d, Pause: 0x13, CapsLock: 0x14, Escape: 0x1b,
  Space: 0x20, PageUp: 0x21, PageDown: 0x22, End: 0x23, Home: 0x24, ArrowLeft: 0x25, ArrowUp: 0x26,
  ArrowRight: 0x27, ArrowDown: 0x28, PrintScreen: 0x2c, Insert: 0x2d, Delete: 0x2e, MetaLeft: 0x5b,
  MetaRight: 0x5c, ContextMenu: 0x5d, NumpadMultiply: 0x6a, NumpadAdd: 0x6b, NumpadSubtract: 0x6d,
  NumpadDecimal: 0x6e, NumpadDivide: 0x6f, NumLock: 0x90, ScrollLock: 0x91, ShiftLeft: 0xa0, ShiftRight: 0xa1,
  ControlLeft: 0xa2, ControlRight: 0xa3, AltLeft: 0xa4, AltRight: 0xa5, Semicolon: 0xba, Equal: 0xbb,
  Comma: 0xbc, Minus: 0xbd, Period: 0xbe, Slash: 0xbf, Backquote: 0xc0, BracketLeft: 0xdb, Backslash: 0xdc,
  BracketRight: 0xdd, Quote: 0xde, IntlBackslash: 0xe2,
};

// The code of a KeyboardEvent.code, or null for a key Windows has no code for.
function codeOfKey(eventCode) {
  if (BY_EVENT_CODE[eventCode] !== undefined) return BY_EVENT_CODE[eventCode];
  let match = /^Key([A-Z])$/.exec(eventCode);
  if (match) return match[1].charCodeAt(0);
  match = /^Digit([0-9])$/.exec(eventCode);
  if (match) return 0x30 + Number(match[1]);
  match = /^Numpad([0-9])$/.exec(eventCode);
  if (match) return 0x60 + Number(match[1]);
  match = /^F([0-9]{1,2})$/.exec(eventCode);
  if (match && Number(match[1]) >= 1 && Number(match[1]) <= 24) return 0x6f + Number(match[1]);
  return null;
}

// MouseEvent.button: 0 left, 1 middle, 2 right, 3 back (button 4), 4 forward (button 5).
const BY_MOUSE_BUTTON = [0x01, 0x04, 0x02, 0x05, 0x06];

function codeOfMouseButton(button) {
  return BY_MOUSE_BUTTON[button] ?? null;
}

module.exports = { keyName, hex, codeOfKey, codeOfMouseButton };
