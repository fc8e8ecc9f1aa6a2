'use strict';
// A settings file's bytes as text and back, in the encoding it came in: a
// byte-order mark selects UTF-8 or UTF-16, anything else is the Windows ANSI
// code page (1252), whose every byte comes back as it was.

const MARKS = [
  ['utf-8', [0xef, 0xbb, 0xbf]],
  ['utf-16le', [0xff, 0xfe]],
  ['utf-16be', [0xfe, 0xff]],
];

// The characters of bytes 0x80 to 0x9F in code page 1252; the five bytes it
// leaves undefined decode to the control character of the same number.
const HIGH_1252 = '\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152\u008d\u017d\u008f' +
  '\u0090\u2018\u2019\u201c\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d\u017e\u0178';

function encodingOf(bytes) {
  const found = MARKS.find(([, mark]) => mark.every((byte, index) => bytes[index] === byte));
  return found ? found[0] : 'windows-1252';
}

// The plugin asks for narrow text: Windows gives a Unicode file's full-width
// forms (U+FF01 to U+FF5E) as their ASCII look-alikes, so a full-width 5000
// reads as 5000.
function narrowed(text) {
  return text.replace(/[\uff01-\uff5e]/g, (character) => String.fromCharCode(character.charCodeAt(0) - 0xfee0));
}

// { encoding, asWritten, asRead }: the text as the file holds it, and as the
// plugin's reading receives it.
function readFileText(bytes) {
  const encoding = encodingOf(bytes);
  const mark = MARKS.find(([name]) => name === encoding);
  // The mark is taken off here; a second one is text of the file.
  const asWritten = new TextDecoder(encoding, { ignoreBOM: true }).decode(mark ? bytes.subarray(mark[1].length) : bytes);
  return { encoding, asWritten, asRead: mark ? narrowed(asWritten) : asWritten };
}

function encode1252(text) {
  const bytes = [];
  for (const character of text) {
    const code = character.codePointAt(0);
    const high = HIGH_1252.indexOf(character);
    // U+0080 to U+009F come from the undefined bytes, or from a decoder that
    // reads the code page as Latin-1: both are their own byte.
    if (code <= 0xff) bytes.push(code);
    else if (high >= 0) bytes.push(0x80 + high);
    else bytes.push(0x3f); // "?", as Windows writes a character the code page lacks
  }
  return Uint8Array.from(bytes);
}

function encodeText(text, encoding) {
  if (encoding === 'windows-1252') return encode1252(text);
  const mark = MARKS.find(([name]) => name === encoding)[1];
  let body;
  if (encoding === 'utf-8') {
    body = new TextEncoder().encode(text);
  } else {
    body = new Uint8Array(text.length * 2);
    const view = new DataView(body.buffer);
    for (let index = 0; index < text.length; index++) view.setUint16(index * 2, text.charCodeAt(index), encoding === 'utf-16le');
  }
  return Uint8Array.from([...mark, ...body]);
}

module.exports = { readFileText, encodeText };
