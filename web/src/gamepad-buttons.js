'use strict';
// The buttons of an XInput controller: the bit of each in the mask that
// iHUDToggleGamepad holds, its name, and its index in the browser's standard
// gamepad layout. The list's order is the order a chord is named in, the
// buttons held first before the button pressed last ("Back + D-pad up").

const BUTTONS = [
  { bit: 0x0020, name: 'Back', standard: 8, spoken: ['back', 'select'] },
  { bit: 0x0010, name: 'Start', standard: 9, spoken: ['start'] },
  { bit: 0x0100, name: 'left shoulder', standard: 4, spoken: ['lb', 'leftshoulder', 'leftbumper'] },
  { bit: 0x0200, name: 'right shoulder', standard: 5, spoken: ['rb', 'rightshoulder', 'rightbumper'] },
  { bit: 0x0040, name: 'left stick', standard: 10, spoken: ['ls', 'leftstick', 'leftthumb'] },
  { bit: 0x0080, name: 'right stick', standard: 11, spoken: ['rs', 'rightstick', 'rightthumb'] },
  { bit: 0x0001, name: 'D-pad up', standard: 12, spoken: ['up', 'dpadup'] },
  { bit: 0x0002, name: 'D-pad down', standard: 13, spoken: ['down', 'dpaddown'] },
  { bit: 0x0004, name: 'D-pad left', standard: 14, spoken: ['left', 'dpadleft'] },
  { bit: 0x0008, name: 'D-pad right', standard: 15, spoken: ['right', 'dpadright'] },
  { bit: 0x1000, name: 'A', standard: 0, spoken: ['a'] },
  { bit: 0x2000, name: 'B', standard: 1, spoken: ['b'] },
  { bit: 0x4000, name: 'X', standard: 2, spoken: ['x'] },
  { bit: 0x8000, name: 'Y', standard: 3, spoken: ['y'] },
];

const NAMED_BITS = BUTTONS.reduce((mask, button) => mask | button.bit, 0);

// "0021": masks are written with four hexadecimal digits.
function maskText(mask) {
  return mask.toString(16).toUpperCase().padStart(4, '0');
}

// The bits of a mask that are no button.
function unnamedBits(mask) {
  return mask & ~NAMED_BITS & 0xffff;
}

// "Back + D-pad up"; bits of no button are named as such.
function buttonsInWords(mask) {
  const names = BUTTONS.filter((button) => mask & button.bit).map((button) => button.name);
  const unnamed = unnamedBits(mask);
  if (unnamed) names.push(`bits ${maskText(unnamed)} (no button)`);
  return names.length ? names.join(' + ') : 'no button';
}

// The mask of buttons held in the standard layout, by their indices;
// indices of no XInput button (the triggers, the guide button) add nothing.
function maskOfStandardButtons(indices) {
  let mask = 0;
  for (const index of indices) {
    const button = BUTTONS.find((candidate) => candidate.standard === index);
    if (button) mask |= button.bit;
  }
  return mask;
}

// The mask a text means when it names buttons ("A", "Back + Up", "LB+RB"),
// or null when it names none.
function maskOfButtonNames(text) {
  const parts = text.split('+').map((part) => part.trim().toLowerCase().replace(/[\s_-]+/g, ''));
  if (parts.some((part) => part === '')) return null;
  let mask = 0;
  for (const part of parts) {
    const button = BUTTONS.find((candidate) => candidate.spoken.includes(part));
    if (!button) return null;
    mask |= button.bit;
  }
  return mask;
}

module.exports = { BUTTONS, maskText, unnamedBits, buttonsInWords, maskOfStandardButtons, maskOfButtonNames };
