'use strict';
// The plugin's reading of one value text, kind by kind. Each reader takes the
// text the settings file gives for a key and returns { value } when the
// plugin stores it, or { refused } with the reason in the player's words.
// The texts are never empty here: an empty text keeps the default before
// any reader runs.

const { decimalToFloat32, minNormal } = require('./float32');
const { codeOfKeyName, knownKeyName, keyName, hex } = require('./key-codes');
const { maskText, unnamedBits, buttonsInWords, maskOfButtonNames } = require('./gamepad-buttons');
const { isUnusual, characterName } = require('./unusual-characters');

const INT32_MIN = -2147483648;
const INT32_MAX = 2147483647;
const UINT32_MAX = 4294967295;

function firstOutside(text, allowed) {
  for (const character of text) {
    if (!allowed.includes(character)) return character;
  }
  return null;
}

function describeCharacter(character) {
  if (character === ' ') return 'a space';
  if (character === '\t') return 'a tab';
  return isUnusual(character) ? characterName(character) : `"${character}"`;
}

function outOfRange(value, setting) {
  return { refused: `${value} is out of range (${setting.min} to ${setting.max})` };
}

// Base-10, the longest valid prefix, nothing when no digit starts the text
// or the number does not fit in 32 bits (the C library's signed conversion).
function toInt32(text) {
  const match = /^[-+]?[0-9]+/.exec(text);
  if (!match) return { refused: 'no number at its start' };
  const value = Number(match[0]);
  if (value < INT32_MIN || value > INT32_MAX) return { refused: `${match[0]} is too large for a 32-bit number` };
  return { value: value === 0 ? 0 : value };
}

function readBoolean(text) {
  if (text === '1') return { value: true };
  return text === '0' ? { value: false } : { value: false, misread: `only 1 is on, so "${text}" reads as off` };
}

function readDigits(text, setting) {
  const outside = firstOutside(text, '0123456789');
  if (outside !== null) {
    const why = outside === '-' ? 'a minus sign' : outside === '.' ? 'a decimal point' : describeCharacter(outside);
    return { refused: `only the digits 0 to 9 are read, and it holds ${why}` };
  }
  const number = toInt32(text);
  if (number.refused) return number;
  return number.value >= setting.min && number.value <= setting.max ? number : outOfRange(number.value, setting);
}

function readFlag(text) {
  const outside = firstOutside(text, '-0123456789');
  if (outside !== null) return { refused: `only 0 or 1 is read, and it holds ${describeCharacter(outside)}` };
  const number = toInt32(text);
  if (number.refused) return number;
  if (number.value === 0 || number.value === 1) return { value: number.value === 1 };
  return { refused: `${number.value} is neither 0 nor 1` };
}

function readDecimal(text, setting) {
  const outside = firstOutside(text, '-.0123456789');
  if (outside !== null) {
    const why = outside === 'e' || outside === 'E' ? 'an exponent ("e")' : describeCharacter(outside);
    return { refused: `only digits, a point and a minus sign are read, and it holds ${why}` };
  }
  const match = /^-?([0-9]+\.?[0-9]*|\.[0-9]+)/.exec(text);
  if (!match) return { refused: 'no number at its start' };
  const value = decimalToFloat32(match[0]);
  const magnitude = Math.abs(value);
  if (!Number.isFinite(value)) return { refused: `${match[0]} is too large to be read` };
  // The Windows C library reports an underflow when the rounded result is
  // below the smallest normal float, and the plugin then keeps the default.
  if (magnitude !== 0 && magnitude < minNormal) return { refused: `${match[0]} is too small to be read` };
  if (magnitude === 0 && /[1-9]/.test(match[0])) return { refused: `${match[0]} is too small to be read` };
  const unread = text.slice(match[0].length);
  const note = unread ? `only "${match[0]}" is read; "${unread}" is ignored` : undefined;
  if (value >= setting.min && value <= setting.max) return { value, note };
  if (value < 0) return { refused: `${match[0]} is negative: the rule is off`, intended: true };
  return outOfRange(match[0], setting);
}

