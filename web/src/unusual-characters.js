'use strict';
// Characters in a name, a value or a section header that a player does not
// see or did not mean: control characters, NUL, Ctrl-Z, no-break and other
// Unicode spaces, zero-width characters and byte-order marks (TAB, which
// every reading drops around a value, is not one of them); and, in a
// Unicode file, characters the code page lacks, which Proton converts to a
// look-alike ("５" to "5") and Windows may not. Each gets a name a player
// understands, and saving leaves them out.

const { narrowText, inCodePage } = require('./code-page-1252');

const UNUSUAL = /[\0-\x08\x0b-\x1f\x7f-\x9f\xa0\xad\u034f\u061c\u115f\u1160\u1680\u180e\u2000-\u200f\u2028-\u202f\u205f-\u206f\u3000\u3164\ufeff]/;
const UNUSUAL_ALL = new RegExp(UNUSUAL.source, 'g');

const NAMES = {
  0x00: 'a NUL byte', 0x0b: 'a vertical tab', 0x0c: 'a form feed', 0x1a: 'a Ctrl-Z (end-of-file mark)', 0x1b: 'an Escape character',
  0x7f: 'a delete character', 0x85: 'a next-line character', 0xa0: 'a no-break space', 0xad: 'a soft hyphen',
  0x1680: 'an ogham space', 0x2000: 'an en quad', 0x2001: 'an em quad', 0x2002: 'an en space', 0x2003: 'an em space',
  0x2004: 'a three-per-em space', 0x2005: 'a four-per-em space', 0x2006: 'a six-per-em space', 0x2007: 'a figure space',
  0x2008: 'a punctuation space', 0x2009: 'a thin space', 0x200a: 'a hair space', 0x200b: 'a zero-width space',
  0x200c: 'a zero-width non-joiner', 0x200d: 'a zero-width joiner', 0x200e: 'a left-to-right mark', 0x200f: 'a right-to-left mark',
  0x2028: 'a line separator', 0x2029: 'a paragraph separator', 0x202f: 'a narrow no-break space', 0x205f: 'a medium mathematical space',
  0x2060: 'a word joiner', 0x3000: 'an ideographic (full-width) space', 0xfeff: 'a byte-order mark (zero-width no-break space)',
};

const hex = (code) => code.toString(16).toUpperCase().padStart(4, '0');

function characterName(character) {
  const code = character.codePointAt(0);
  if (NAMES[code]) return NAMES[code];
  if (code < 0x20) return `the control character 0x${hex(code).slice(2)}`;
  if (code < 0xa0) return `the control character U+${hex(code)}`;
  return `the invisible character U+${hex(code)}`;
}

const isUnusual = (character) => UNUSUAL.test(character);

// A Unicode file's character that Proton reads as another one.
const isLookalike = (character, encoding) => encoding !== 'windows-1252' && !inCodePage(character) && !isUnusual(character);

// Where a character stands in a text, in words: "after 5000", "before 70",
// "inside 50 00", or "alone".
function placeOf(text, index) {
  const visible = text.replace(UNUSUAL_ALL, '').trim();
  const before = text.slice(0, index).replace(UNUSUAL_ALL, '').trim();
  const after = text.slice(index + 1).replace(UNUSUAL_ALL, '').trim();
  if (!visible) return 'alone';
  if (!after) return `after ${before}`;
  if (!before) return `before ${after}`;
  return `inside ${visible}`;
}

// Every unusual character and look-alike of a text: { index, character, words }.
function findUnusual(text, encoding) {
  const found = [];
  for (let index = 0; index < text.length; index++) {
    const character = text[index];
    if (isUnusual(character)) {
      found.push({ index, character, kind: 'invisible', words: `${characterName(character)} ${placeOf(text, index)}` });
    } else if (isLookalike(character, encoding)) {
      const read = narrowText(character);
      found.push({ index, character, kind: 'lookalike',
        words: `"${character}" (U+${hex(character.charCodeAt(0))}), which Proton reads as "${read}" and Windows may not` });
    }
  }
  return found;
}

// A text without its unusual characters, and with look-alikes written as
// what Proton reads; a NUL ends it, as it ends Proton's reading.
// A lone quote, which Windows may read as nothing, goes too.
function cleanText(text) {
  const nul = text.indexOf('\0');
  const clean = cleanName(nul < 0 ? text : text.slice(0, nul));
  return /^\s*["']\s*$/.test(clean) ? '' : clean;
}

// A name or header without its unusual characters, NUL included, and with
// look-alikes written as what Proton reads.
function cleanName(text) {
  let clean = '';
  for (const character of text.replace(UNUSUAL_ALL, '')) clean += inCodePage(character) ? character : narrowText(character);
  return clean;
}

// A line's text as it is shown: each unusual character as its code in a
// box a reader can see, e.g. "5000⟨U+00A0⟩".
function visibleText(text) {
  return text.replace(UNUSUAL_ALL, (character) => `\u27e8${character === '\0' ? 'NUL' : `U+${hex(character.charCodeAt(0))}`}\u27e9`);
}

module.exports = { isUnusual, isLookalike, characterName, findUnusual, cleanText, cleanName, visibleText };
