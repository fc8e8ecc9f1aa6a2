'use strict';
// The lines of a settings file that are a problem, each with what it does
// and one fix that leaves a line every reading takes the same way: invisible
// characters and look-alikes in names, values and headers; a key named
// without "=" (which hides the key's line from Proton); headers Windows and
// Proton read differently; values no source says how Windows reads (too
// long, holding "="); and what holds for the whole file (UTF-16 without a
// byte-order mark or big-endian, mixed line endings).
//
// A fix is a function of the document's lines ({ text, ending } each) that
// gives the new lines; the document's encoding is fixed by `encoding`.

const { sameName, trim, classify, splitLines, VALUE_LIMIT } = require('./ini-file');
const { bytesOf } = require('./code-page-1252');
const { readFileText } = require('./text-encoding');
const { isCertainBlank, unsettledValue } = require('./ini-windows');
const { SETTINGS, SECTION } = require('./settings-table');
const { findUnusual, cleanText, cleanName } = require('./unusual-characters');
const { valueInWords, textOf } = require('./setting-values-text');

const KEY_NAMES = SETTINGS.map((setting) => setting.key);
const knownKey = (name) => KEY_NAMES.find((key) => sameName(key, name));

const replaceLine = (number, text) => (lines) => lines.map((line, index) => (index === number - 1 ? { ...line, text } : line));
const removeLine = (number) => (lines) => lines.filter((_, index) => index !== number - 1);

const ENDING_NAMES = { '\r\n': 'CRLF', '\n': 'LF', '\r': 'CR' };

function list(words) {
  return words.length <= 1 ? words.join('') : `${words.slice(0, -1).join(', ')} and ${words[words.length - 1]}`;
}

