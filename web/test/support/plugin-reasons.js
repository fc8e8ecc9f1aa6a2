'use strict';
// Every reason the plugin's log can give for a change of the HUD, read from
// the plugin's sources as they stand: the decision's verdicts (Show("...")
// and Hide("...") of the rule chain, the literal "result = [show] | ..." and
// "result = [hide] | ..." lines), the event sinks' " --> ..." lines, and the
// menu event for every menu the plugin names, opened and closed. A reason
// added to the plugin shows up here without a change to the tests.

const fs = require('node:fs');
const path = require('node:path');
const { repository } = require('./build-tree');

const source = (file) => fs.readFileSync(path.join(repository, 'src', file), 'utf8');
const all = (text, pattern) => [...text.matchAll(pattern)];

// { message, logWord, outcome } for each verdict; outcome is show or hide.
function verdicts() {
  const decision = source('hud/UpdateHUD.cpp') + source('hud/ToggleKey.cpp');
  const found = new Map();
  const add = (outcome, word) => {
    const message = `result = [${outcome}]${word ? ` | ${word}` : ''}`;
    found.set(message, { message, logWord: word || `[${outcome}]`, outcome });
  };
  for (const [, kind, word] of all(decision, /\b(Show|Hide)\("([^"]+)"/g)) add(kind.toLowerCase(), word);
  for (const [, outcome, word] of all(decision, /"result = \[(show|hide)\](?: \| ([^"{]+))?"/g)) add(outcome, word);
  return [...found.values()];
}

// { message, logWord } for each event line of the sinks.
function events() {
  const sinks = source('events/Events.cpp');
  const plain = all(sinks, /" --> (\w+)"/g).map(([, name]) => name);
  if (!/" --> MenuOpenCloseEvent \[\{\}\] \| abOpening \[\{\}\]"/.test(sinks)) throw new Error('the menu event line of Events.cpp changed its form');
  const menus = new Set(['Events.cpp', 'MenuGating.cpp', 'UpdateHUD.cpp'].flatMap((file) =>
    all(source(file.startsWith('Events') ? `events/${file}` : `hud/${file}`), /"(\w+Menu)"/g).map(([, name]) => name)));
  const menuLines = [...menus].flatMap((menu) => [1, 0].map((opening) => `MenuOpenCloseEvent [${menu}] | abOpening [${opening}]`));
  return [...plain, ...menuLines].map((word) => ({ message: ` --> ${word}`, logWord: word }));
}

module.exports = { verdicts, events };
