'use strict';
// Whole settings files of every shape a player or an editor makes, drawn
// from a seeded generator: the page's keys and misspellings of them, values of
// every kind with white space and invisible characters before and after
// (ASCII blanks, control characters, Ctrl-Z, NUL, Unicode spaces, byte-order
// marks), characters a Unicode file holds that the code page turns into
// digits or signs, quotes, inline comments, key lines without "=", keys and
// sections twice, unclosed brackets and extra "]", lines before any
// section, every encoding and byte-order mark, mixed line endings, long
// lines.
//
// A file is a model { encoding, lines, endings } until encodeShape() makes
// its bytes, so that a failing file can be shrunk line by line and
// character by character.

const { generator } = require('./value-generator');
const { SETTINGS } = require('./load-page-modules')('settings-table');
const { bytesOf, inCodePage } = require('./load-page-modules')('code-page-1252');

const ENCODINGS = ['ansi', 'ansi', 'ansi', 'ansi', 'utf-8', 'utf-8', 'utf-8-mark', 'utf-8-mark', 'utf-8-mark', 'utf-16le', 'utf-16le', 'utf-16be'];
const unicodeEncoding = (encoding) => encoding !== 'ansi';

// Characters around values, names and headers. In an ANSI file those the
// code page lacks are left out.
const BLANKS = [' ', ' ', '\t', '\v'];
const READER_BLANKS = ['\f', '\x1a'];
const CONTROLS = ['\x01', '\x02', '\x07', '\x08', '\x0e', '\x1b', '\x1f', '\x7f', '\0'];
const INVISIBLE = ['\u00a0', '\u00a0', '\u3000', '\u2002', '\u2000', '\u2007', '\u2009', '\u200a', '\u200b', '\u202f', '\u205f',
  '\ufeff', '\u00ad', '\u2060', '\u0085', '\u1680', '\u2028', '\u200e'];
// Unicode characters the code page gives as something else: digits, signs,
// quotes and separators, and ones it has nothing for.
const LOOKALIKES = [...'\uff10\uff11\uff12\uff15\uff17\uff19\u2080\u2081\u2082\u2085\u2087\u2089\u2070\u2071\u2074\u2075\u2078\u2079' +
  '\u00b9\u00b2\u2212\u2010\u2011\uff0d\uff0b\uff0e\uff0c\u221e\u0660\u0661\u06f1\u0967\uff02\uff07\uff1d\uff1b\uff3b\uff3d' +
  '\uff21\uff46\uff58\u00e9\u00bd\ufffd', '\ud83d\ude00', '\ud800'];
// Letters that fold to an ASCII one only in a Unicode-wide comparison.
const CASE_LOOKALIKES = { s: '\u017f', k: '\u212a', i: '\u0131', I: '\u0130' };

