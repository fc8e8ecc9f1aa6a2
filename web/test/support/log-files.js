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

function settingsRead(at, logging) {
  const keys = [['bLogging', logging ? 1 : 0], ['bShowInCombat', 1], ['iKeepHUDShownMS', 2000]];
  return line(at, 'Events.cpp:50', '[ProcessEvent]  --> SaveLoadEvent') +
    keys.map(([key, value]) => line(at + 1, 'Settings.cpp:168', `[ReloadINI] ${key}${key === 'bShowInCombat' ? '   --->   ' : ' -> '}${value}`)).join('') +
    (logging ? '' : line(at + 2, 'Settings.cpp:173', '[ReloadINI] logging was requested to be turned off'));
}

// A million-line log: a decision line every 15 ms, the HUD shown by a drawn
// weapon for 3 s of every 20 s and hidden again, a menu every minute.
function millionLineLog(lines = 1000000) {
  const parts = [start()];
  let count = 2;
  let at = 10;
  let cycle = 0;
  while (count < lines) {
    const phase = at % 20000;
    let message;
    if (phase < 15 && count % 2 === 0) {
      parts.push(line(at, 'Events.cpp:137', `[ProcessEvent]  --> MenuOpenCloseEvent [InventoryMenu] | abOpening [${cycle++ % 2}]`));
      count++;
    }
    if (phase < 3000) message = phase < 15 ? '[EnableMenusIfCan] result = [ENABLE]' : '[UpdateHUD] result = [show] | IsWeaponDrawn';
    else if (phase < 3015) message = '[EnableMenusIfCan] result = [DISABLE]';
    else message = phase < 3030 ? '[UpdateHUD] result = [hide]' : '[UpdateHUD] result = [exit] | HUDQueuedToDisable';
    parts.push(line(at, 'UpdateHUD.cpp:230', message));
    count++;
    at += 15;
  }
  return Buffer.from(parts.join(''), 'latin1');
}

module.exports = { line, start, settingsRead, millionLineLog };
