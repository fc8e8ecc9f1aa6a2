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

// Codes Windows gives to keys less often seen on a gaming keyboard.
const OTHER_KEYS = {
  0x15: 'IME Kana/Hangul', 0x19: 'IME Kanji', 0x1c: 'IME Convert', 0x1d: 'IME Non-convert', 0x29: 'Select', 0x2a: 'Print',
  0x2b: 'Execute', 0x2f: 'Help', 0x5f: 'Sleep', 0xa6: 'Browser Back', 0xa7: 'Browser Forward', 0xa8: 'Browser Refresh',
  0xa9: 'Browser Stop', 0xaa: 'Browser Search', 0xab: 'Browser Favorites', 0xac: 'Browser Home', 0xad: 'Volume Mute',
  0xae: 'Volume Down', 0xaf: 'Volume Up', 0xb0: 'Next Track', 0xb1: 'Previous Track', 0xb2: 'Stop Media',
  0xb3: 'Play/Pause Media', 0xb4: 'Start Mail', 0xb5: 'Select Media', 0xb6: 'Start Application 1', 0xb7: 'Start Application 2',
  0xe5: 'IME Process', 0xf6: 'Attn', 0xf7: 'CrSel', 0xf8: 'ExSel', 0xf9: 'Erase EOF', 0xfa: 'Play', 0xfb: 'Zoom', 0xfe: 'Clear (OEM)',
};

// The key of a code, or null for a code no key sends (unassigned or
// reserved).
function knownKeyName(code) {
  if (NAMED[code]) return NAMED[code];
  if (OTHER_KEYS[code]) return OTHER_KEYS[code];
  if (code >= 0x30 && code <= 0x39) return `${code - 0x30} (top row)`;
  if (code >= 0x41 && code <= 0x5a) return String.fromCharCode(code);
  if (code >= 0x60 && code <= 0x69) return `numeric keypad ${code - 0x60}`;
  if (code >= 0x70 && code <= 0x87) return `F${code - 0x6f}`;
  return null;
}

function keyName(code) {
  return knownKeyName(code) ?? 'no key: unassigned or reserved';
}

// Names a player writes for a key, to its code: "F1" is 70, "Space" 20.
const SPOKEN = {
  space: 0x20, spacebar: 0x20, shift: 0x10, lshift: 0xa0, rshift: 0xa1, leftshift: 0xa0, rightshift: 0xa1,
  ctrl: 0x11, control: 0x11, lctrl: 0xa2, rctrl: 0xa3, leftctrl: 0xa2, rightctrl: 0xa3, alt: 0x12, lalt: 0xa4, ralt: 0xa5,
  leftalt: 0xa4, rightalt: 0xa5, enter: 0x0d, return: 0x0d, esc: 0x1b, escape: 0x1b, tab: 0x09, backspace: 0x08,
  delete: 0x2e, del: 0x2e, insert: 0x2d, ins: 0x2d, home: 0x24, end: 0x23, pageup: 0x21, pgup: 0x21, pagedown: 0x22,
  pgdn: 0x22, up: 0x26, down: 0x28, left: 0x25, right: 0x27, capslock: 0x14, numlock: 0x90, scrolllock: 0x91, pause: 0x13,
  printscreen: 0x2c, lmb: 0x01, rmb: 0x02, mmb: 0x04, mouse1: 0x01, mouse2: 0x02, mouse3: 0x04, mouse4: 0x05, mouse5: 0x06,
  leftmouse: 0x01, rightmouse: 0x02, middlemouse: 0x04, tilde: 0xc0, backquote: 0xc0,
};

// The code of a key a text names ("F10", "a", "Space", "Numpad5", "7"), or null.
function codeOfKeyName(text) {
  const name = text.trim().toLowerCase().replace(/[\s_-]+/g, '');
  if (SPOKEN[name] !== undefined) return SPOKEN[name];
  let match = /^f([0-9]{1,2})$/.exec(name);
  if (match && Number(match[1]) >= 1 && Number(match[1]) <= 24) return 0x6f + Number(match[1]);
  if (/^[a-z]$/.test(name)) return name.toUpperCase().charCodeAt(0);
  if (/^[0-9]$/.test(name)) return 0x30 + Number(name);
  match = /^(?:numpad|num|kp)([0-9])$/.exec(name);
  if (match) return 0x60 + Number(match[1]);
  return null;
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

module.exports = { keyName, knownKeyName, codeOfKeyName, hex, codeOfKey, codeOfMouseButton };