function shapes(seed) {
  const { kinds, integer, next } = generator(seed);
  const chance = (p) => next() < p;
  const pick = (list) => list[integer(list.length)];
  const some = (count, make) => Array.from({ length: count }, make).join('');

  function fileShape() {
    const encoding = pick(ENCODINGS);
    const unicode = unicodeEncoding(encoding);
    const usable = (list) => (unicode ? list : list.filter((character) => inCodePage(character)));
    const invisible = usable(INVISIBLE);
    const lookalikes = usable(LOOKALIKES);

    const oddCharacter = () => pick([
      () => pick(BLANKS), () => pick(READER_BLANKS), () => pick(CONTROLS), () => pick(invisible), () => pick(invisible),
    ])();
    const around = () => (chance(0.92) ? '' : some(1 + integer(chance(0.8) ? 1 : 3), oddCharacter));
    const spaces = () => (chance(0.75) ? '' : pick([' ', '  ', '\t', ' \t ']));

    function caseOf(name) {
      return pick([
        () => name, () => name, () => name, () => name.toLowerCase(), () => name.toUpperCase(),
        () => [...name].map((c) => (chance(0.5) ? c.toLowerCase() : c.toUpperCase())).join(''),
        () => (unicode ? name.replace(/[skiI]/, (c) => CASE_LOOKALIKES[c]) : name),
      ])();
    }
    function misspelt(name) {
      const at = integer(name.length);
      return pick([
        () => name.slice(0, at) + name.slice(at + 1),
        () => name.slice(0, at) + pick([...'abcdeMSx ']) + name.slice(at),
        () => name.slice(0, at) + name[at + 1] + name[at] + name.slice(at + 2),
        () => `${name}s`,
      ])();
    }
    const keyName = (name) => (chance(0.06) ? misspelt(name) : caseOf(name));

    function value(setting) {
      let text = chance(0.85) ? kinds[setting.kind]() : kinds[pick(Object.keys(kinds))]();
      if (unicode && chance(0.12)) {
        text = text.replace(/[0-9.\-+]/g, (c) => (chance(0.4) ? pick(lookalikes) : c));
      }
      if (chance(0.08)) text = text.slice(0, integer(text.length + 1)) + oddCharacter() + text.slice(integer(text.length + 1));
      if (chance(0.08)) {
        const quote = pick(['"', "'"]);
        text = pick([`${quote}${text}${quote}`, `${quote}${text}`, `${text}${quote}`, `"${text}'`, quote, `${quote}${quote}`,
          `${quote}${around()}${text}${around()}${quote}`]);
      }
      if (chance(0.05)) text += pick([' ; a note', '\t; on', ' # why', ';', '=1']);
      if (chance(0.004)) text = pick(['0', ' ', '"']).repeat(9990 + integer(20)) + text;
      return text;
    }
    function keyLine(setting) {
      const name = keyName(setting.key);
      if (chance(0.06)) return `${around()}${name}${pick(['', ' ', '  ', `${pick(invisible)}`, ` ${value(setting)}`])}`;
      const prefix = chance(0.04) ? pick([';', '#', '; ', '//']) : '';
      return `${prefix}${around()}${spaces()}${name}${spaces()}${around()}=${spaces()}${around()}${value(setting)}${around()}${spaces()}`;
    }
    function header(name) {
      const shown = chance(0.85) ? caseOf(name) : misspelt(name);
      const shape = chance(0.8) ? 'plain' : pick(['spaced', 'unclosed', 'extra', 'extra-comment', 'doubled', 'trailing', 'empty']);
      const inside = `${chance(0.9) ? '' : around()}${shown}${chance(0.9) ? '' : around()}`;
      switch (shape) {
        case 'spaced': return `${spaces()}[${spaces()}${inside}${spaces()}]${spaces()}`;
        case 'unclosed': return `[${inside}${spaces()}`;
        case 'extra': return `[${inside}]${pick(['', 'x', ' '])}]`;
        case 'extra-comment': return `[${inside}] ; my [notes]`;
        case 'doubled': return `[[${inside}]${pick(['', ']'])}`;
        case 'trailing': return `[${inside}]${pick([' ; mine', 'junk', '\t'])}`;
        case 'empty': return '[]';
        default: return `${around()}[${inside}]${around()}`;
      }
    }
    const noise = () => pick(['', '', '; a note of mine', '# another', 'not a setting', `${around()}`, '=5', ' = 70',
      `${pick(lookalikes)}${pick(lookalikes)}`, 'x'.repeat(chance(0.1) ? 12000 : 5)]);

    const lines = [];
    if (chance(0.15)) lines.push(`${keyName(pick(SETTINGS).key)}=${kinds.digits()}`);
    if (chance(0.15)) lines.push(noise());
    if (chance(0.15)) {
      lines.push(header(pick(['General', 'Display', 'Setting', 'Settings2'])));
      lines.push(keyLine(pick(SETTINGS)));
    }
    if (chance(0.1)) lines.push(header('Settings'), keyLine(pick(SETTINGS)));
    if (chance(0.96)) lines.push(header('Settings'));
    for (const setting of SETTINGS) {
      const writes = chance(0.15) ? 0 : chance(0.1) ? 2 : 1;
      for (let time = 0; time < writes; time++) lines.push(keyLine(setting));
      if (chance(0.04)) lines.push(noise());
      if (chance(0.01)) lines.push(header(pick(['Settings', 'Other'])));
    }
    if (chance(0.2)) lines.push(header(pick(['Settings', 'Extra'])), keyLine(pick(SETTINGS)));

    const ending = pick(['\r\n', '\r\n', '\n', '\r', 'mixed']);
    const endings = lines.map(() => (ending === 'mixed' ? pick(['\r\n', '\n', '\r', '\r\r\n', '\n\n']) : ending));
    if (chance(0.1)) endings[endings.length - 1] = '';
    if (unicode && chance(0.05)) lines[0] = `\ufeff${lines[0]}`;
    return { encoding, lines, endings };
  }

  return { fileShape };
}

// UTF-8 that keeps unpaired halves of pairs as they come: an editor may
// leave invalid bytes too.
function utf8(text) {
  const bytes = [];
  for (let index = 0; index < text.length; index++) {
    let code = text.charCodeAt(index);
    const low = text.charCodeAt(index + 1);
    if (code >= 0xd800 && code < 0xdc00 && low >= 0xdc00 && low < 0xe000) {
      code = 0x10000 + ((code - 0xd800) << 10) + (low - 0xdc00);
      index++;
    }
    if (code < 0x80) bytes.push(code);
    else if (code < 0x800) bytes.push(0xc0 | (code >> 6), 0x80 | (code & 63));
    else if (code < 0x10000) bytes.push(0xe0 | (code >> 12), 0x80 | ((code >> 6) & 63), 0x80 | (code & 63));
    else bytes.push(0xf0 | (code >> 18), 0x80 | ((code >> 12) & 63), 0x80 | ((code >> 6) & 63), 0x80 | (code & 63));
  }
  return Buffer.from(bytes);
}

function utf16(text, littleEndian) {
  const bytes = Buffer.alloc(text.length * 2);
  for (let index = 0; index < text.length; index++) {
    if (littleEndian) bytes.writeUInt16LE(text.charCodeAt(index), index * 2);
    else bytes.writeUInt16BE(text.charCodeAt(index), index * 2);
  }
  return bytes;
}

function textOfShape(shape) {
  return shape.lines.map((line, index) => line + shape.endings[index]).join('');
}

function encodeShape(shape) {
  const text = textOfShape(shape);
  switch (shape.encoding) {
    case 'ansi': return Buffer.from(bytesOf(text));
    case 'utf-8': return utf8(text);
    case 'utf-8-mark': return Buffer.concat([Buffer.from([0xef, 0xbb, 0xbf]), utf8(text)]);
    case 'utf-16le': return Buffer.concat([Buffer.from([0xff, 0xfe]), utf16(text, true)]);
    default: return Buffer.concat([Buffer.from([0xfe, 0xff]), utf16(text, false)]);
  }
}

module.exports = { shapes, encodeShape, textOfShape };
