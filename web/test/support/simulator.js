'use strict';
// A session of the simulated game against the built DLL, in a game folder of
// its own under the build tree: its standard output and the plugin's log.

const fs = require('node:fs');
const path = require('node:path');
const { windowsBuild, runWindows } = require('./build-tree');

const LOG = path.join(windowsBuild, 'wine', 'home', 'My Games', 'Corvane', 'Zorvik', 'Logs', 'Lumenveil HUD - Zorvik Plugin by Quennart.log');

function playSession() {
  const game = path.join(windowsBuild, 'web-sim-game');
  fs.rmSync(game, { recursive: true, force: true });
  fs.mkdirSync(game, { recursive: true });
  const stdout = runWindows('LumenveilSim.exe', ['--fast'], '', { cwd: game, encoding: 'utf8', timeout: 120000 });
  return { stdout, log: fs.readFileSync(LOG) };
}

// The simulator's own record of the HUD's changes, from the timeline it
// prints: lines "  12.345 s  HUD     shown    <- <the log's reason line>"
// (or "hidden"), the reason being the message of the last verdict or event
// line of the log before the change, without its time and source prefix.
function simulatorHudChanges(stdout) {
  const changes = [];
  for (const line of stdout.split(/\r?\n/)) {
    const match = /^\s*(\d+\.\d+) s {2}HUD +(shown|hidden)(?: +<- (.*))?$/.exec(line);
    if (match) changes.push({ seconds: Number(match[1]), shown: match[2] === 'shown', reason: match[3] || '' });
  }
  return changes;
}

module.exports = { playSession, simulatorHudChanges };
