'use strict';
// Log files for the report's tests, written line by line in the plugin's
// layout: "[date time.micro] [Zorvik] [level] [file:line] message".

function stamp(milliseconds) {
  const date = new Date(Date.UTC(2026, 11, 6, 21, 0, 0) + milliseconds);
  const pad = (n, width = 2) => String(n).padStart(width, '0');
  const micro = pad(Math.round((milliseconds % 1000) * 1000), 6);
  return `${date.getUTCFullYear()}-${pad(date.getUTCMonth() + 1)}-${pad(date.getUTCDate())} ${pad(date.getUTCHours())}:${pad(date.getUTCMinutes())}:${pad(date.getUTCSeconds())}.${micro}`;
}

function line(milliseconds, source, message, level = 'info') {
  return `[${stamp(milliseconds)}] [Zorvik] [${level}] [${source}] ${message}\r\n`;
}

const start = (at = 0) => line(at, 'Main.cpp:82', '[ZorvikPlugin_Load] Lumenveil HUD - Zorvik Plugin by Quennart v3.5') +
  line(at + 5, 'Main.cpp:74', '[HandleOnPostDataLoad] installation complete');

// The lines of one reading of the settings: [key, value as logged] pairs.
function settingsLines(at, keys) {
  return keys.map(([key, value]) => line(at, 'Settings.cpp:168', `[ReloadINI] ${key}${key === 'bShowInCombat' ? '   --->   ' : ' -> '}${value}`)).join('');
}

function settingsRead(at, logging) {
  const keys = [['bLogging', logging ? 1 : 0], ['bShowInCombat', 1], ['iKeepHUDShownMS', 2000]];
  return line(at, 'Events.cpp:50', '[ProcessEvent]  --> SaveLoadEvent') + settingsLines(at + 1, keys) +
    (logging ? '' : line(at + 2, 'Settings.cpp:173', '[ReloadINI] logging was requested to be turned off'));
}

// The plugin noticed that the settings file changed and read it again;
// `writer` is the function that noticed, whose name prefixes its line.
function fileChangeRead(at, keys, writer = 'UpdateHUD') {
  return line(at, 'SettingsWatch.cpp:41', `[${writer}] settings file changed, reloading`) + settingsLines(at + 1, keys);
}

// A million-line log: a decision line every 15 ms; in every 20 s a weapon
// drawn for 3 s shows the HUD, which is hidden 2 s after it is sheathed; a
// menu opens or closes every 20 s.
function millionLineLog(lines = 1000000) {
  const parts = [start()];
  let count = 2;
  for (let at = 15; count < lines; at += 15) {
    const phase = at % 20000;
    const decision = (message) => {
      parts.push(line(at, 'UpdateHUD.cpp:230', `[UpdateHUD] ${message}`));
      count++;
    };
    if (phase < 15) {
      decision('result = [show] | IsWeaponDrawn');
      parts.push(line(at, 'MenuGating.cpp:105', '[EnableMenusIfCan] result = [ENABLE]'));
      count++;
    } else if (phase < 3000) {
      decision(phase % 30 === 0 ? 'result = [RequestEnable]' : 'result = [show] | IsWeaponDrawn');
    } else if (phase < 3015) {
      decision('result = [hide]');
    } else if (phase >= 5000 && phase < 5015) {
      decision('result = [RequestDisable]');
      parts.push(line(at, 'MenuGating.cpp:108', '[EnableMenusIfCan] result = [DISABLE]'));
      count++;
    } else if (phase >= 10000 && phase < 10015) {
      parts.push(line(at, 'Events.cpp:137', `[ProcessEvent]  --> MenuOpenCloseEvent [InventoryMenu] | abOpening [${Math.floor(at / 20000) % 2}]`));
      count++;
    } else {
      decision(phase < 5000 ? 'result = [exit] | HUDQueuedToDisable' : 'result = [exit] | RecentLastUpdate');
    }
  }
  return Buffer.from(parts.join(''), 'latin1');
}

module.exports = { line, start, settingsRead, settingsLines, fileChangeRead, millionLineLog };
