'use strict';
// A log file's bytes as text. The plugin writes UTF-8; an editor may have
// saved the file again as UTF-16 (with a byte-order mark, or without one,
// which the log's opening "[" shows) or with a UTF-8 mark. A file whose text
// holds NULs or many control characters is no text at all.

const ENCODINGS = [
  { name: 'UTF-8', decoder: 'utf-8', mark: [0xef, 0xbb, 0xbf] },
  { name: 'UTF-16 little-endian', decoder: 'utf-16le', mark: [0xff, 0xfe] },
  { name: 'UTF-16 big-endian', decoder: 'utf-16be', mark: [0xfe, 0xff] },
  { name: 'UTF-16 little-endian', decoder: 'utf-16le', mark: [], looksLike: [0x5b, 0x00] },
  { name: 'UTF-16 big-endian', decoder: 'utf-16be', mark: [], looksLike: [0x00, 0x5b] },
];

const startsWith = (bytes, prefix) => prefix.every((byte, index) => bytes[index] === byte);

function encodingOf(bytes) {
  return ENCODINGS.find(({ mark, looksLike }) => (looksLike ? startsWith(bytes, looksLike) : mark.length > 0 && startsWith(bytes, mark))) || null;
}

function looksBinary(text) {
  const sample = text.length > 65536 ? text.slice(0, 65536) : text;
  let control = 0;
  for (let index = 0; index < sample.length; index++) {
    const code = sample.charCodeAt(index);
    if (code === 0) return true;
    if (code < 0x20 && code !== 0x09 && code !== 0x0a && code !== 0x0d) control++;
  }
  return control > sample.length / 100;
}

// { text, encoding } where encoding names a form other than the plugin's
// plain UTF-8, or { binary: true }.
function logText(bytes) {
  const found = encodingOf(bytes);
  const body = found ? bytes.subarray(found.mark.length) : bytes;
  const text = new TextDecoder(found ? found.decoder : 'utf-8', { ignoreBOM: true }).decode(body);
  if (looksBinary(text)) return { binary: true };
  const encoding = found && found.decoder !== 'utf-8' ? `${found.name}${found.mark.length ? '' : ' without a byte-order mark'}` : null;
  return { text, encoding };
}

module.exports = { logText };
