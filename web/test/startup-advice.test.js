'use strict';
// The page's meaning and advice for each fatal message are the README's
// table "When the game will not start", row for row and word for word; each
// message the plugin's sources report as fatal or log as a start-up error
// or warning has its advice.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { repository } = require('./support/build-tree');
const { adviceFor, FATAL } = require('./support/load-page-modules')('startup-advice');

function readmeRows() {
  const readme = fs.readFileSync(path.join(repository, 'README.md'), 'utf8');
  const section = readme.split('\n## When the game will not start\n')[1].split('\n## ')[0];
  return section.split('\n').filter((line) => /^\| "/.test(line)).map((line) => {
    const [begins, meaning, todo] = line.slice(1, -1).split(' | ').map((cell) => cell.trim());
    return { begins: begins.replace(/^"|"$/g, ''), meaning, todo };
  });
}

test('the fatal messages\' meanings and advice are the README\'s table', () => {
  const rows = readmeRows();
  assert.equal(rows.length, 9);
  assert.deepEqual(FATAL, rows);
});

test('every start-up error and warning of the plugin\'s sources has its advice', () => {
  const sources = ['entry/Main.cpp', 'Zorvik/Trampoline.cpp', 'hud/CachedGameObjects.cpp', 'events/SinkRegistration.cpp']
    .map((file) => fs.readFileSync(path.join(repository, 'src', file), 'utf8')).join('\n');
  // The text of each error and warning call, a "{}" of a named constant
  // replaced by the constant's text and other fields by X.
  const constant = (name) => new RegExp(`${name} = "([^"]+)"`).exec(sources)[1];
  const calls = [...sources.matchAll(/(?:log::(?:error|warn)|LOG_ERROR|LOG_WARN|, err,)\(?\s*"([^"]+)"(?:\s*"([^"]+)")?(?:,\s*(\w+))?/g)];
  const messages = calls.map(([, text, more, argument]) => (text === '{}' ? constant(argument) : text + (more || '')).replace(/\{[^}]*\}/g, 'X'));
  assert.ok(messages.length >= 6, JSON.stringify(messages));
  for (const message of messages) assert.ok(adviceFor(message), `no advice for "${message}"`);
});
