'use strict';
// The settings file as Proton (Wine) reads it for the plugin: lines split at
// any run of CR and LF, blanks (TAB, LF, VT, FF, CR, Ctrl-Z, space) trimmed
// from each line, a "[" line with a "]" after it a section named up to its
// last "]", any other line a key, named up to its first "=" (a line without
// "=" is a key without a value). Names and values end at a NUL. Section and
// key names match without regard to letter case; the first section of the
// name is the only one searched and the first key of the name in it is the
// one read, with no value when its line has no "=".

const { narrowText } = require('./code-page-1252');

const VALUE_BUFFER = 10000; // the plugin's value buffer, in characters
const VALUE_LIMIT = VALUE_BUFFER - 1;

const isBlank = (character) => /[\t\n\v\f\r\x1a ]/.test(character);
// Proton 5.0 and before (Wine up to 5.5) took every Unicode space for a
// blank too: the no-break space, U+2000 to U+200A, U+3000 and the like.
const isOlderProtonBlank = (character) => /[\t\n\v\f\r\x1a\x85\p{Zs}\u2028\u2029]/u.test(character);

function trimStart(text, blank = isBlank) {
  let start = 0;
  while (start < text.length && blank(text[start])) start++;
  return text.slice(start);
}

function trimEnd(text, blank = isBlank) {
  let end = text.length;
  while (end > 0 && blank(text[end - 1])) end--;
  return text.slice(0, end);
}

const trim = (text, blank = isBlank) => trimEnd(trimStart(text, blank), blank);

function cutAtNul(text) {
  const nul = text.indexOf('\0');
  return nul < 0 ? text : text.slice(0, nul);
}

// The physical lines of a text, as an editor numbers them, each with the
// line ending that closes it ('' for the last).
function splitLines(text) {
  const lines = [];
  const pattern = /\r\n|\n|\r/g;
  let start = 0;
  for (let match; (match = pattern.exec(text));) {
    lines.push({ text: text.slice(start, match.index), ending: match[0] });
    start = pattern.lastIndex;
  }
  if (start < text.length || lines.length === 0) lines.push({ text: text.slice(start), ending: '' });
  return lines;
}

// One line: { kind: 'blank'|'comment'|'section'|'entry'|'other', name, value }.
// A comment is a key to the reading too, but its name starts with ";" or
// "#" and so is never one of the plugin's. `other` is a key without "=".
function classify(text) {
  const line = trim(text);
  if (line === '') return { kind: 'blank' };
  if (line[0] === '[') {
    const close = line.lastIndexOf(']');
    if (close > 0) return { kind: 'section', name: cutAtNul(trim(line.slice(1, close))) };
  }
  if (line[0] === ';' || line[0] === '#') return { kind: 'comment' };
  const equals = line.indexOf('=');
  if (equals < 0) return { kind: 'other', name: cutAtNul(line) };
  return { kind: 'entry', name: cutAtNul(trimEnd(line.slice(0, equals))), value: trimStart(line.slice(equals + 1)) };
}

// Text to its lines, each with the section it lies in (null before the first).
function parseIni(text) {
  const lines = [];
  let section = null;
  splitLines(text).forEach((physical, index) => {
    const line = { number: index + 1, text: physical.text, ending: physical.ending, ...classify(physical.text) };
    if (line.kind === 'section') section = line;
    line.section = line.kind === 'section' ? line : section;
    lines.push(line);
  });
  return { lines };
}

// Letter case is ignored for the 26 letters of ASCII only.
function sameName(a, b) {
  return a.length === b.length && a.replace(/[A-Z]/g, (c) => c.toLowerCase()) === b.replace(/[A-Z]/g, (c) => c.toLowerCase());
}

// What the reading copies into the plugin's buffer: one pair of matching
// quotes removed (from a text of two characters or more), cut to the
// buffer. When the cut falls on the closing quote, one more character goes.
function bufferText(value) {
  let text = value;
  let quoted = false;
  if (text.length >= 2 && (text[0] === '"' || text[0] === "'") && text[text.length - 1] === text[0]) {
    text = text.slice(1);
    quoted = true;
  }
  let copied = text.slice(0, VALUE_LIMIT);
  if (quoted && VALUE_BUFFER >= text.length) copied = copied.slice(0, -1);
  return copied;
}

// A value text as the plugin receives it under Proton, from the text after
// "=": blanks trimmed (those `blank` names), cut at a NUL, quotes and buffer
// applied, converted to the ANSI code page.
function valueAsRead(text, blank = isBlank) {
  return narrowText(bufferText(cutAtNul(trim(text, blank))));
}

// The lines that set `key` in sections named `section`, in file order; the
// line the reading finds (or null) and the text the plugin receives.
function findKey(ini, section, key) {
  const firstSection = ini.lines.find((line) => line.kind === 'section' && sameName(line.name, section));
  const named = (line) => (line.kind === 'entry' || line.kind === 'other') && sameName(line.name, key);
  const occurrences = ini.lines.filter((line) => named(line) && line.section && sameName(line.section.name, section));
  const read = occurrences.find((line) => line.section === firstSection) || null;
  return { occurrences, read, text: read && read.kind === 'entry' ? valueAsRead(read.value) : '' };
}

module.exports = { parseIni, splitLines, classify, findKey, valueAsRead, bufferText, sameName, trim, trimStart, trimEnd, cutAtNul, isBlank, isOlderProtonBlank, VALUE_LIMIT };
