'use strict';
// A session of the simulated game against the built DLL, in a game folder of
// its own under the build tree: its standard output and the plugin's log.

const fs = require('node:fs');
const path = require('node:path');
const { windowsBuild, pageWine, runWindows } = require('./build-tree');

const LOG = path.join(pageWine, 'home', 'My Games', 'Corvane', 'Zorvik', 'Logs', 'Lumenveil HUD - Zorvik Plugin by Quennart.log');

function playSession() {
  const game = path.join(windowsBuild, 'web-sim-game');
  fs.rmSync(game, { recursive: true, force: true });
  fs.mkdirSync(game, { recursive: true });
  const stdout = runWindows('LumenveilSim.exe', ['--fast'], '', { cwd: game, encoding: 'utf8', timeout: 120000 });
  const record = fs.readFileSync(path.join(game, 'hud-changes.tsv'), 'utf8');
  return { stdout, record, log: fs.readFileSync(LOG) };
}

// The simulator's own record of the HUD's changes: hud-changes.tsv gives the
// moment the game saw each change (the log's local time format) and whether
// the HUD was shown; the timeline it prints gives, for each change in the
// same order, the log line the plugin named as its reason:
// "  12.345 s  HUD     shown    weapon drawn   <- plugin: [UpdateHUD] ...".
function simulatorHudChanges(stdout, record) {
  const reasons = [];
  for (const line of stdout.split(/\r?\n/)) {
    const match = /^\s*\d+\.\d+ s {2}HUD +(?:shown|hidden)\b.*?(?:<- plugin: (.*))?$/.exec(line);
    if (match) reasons.push(match[1] || '');
  }
  const rows = record.split(/\r?\n/).slice(1).filter((row) => row !== '');
  if (rows.length !== reasons.length) {
    throw new Error(`the record holds ${rows.length} changes, the timeline ${reasons.length}`);
  }
  return rows.map((row, index) => {
    const [time, hud] = row.split('\t');
    const clock = time.split(' ')[1];
    const seconds = clock.split(':').reduce((total, part) => total * 60 + Number(part), 0);
    return { seconds, shown: hud === 'shown', reason: reasons[index] };
  });
}

module.exports = { playSession, simulatorHudChanges };
