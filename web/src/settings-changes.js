'use strict';
// What each reading of the settings file after it changed altered: every
// value it logged against the one in force before it, that is the value the
// reading before it logged or, before the first reading, the value the
// plugin starts with.

const { SETTINGS, logText, initialValue } = require('./settings-table');

const STARTING = SETTINGS.map((setting) => ({ key: setting.key, value: logText(setting, initialValue(setting)) }));

function changedSettings(before, after) {
  const old = new Map(before.map((entry) => [entry.key, entry.value]));
  return after.filter((entry) => old.has(entry.key) && old.get(entry.key) !== entry.value)
    .map((entry) => ({ key: entry.key, from: old.get(entry.key), to: entry.value }));
}

// reads: the log's readings in order, each { time, values, cause };
// fromStart: the log begins at the game's start, so nothing was read before
// its first reading. A reading after one that logged no values (logging was
// off then) cannot tell what it changed.
function fileReloads(reads, { fromStart }) {
  return reads.flatMap((read, index) => {
    if (read.cause !== 'file') return [];
    const before = index > 0 ? reads[index - 1].values : fromStart ? STARTING : [];
    const known = before.length > 0 && read.values.length > 0;
    return [{ time: read.time, readIndex: index, known, changes: known ? changedSettings(before, read.values) : [] }];
  });
}

// "settings file changed: iKeepHUDShownMS 2000 -> 5000", a line for each
// setting it changed.
function reloadLines(reload) {
  if (!reload.known) return ['settings file changed: the settings in force before it are not in the log'];
  if (reload.changes.length === 0) return ['settings file changed: no setting changed'];
  return reload.changes.map((change) => `settings file changed: ${change.key} ${change.from} -> ${change.to}`);
}

module.exports = { fileReloads, reloadLines };
