'use strict';
// A settings file's bytes as text and back, in the encoding it came in: a
// byte-order mark selects UTF-8 or UTF-16, anything else is the Windows ANSI
// code page (1252), whose every byte comes back as it was.

const { decode1252, bytesOf } = require('./code-page-1252');

const MARKS = [
  ['utf-8', [0xef, 0xbb, 0xbf]],
  ['utf-16le', [0xff, 0xfe]],
  ['utf-16be', [0xfe, 0xff]],
];

const NAMES = { 'windows-1252': 'ANSI', 'utf-8': 'UTF-8 with a byte-order mark', 'utf-16le': 'UTF-16 little-endian', 'utf-16be': 'UTF-16 big-endian' };

function encodingOf(bytes) {
  const found = MARKS.find(([, mark]) => bytes.length >= mark.length && mark.every((byte, index) => bytes[index] === byte));
  return found ? found[0] : 'windows-1252';
}

function decodeUtf16(bytes, littleEndian) {
  let text = '';
  for (let at = 0; at + 1 < bytes.length; at += 2) {
    text += String.fromCharCode(littleEndian ? bytes[at] | (bytes[at + 1] << 8) : (bytes[at] << 8) | bytes[at + 1]);
  }
  return text;
}

// { encoding, text, mark }: the text as the file holds it after its mark
// (UTF-16 unit by unit, unpaired halves of pairs kept), and whether a mark
// was there.
function readFileText(bytes) {
  const encoding = encodingOf(bytes);
  const mark = MARKS.find(([name]) => name === encoding);
  const body = mark ? bytes.subarray(mark[1].length) : bytes;
  let text;
  if (encoding === 'windows-1252') text = decode1252(body);
  else if (encoding === 'utf-8') text = new TextDecoder('utf-8', { ignoreBOM: true }).decode(body);
  else text = decodeUtf16(body, encoding === 'utf-16le');
  return { encoding, text };
}

function encodeText(text, encoding) {
  if (encoding === 'windows-1252') return bytesOf(text);
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

const encodingName = (encoding) => NAMES[encoding];

module.exports = { readFileText, encodeText, encodingName };
