'use strict';
// The settings file as the system's INI reading sees it: lines of sections
// and keys, names matched without regard to case, white space around names
// and values dropped, one pair of matching quotes around a value removed.
// The first section of a name and the first key of a name in it are the
// ones read; later ones are never seen by the plugin.

const { readFileText } = require('./text-encoding');

const VALUE_LIMIT = 9999; // the plugin reads into a buffer of 10000 characters

// File bytes to the text the plugin's reading receives.
function decode(bytes) {
  return readFileText(bytes).asRead;
}

const SPACE = /^[ \t\v\f]+|[ \t\v\f]+$/g;

function trim(text) {
  return text.replace(SPACE, '');
}

// One line of the file: { number, text, kind: 'blank'|'comment'|'section'|'entry'|'other', name, value }.
function classify(text, number) {
  const line = trim(text);
  if (line === '') return { number, text, kind: 'blank' };
  // A "[" without a "]" after it starts no section: the line is read as a key.
  const close = line.startsWith('[') ? line.lastIndexOf(']') : -1;
  if (close > 0) return { number, text, kind: 'section', name: trim(line.slice(1, close)) };
  if (line.startsWith(';') || line.startsWith('#')) return { number, text, kind: 'comment' };
  const equals = line.indexOf('=');
  if (equals < 0) return { number, text, kind: 'other', name: line };
  return { number, text, kind: 'entry', name: trim(line.slice(0, equals)), value: trim(line.slice(equals + 1)) };
}

// Text to its lines, each with the section it lies in (null before the first).
function parseIni(text) {
  const lines = [];
  let section = null;
  const pieces = text.split(/\r\n|\n|\r/);
  if (pieces.length > 1 && pieces[pieces.length - 1] === '') pieces.pop();
  pieces.forEach((piece, index) => {
    const line = classify(piece, index + 1);
    if (line.kind === 'section') section = line;
    line.section = line.kind === 'section' ? line : section;
    lines.push(line);
  });
  return { lines };
}

function sameName(a, b) {
  return a.toLowerCase() === b.toLowerCase();
}

// The value text as the plugin receives it: one pair of matching quotes
// removed, cut to the plugin's buffer.
function valueText(raw) {
  let value = raw;
  if (value.length >= 2 && (value[0] === '"' || value[0] === "'") && value[value.length - 1] === value[0]) {
    value = value.slice(1, -1);
  }
  return value.slice(0, VALUE_LIMIT);
}

// Every line that sets `key` in a section named `section`, in file order,
// and the one the plugin reads (or null).
function findKey(ini, section, key) {
  const firstSection = ini.lines.find((line) => line.kind === 'section' && sameName(line.name, section));
  const occurrences = ini.lines.filter(
    (line) => line.kind === 'entry' && line.section && sameName(line.section.name, section) && sameName(line.name, key),
  );
  const read = occurrences.find((line) => line.section === firstSection) || null;
  return { occurrences, read, text: read ? valueText(read.value) : '' };
}

module.exports = { decode, parseIni, findKey, valueText, sameName, VALUE_LIMIT };
