'use strict';
// What the shipped settings file says of each key: the comment lines right
// above it (its explanation) and the value it ships with.

const { parseIni } = require('./ini-file');

function shippedLayout(text) {
  const keys = new Map();
  let comments = [];
  for (const line of parseIni(text).lines) {
    if (line.kind === 'comment' && line.section) {
      comments.push(line.text.trim().replace(/^[;#]\s?/, ''));
    } else if (line.kind === 'entry') {
      keys.set(line.name, { explanation: comments.join(' '), value: line.value });
      comments = [];
    } else {
      comments = [];
    }
  }
  return keys;
}

module.exports = { shippedLayout };