// Invisible characters and look-alikes of one line, and its clean form.
function unusualInLine(line, encoding) {
  if (line.kind === 'blank') return null;
  if (line.kind === 'comment') {
    if (!line.text.includes('\0')) return null;
    return { found: ['a NUL byte in this comment'], clean: line.text.replace(/\0/g, '') };
  }
  if (line.kind === 'entry') {
    const equals = line.text.indexOf('=');
    const name = line.text.slice(0, equals);
    const value = line.text.slice(equals + 1);
    const found = [...findUnusual(trim(name, isCertainBlank), encoding), ...findUnusual(trim(value, isCertainBlank), encoding)].map((item) => item.words);
    if (/^["']$/.test(trim(value, isCertainBlank))) found.push('a lone quote, which Proton reads as the text " and Windows may read as nothing');
    if (!found.length) return null;
    return { found, clean: `${cleanName(name)}=${cleanText(value)}` };
  }
  const found = findUnusual(trim(line.text, isCertainBlank), encoding);
  if (!found.length) return null;
  return { found: found.map((item) => item.words), clean: cleanName(line.text) };
}

// Look-alikes' words start with the character quoted.
function fixLabel(found) {
  if (found.every((words) => /^"/.test(words))) return found.length > 1 ? 'Write them as Proton reads them' : 'Write it as Proton reads it';
  if (found.length > 1) return 'Remove them';
  return `Remove ${found[0].replace(/(,| (after|before|inside|alone|in this)\b).*$/, '')}`;
}

// The key a line sets, when it names one of the plugin's.
function keyOfLine(line) {
  return line.kind === 'entry' || line.kind === 'other' ? knownKey(line.name) || null : null;
}

function headerProblem(line, { encoding }) {
  if (line.kind === 'other' && trim(line.text, isCertainBlank).startsWith('[')) {
    const name = trim(trim(line.text, isCertainBlank).slice(1), isCertainBlank);
    return {
      text: `"[${name}" has no "]": Windows reads it as the header of section [${name}], Proton as a line of the section before it.`,
      fix: { label: 'Add the "]"', apply: replaceLine(line.number, `[${name}]`) },
    };
  }
  if (line.kind !== 'section') return null;
  const trimmed = trim(line.text, isCertainBlank);
  const first = trimmed.indexOf(']');
  const windowsName = trim(trimmed.slice(1, first), isCertainBlank);
  if (first !== trimmed.lastIndexOf(']')) {
    return {
      text: `Windows ends the section name at the first "]" and reads [${windowsName}]; Proton ends it at the last and reads [${line.name}].`,
      fix: { label: `Keep [${windowsName}] only`, apply: replaceLine(line.number, `[${windowsName}]`) },
    };
  }
  if (line.number === 1 && encoding === 'utf-8') {
    return {
      text: 'The byte-order mark of this UTF-8 file stands on this line: Windows reads it as part of the line and loses this header; Proton reads it.',
      fix: { label: 'Put an empty line above it', apply: (lines) => [{ text: '', ending: lines[0].ending || '\r\n' }, ...lines] },
    };
  }
  const inside = trimmed.slice(1, first);
  if (inside !== trim(inside, isCertainBlank)) {
    return {
      text: `Blanks inside the brackets: Windows and Proton from Wine 7.22 read [${windowsName}], older Proton (7.0 and before) does not.`,
      fix: { label: `Write [${windowsName}]`, apply: replaceLine(line.number, `[${windowsName}]`) },
    };
  }
  return null;
}

function bareKeyProblem(line, checked) {
  const key = keyOfLine(line);
  if (line.kind !== 'other' || !key || !line.section || !sameName(line.section.name, SECTION)) return null;
  const result = checked.keys.find((item) => item.setting.key === key);
  if (result.read === line) {
    const hidden = result.occurrences.find((other) => other.kind === 'entry' && other.number > line.number);
    return {
      key,
      text: `This line names ${key} without "=": the plugin finds it first and keeps the default ${valueInWords(result.setting, result.setting.reloadDefault)}` +
        `${hidden ? `; line ${hidden.number} is not read` : ''} (Proton; on Windows it is not established). Remove it.`,
      fix: { label: 'Remove this line', apply: removeLine(line.number) },
    };
  }
  return {
    key,
    text: `This line names ${key} without "=" and sets nothing. Remove it.`,
    fix: { label: 'Remove this line', apply: removeLine(line.number) },
  };
}

const count = (number) => number.toLocaleString('en-US');

// Values whose Windows reading no source settles: what each does, in words.
const UNSETTLED_VALUES = {
  long: (key) => `This value is ${count(key.text.length)} characters long: the plugin reads its first ${count(VALUE_LIMIT)} under Proton, ` +
    'and no source says what it reads of a value this long on Windows (which counts a length only up to 65,535).',
  equals: () => 'This value holds a "=": under Proton the value is all the text after the first "=", and no source says how Windows reads it.',
};

// The text of a key's value that every reading takes the same way: its own,
// but the value Proton stores where the text is longer than the plugin
// reads, or Windows' reading of it is not settled once its look-alikes are
// written plainly ("＝" as "=", as saving writes them).
function settledValueText(key) {
  return key.text.length < VALUE_LIMIT && !unsettledValue(cleanText(key.text)) ? key.text : textOf(key.setting, key.proton.value);
}

function unsettledValueProblem(line, checked) {
  const key = checked.keys.find((item) => item.read === line);
  const reason = key && unsettledValue(key.text);
  if (!reason) return null;
  const written = settledValueText(key);
  return {
    key: key.setting.key,
    text: `${UNSETTLED_VALUES[reason](key)} Write the value Proton uses, ${written}.`,
    fix: { label: `Write ${written}`, apply: replaceLine(line.number, `${line.text.slice(0, line.text.indexOf('='))}=${written}`) },
  };
}

function dominantEnding(lines) {
  const counts = new Map();
  for (const line of lines) if (line.ending) counts.set(line.ending, (counts.get(line.ending) || 0) + 1);
  return [...counts].sort((a, b) => b[1] - a[1])[0]?.[0] || '\r\n';
}

const fileText = (lines) => lines.map((line) => line.text + line.ending).join('');

// An ANSI reading whose every second character is a NUL: UTF-16
// little-endian text that lost its byte-order mark.
const isUnmarkedUtf16 = (document) => document.encoding === 'windows-1252' && /^(?:[^\0]\0)+$/s.test(fileText(document.lines));

const UNMARKED_UTF16 = {
  text: 'This file is UTF-16 without a byte-order mark: Proton reads it as ANSI text, whose NUL bytes match no key (every key keeps its default), ' +
    'and Windows\' reading of it is not established.',
  fix: {
    label: 'Add the UTF-16 byte-order mark',
    encoding: 'utf-16le',
    apply: (lines) => splitLines(readFileText(Uint8Array.from([0xff, 0xfe, ...bytesOf(fileText(lines))])).text),
  },
};

function fileProblems(document, lines) {
  const problems = [];
  if (document.encoding === 'utf-16be') {
    problems.push({
      text: 'This file is UTF-16 big-endian: Proton reads it, Windows reads nothing of it (every key keeps its default).',
      fix: { label: 'Use UTF-16 little-endian', encoding: 'utf-16le' },
    });
  }
  const endings = [...new Set(lines.map((line) => line.ending).filter(Boolean).flatMap((ending) => ending.match(/\r\n|\n|\r/g)))];
  if (endings.length > 1) {
    const dominant = dominantEnding(lines);
    problems.push({
      text: `This file mixes line endings (${list(endings.map((ending) => ENDING_NAMES[ending]))}): Windows' reading of such a file is not established.`,
      fix: { label: `Use ${ENDING_NAMES[dominant]} throughout`, apply: (all) => all.map((line) => ({ ...line, ending: line.ending ? dominant : '' })) },
    });
  }
  return problems;
}

// document: { encoding, lines: [{ text, ending }] }; checked: its checkSettings().
function findProblems(document, checked) {
  // Read as ANSI, every line of such a file is full of NUL bytes: its one
  // problem is the missing mark.
  if (isUnmarkedUtf16(document)) return [UNMARKED_UTF16];
  const problems = fileProblems(document, document.lines);
  for (const line of checked.ini.lines) {
    const unusual = unusualInLine(line, document.encoding);
    if (unusual) {
      problems.push({
        line: line.number,
        key: keyOfLine(line),
        characters: true,
        text: `${list(unusual.found).replace(/^./, (c) => c.toUpperCase())}.`,
        fix: { label: fixLabel(unusual.found), apply: replaceLine(line.number, unusual.clean) },
      });
    }
    for (const found of [headerProblem(line, document), bareKeyProblem(line, checked), unsettledValueProblem(line, checked)]) {
      if (found) problems.push({ line: line.number, key: found.key || null, ...found });
    }
  }
  return problems;
}

// One line as its fixes leave it, for a line saving keeps.
function cleanLine(text, encoding) {
  const unusual = unusualInLine({ text, ...classify(text) }, encoding);
  const clean = unusual ? unusual.clean : text;
  const header = headerProblem({ text: clean, number: 1, ...classify(clean) }, { encoding: 'windows-1252' });
  return header ? header.fix.apply([{ text: clean, ending: '' }])[0].text : clean;
}

module.exports = { findProblems, dominantEnding, cleanLine, keyOfLine, settledValueText };