// Base 16 as the C library's unsigned conversion reads it: white space, a
// sign, an optional 0x, then hexadecimal digits up to the first other
// character; a minus negates modulo 2^32.
function readHexadecimal(text, setting) {
  const match = /^[ \t\n\v\f\r]*([-+]?)(0[xX](?=[0-9a-fA-F]))?([0-9a-fA-F]+)/.exec(text);
  if (!match) return { refused: 'no hexadecimal number at its start' };
  const digits = match[3].replace(/^0+(?=.)/, '');
  if (digits.length > 8 || parseInt(digits, 16) > UINT32_MAX) {
    return { refused: `${match[0].trim()} is too large for a 32-bit number` };
  }
  const magnitude = parseInt(digits, 16);
  const value = match[1] === '-' ? (UINT32_MAX + 1 - magnitude) % (UINT32_MAX + 1) : magnitude;
  const unread = text.slice(match[0].length);
  if (value >= setting.min && value <= setting.max) {
    const note = unread && !/^[hH]$/.test(unread) ? `only "${match[0].trim()}" is read; "${unread}" is ignored` : undefined;
    return { value, note };
  }
  if (value === 0) return { refused: '0 means no key', intended: true };
  const decimalHint = /^[0-9]+$/.test(text) ? ` (hexadecimal; for the decimal ${text} write ${Number(text).toString(16).toUpperCase()})` : '';
  const range = `${setting.min.toString(16).toUpperCase()} to ${setting.max.toString(16).toUpperCase()}`;
  return { refused: `${text.trim()} reads as 0x${value.toString(16).toUpperCase()} = ${value}, out of range ${range}${decimalHint}` };
}

// A key's name typed where its code goes ("F1", "A", "Space") reads as
// hexadecimal or not at all: say what the plugin makes of it and what the
// player meant. A code no key sends is a warning too.
function readKeyCode(text, setting) {
  const read = readHexadecimal(text, setting);
  const typed = text.trim();
  const meant = codeOfKeyName(typed);
  // "0" is no key's name here: it is how the file says "no key".
  if (meant !== null && meant !== read.value && !read.intended) {
    const named = `the ${knownKeyName(meant).replace(/ \(top row\)$/, '')} key is ${hex(meant)}: write ${hex(meant)} or press the key`;
    const suggestion = hex(meant);
    if (read.refused) return { refused: `"${typed}" is a key's name, not its code; ${named}`, suggestion };
    return { ...read, suggestion,
      warning: `${typed} here is the hexadecimal code ${hex(read.value)} = ${read.value} (${keyName(read.value)}); ${named}` };
  }
  if (!read.refused && knownKeyName(read.value) === null) {
    return { ...read, warning: `${hex(read.value)} is the code of no key: Windows assigns none to it` };
  }
  return read;
}

// The controller's buttons are read as the key codes are. Names of buttons
// typed where the mask goes ("A", "Back+Up") say what the plugin makes of
// them and what was meant; bits of no button make a chord never held.
function readButtonMask(text, setting) {
  const read = readHexadecimal(text, setting);
  const typed = text.trim();
  const meant = maskOfButtonNames(typed);
  if (meant !== null && meant !== read.value) {
    const suggestion = maskText(meant);
    const named = `${buttonsInWords(meant)} is ${suggestion}: write ${suggestion} or press the buttons`;
    if (read.refused) return { refused: `"${typed}" names buttons, not their mask; ${named}`, suggestion };
    return { ...read, suggestion,
      warning: `${typed} here is the hexadecimal mask ${maskText(read.value)} (${buttonsInWords(read.value)}); ${named}` };
  }
  const unnamed = read.refused ? 0 : unnamedBits(read.value);
  if (unnamed) {
    return { ...read, warning: `${maskText(unnamed)} is no button of a controller, so the chord is never held and the controller never toggles the HUD` };
  }
  return read;
}

const readers = { boolean: readBoolean, digits: readDigits, flag: readFlag, decimal: readDecimal, keyCode: readKeyCode, buttonMask: readButtonMask };

// The value the plugin stores for one key, given the text the file gives
// ('' when the key is missing or empty).
function effectiveValue(setting, text) {
  if (text === '') return { value: setting.reloadDefault, defaulted: true, reason: 'empty' };
  const read = readers[setting.kind](text, setting);
  if (read.refused) return { value: setting.reloadDefault, defaulted: true, reason: read.refused, intended: read.intended, suggestion: read.suggestion };
  return { value: read.value, defaulted: false, note: read.note, misread: read.misread, warning: read.warning, suggestion: read.suggestion };
}

module.exports = { effectiveValue, readers };
