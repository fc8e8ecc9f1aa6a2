'use strict';
// The settings file as Windows reads it for the plugin, from what is
// established of Windows' INI reading, and what is not. Windows ends a
// section name at its first "]" and takes "[Settings" without one as a
// header; it reads a UTF-8 file as ANSI bytes (a byte-order mark joins the
// first line) and nothing of a UTF-16 big-endian one; space, TAB and VT are
// its blanks; ";" starts a comment.
//
// Where no source settles what Windows does (other control characters,
// Ctrl-Z and no-break spaces as blanks; a key line without "="; a lone quote;
// the conversion of a UTF-16 value's characters that the code page lacks;
// non-ASCII letter case in names; NUL bytes; mixed line endings), the file
// is read under each answer, and a key whose value differs between them is
// not established. A value that no answer settles (65536 characters or
// more, a quoted one cut by the buffer, one holding "=") is not established
// either.

const { splitLines, trimStart, trimEnd, bufferText, VALUE_LIMIT } = require('./ini-file');
const { decode1252, narrowText, inCodePage } = require('./code-page-1252');

const WINDOWS_LENGTH_WRAP = 65536;

// Blanks Windows is shown to strip, and those no source settles.
const isCertainBlank = (character) => character === ' ' || character === '\t' || character === '\v';
const UNSETTLED_BLANK = /[\x01-\x08\x0c\x0e-\x1f\x7f\x85\xa0\u1680\u2000-\u200b\u2028\u2029\u202f\u205f\u3000\ufeff]/;
const isUnsettledBlank = (character) => UNSETTLED_BLANK.test(character);

// The text Windows parses: the file's bytes as ANSI unless it is UTF-16
// little-endian; null when it reads nothing.
function windowsText(encoding, text) {
  if (encoding === 'utf-16be') return null;
  if (encoding === 'utf-8') return decode1252(new TextEncoder().encode(`\ufeff${text}`));
  return text;
}

function lineEndingsMixed(text) {
  const kinds = new Set(text.match(/\r\n|\n|\r/g) || []);
  return kinds.size > 1;
}

const upperAscii = (text) => text.replace(/[a-z]/g, (c) => c.toUpperCase());

function namesMatch(a, b, unicodeCase) {
  if (!unicodeCase) return upperAscii(a) === upperAscii(b);
  return a.toUpperCase() === b.toUpperCase() || a.toLowerCase() === b.toLowerCase();
}

// One reading under one set of answers to the unsettled questions.
// Returns the text the plugin receives for each key, '' when none.
function readUnder(lines, keys, section, answers) {
  const blank = answers.looseBlanks ? (c) => isCertainBlank(c) || isUnsettledBlank(c) : isCertainBlank;
  const trim = (text) => trimEnd(trimStart(text, blank), blank);
  const found = new Map();
  let inSection = false;
  let sectionSeen = false;
  for (const { text } of lines) {
    const line = trim(text);
    if (line === '' || line[0] === ';') continue;
    if (line[0] === '[') {
      const close = line.indexOf(']');
      const name = trim(line.slice(1, close < 0 ? undefined : close));
      if (inSection) break; // only the first section of the name is searched
      inSection = !sectionSeen && namesMatch(name, section, answers.unicodeCase);
      sectionSeen = sectionSeen || inSection;
      continue;
    }
    if (!inSection) continue;
    const equals = line.indexOf('=');
    const name = equals < 0 ? line : trimEnd(line.slice(0, equals), blank);
    const key = keys.find((candidate) => namesMatch(name, candidate, answers.unicodeCase));
    if (!key || found.has(key)) continue;
    if (equals < 0) {
      if (answers.bareLineHides) found.set(key, { value: null });
      continue;
    }
    found.set(key, { value: trimStart(line.slice(equals + 1), blank) });
  }
  return keys.map((key) => {
    const entry = found.get(key);
    if (!entry) return { text: '', unread: true };
    if (entry.value === null) return { text: '' };
    let value = entry.value;
    if (value.length === 1 && (value === '"' || value === "'") && !answers.loneQuoteKept) value = '';
    const copied = bufferText(value);
    return { text: answers.narrow ? answers.narrow(copied) : copied, unsettled: unsettledValue(value) };
  });
}

// Why no source says what Windows reads of a value, or null.
function unsettledValue(value) {
  if (value.length >= WINDOWS_LENGTH_WRAP || (/^["']/.test(value) && value.length >= VALUE_LIMIT)) return 'long';
  return value.includes('=') ? 'equals' : null;
}

// The answers worth trying for this text: a question that nothing in the
// file raises is asked one way only.
function answerSets(text, encoding) {
  const questions = [];
  const blank = `[ \\t\\v${UNSETTLED_BLANK.source.slice(1, -1)}]*`;
  if (UNSETTLED_BLANK.test(text)) questions.push(['looseBlanks', [false, true]]);
  if (/^[^;[=\r\n][^=\r\n]*$/m.test(text)) questions.push(['bareLineHides', [true, false]]);
  if (new RegExp(`=${blank}["']${blank}$`, 'm').test(text)) questions.push(['loneQuoteKept', [true, false]]);
  if (encoding === 'utf-16le' && [...text].some((character) => !inCodePage(character))) {
    questions.push(['narrow', [(value) => narrowText(value), (value) => narrowText(value, { bestFit: false })]]);
    if (/[\u0130\u0131\u017f\u212a\u212b]/.test(text)) questions.push(['unicodeCase', [false, true]]);
  } else if (encoding === 'utf-16le') {
    questions.push(['narrow', [(value) => narrowText(value)]]);
  }
  let sets = [{}];
  for (const [question, answers] of questions) {
    sets = sets.flatMap((set) => answers.map((answer) => ({ ...set, [question]: answer })));
  }
  return sets;
}

// For each key: { texts } the texts Windows may give under the unsettled
// answers (one when settled), the reasons no answer settles of its value,
// and whether no reading finds a line for it; plus the reasons that hold
// for the whole file.
function readOnWindows(encoding, text, keys, section) {
  const parsed = windowsText(encoding, text);
  if (parsed === null) return { nothing: true, keys: keys.map(() => ({ texts: [''], reasons: [], unread: true })), fileReasons: [] };
  const fileReasons = [];
  if (parsed.includes('\0')) fileReasons.push('nul');
  if (lineEndingsMixed(parsed)) fileReasons.push('mixed-endings');
  const lines = splitLines(parsed);
  const readings = answerSets(parsed, encoding).map((answers) => readUnder(lines, keys, section, answers));
  return {
    nothing: false,
    fileReasons,
    keys: keys.map((_, index) => ({
      texts: [...new Set(readings.map((reading) => reading[index].text))],
      reasons: [...new Set(readings.map((reading) => reading[index].unsettled).filter(Boolean))],
      unread: readings.every((reading) => reading[index].unread),
    })),
  };
}

module.exports = { readOnWindows, unsettledValue, isUnsettledBlank, isCertainBlank, lineEndingsMixed, windowsText };
