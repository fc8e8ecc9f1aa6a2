'use strict';
// The report's reading of a log, on logs written line by line here: which
// changes, which reasons and for how long, which events and settings.

const test = require('node:test');
const assert = require('node:assert/strict');
const { line, start, settingsRead, settingsLines, fileChangeRead } = require('./support/log-files');
const { analyseLog } = require('./support/load-page-modules')('log-report');
const { reloadLines } = require('./support/load-page-modules')('settings-changes');

const analyse = (text) => analyseLog(Buffer.from(text, 'latin1'));
const decision = (at, message) => line(at, 'UpdateHUD.cpp:230', `[UpdateHUD] ${message}`);
const enable = (at) => line(at, 'MenuGating.cpp:105', '[EnableMenusIfCan] result = [ENABLE]');
const disable = (at) => line(at, 'MenuGating.cpp:108', '[EnableMenusIfCan] result = [DISABLE]');
const event = (at, text) => line(at, 'Events.cpp:71', `[ProcessEvent]  --> ${text}`);

test('each reason counts the times it showed the HUD and the time until the next change', () => {
  const log = start() + settingsRead(100, true) +
    decision(1000, 'result = [show] | IsWeaponDrawn') + enable(1015) +
    decision(2000, 'result = [hide]') + disable(4015) +
    event(5000, 'LocationTextEvent') + enable(5015) +
    decision(6000, 'result = [hide]') + disable(12515) +
    decision(13000, 'result = [show] | IsWeaponDrawn') + decision(13015, 'result = [RequestEnable]') + enable(13015) +
    decision(20000, 'result = [exit] | RecentLastUpdate');
  const report = analyse(log);
  assert.deepEqual(report.changes.map((change) => [change.time - report.changes[0].time, change.shown, change.reason, change.logWord]), [
    [0, true, 'a weapon is drawn', 'IsWeaponDrawn'],
    [3000, false, 'nothing asks for the HUD', '[hide]'],
    [4000, true, 'a location was discovered', 'LocationTextEvent'],
    [11500, false, 'nothing asks for the HUD', '[hide]'],
    [12000, true, 'a weapon is drawn', 'IsWeaponDrawn'],
  ]);
  // The last period runs to the end of the log.
  assert.deepEqual(report.reasons.map(({ reason, logWord, count, totalMs }) => [reason, logWord, count, Math.round(totalMs)]), [
    ['a weapon is drawn', 'IsWeaponDrawn', 2, 3000 + 6985],
    ['a location was discovered', 'LocationTextEvent', 1, 7500],
  ]);
  assert.deepEqual(report.notes, []);
});

test('events become marks of their kind, and each save load lists the settings read', () => {
  const log = start() + settingsRead(100, true) +
    event(200, 'MenuOpenCloseEvent [InventoryMenu] | abOpening [1]') + event(300, 'MenuOpenCloseEvent [InventoryMenu] | abOpening [0]') +
    event(400, 'ShowSubtitleEvent') + event(500, 'TraitDiscoveryTextEvent') + event(600, 'HUDNotification_MissionActiveWidgetUpdate') +
    event(700, 'LevelUp_OnWidgetShown') +
    line(800, 'ToggleKey.cpp:28', '[HandleToggleKeyRelease] called | [HeldTime: 100 | MinRequired: 300] | [ElapsedTimeSinceLastTogglePress: 5234 | MinRequired: 300]') +
    line(900, 'ToggleKey.cpp:24', '[HandleToggleKeyReleaseLong] exiting | [HeldTime: 300 | MinRequired: 300] | [ElapsedTimeSinceLastTogglePress: 100 | MinRequired: 300]') +
    settingsRead(1000, false);
  const report = analyse(log);
  assert.deepEqual(report.events.map((mark) => [mark.kind, mark.label]), [
    ['save', 'a save was loaded'],
    ['menu', 'the inventory opened'],
    ['menu', 'the inventory closed'],
    ['subtitle', 'a subtitle appeared'],
    ['discovery', 'a planet trait was discovered'],
    ['mission', 'a mission became active'],
    ['levelup', 'a level-up'],
    ['toggle', 'the toggle key tapped'],
    ['toggle', 'the toggle key held (too soon, ignored)'],
    ['save', 'a save was loaded'],
  ]);
  assert.deepEqual(report.settingsReads.map((read) => [read.values.map((value) => `${value.key}=${value.value}`).join(' '), read.switched]), [
    ['bLogging=1 bShowInCombat=1 iKeepHUDShownMS=2000', null],
    ['bLogging=0 bShowInCombat=1 iKeepHUDShownMS=2000', 'off'],
  ]);
  assert.match(report.notes.join(' '), /written with bLogging off/);
});

test('start-up lines, errors and a fatal report over two lines are kept apart from the decisions', () => {
  const log = start() +
    line(10, 'API.cpp:20', 'Failed to register messaging listener for Zorvik', 'error') +
    decision(20, 'result = [show] | MQ305.IsStageDone(2000)').replace('[info]', '[warning]') +
    line(30, 'ID.cpp:114', 'Address library version mismatch.\r\nExpected 1.14.70.0', 'critical');
  const report = analyse(log);
  assert.deepEqual(report.startup.map((entry) => entry.text), [
    '[ZorvikPlugin_Load] Lumenveil HUD - Zorvik Plugin by Quennart v3.5',
    '[HandleOnPostDataLoad] installation complete',
    'Failed to register messaging listener for Zorvik',
  ]);
  assert.equal(report.fatal.text, 'Address library version mismatch.\nExpected 1.14.70.0');
  assert.equal(report.version, 'Lumenveil HUD - Zorvik Plugin by Quennart v3.5');
  assert.match(report.startup[2].advice.meaning, /plugin stays loaded but never acts/);
  assert.match(report.fatal.advice.meaning, /another game version/);
});

test('a log saved again with other line ends or as UTF-16 reads as the log it was', () => {
  const log = start() + decision(1000, 'result = [show] | IsWeaponDrawn') + enable(1015) + decision(2000, 'result = [hide]') + disable(4015);
  const asWritten = analyse(log);
  const utf16 = (text, order) => {
    const bytes = Buffer.from(text, 'utf16le');
    return order === 'be' ? bytes.swap16() : bytes;
  };
  const cases = [
    ['CR CR LF', Buffer.from(log.replace(/\r\n/g, '\r\r\n'), 'latin1'), null],
    ['LF', Buffer.from(log.replace(/\r\n/g, '\n'), 'latin1'), null],
    ['UTF-8 with a byte-order mark', Buffer.from(`\ufeff${log}`, 'utf8'), null],
    ['UTF-16 LE with a byte-order mark', utf16(`\ufeff${log}`, 'le'), 'UTF-16 little-endian'],
    ['UTF-16 BE with a byte-order mark', utf16(`\ufeff${log}`, 'be'), 'UTF-16 big-endian'],
    ['UTF-16 LE without one', utf16(log, 'le'), 'UTF-16 little-endian without a byte-order mark'],
    ['UTF-16 BE with CR CR LF', utf16(`\ufeff${log.replace(/\r\n/g, '\r\r\n')}`, 'be'), 'UTF-16 big-endian'],
  ];
  for (const [name, bytes, encoding] of cases) {
    const report = analyseLog(bytes);
    assert.equal(report.ok, true, name);
    assert.equal(report.encoding, encoding, name);
    assert.deepEqual(report.changes, asWritten.changes, name);
    assert.deepEqual(report.notes.filter((note) => !note.includes('UTF-16')), [], name);
  }
});

test('a reading of a changed settings file names each setting it changed against the ones in force before it', () => {
  const saveLoad = (at, keys) => event(at, 'SaveLoadEvent') + settingsLines(at + 1, keys);
  // With logging off a reading logs no values, only that it turns logging on.
  const unlogged = (at) => event(at, 'SaveLoadEvent') + line(at + 1, 'Settings.cpp:173', '[ReloadINI] logging was requested to be turned on');
  // What the plugin holds from the game's start until it first reads the file.
  const starting = [['bLogging', 1], ['iKeepHUDShownMS', 2000], ['iVehicleAimKeyDown', 2], ['fShowBelowHealthPercent', '-1.000000']];
  const edited = [['bLogging', 1], ['iKeepHUDShownMS', 5000], ['iVehicleAimKeyDown', 2], ['fShowBelowHealthPercent', '25.000000']];
  const cases = [
    // what, log after its start-up lines, each file reading's lines in the page's words
    ['before any save load, against the values the plugin starts with', start() + fileChangeRead(1000, edited),
      [['settings file changed: iKeepHUDShownMS 2000 -> 5000', 'settings file changed: fShowBelowHealthPercent -1.000000 -> 25.000000']]],
    ['after a save load, against what it read', start() + saveLoad(500, edited) + fileChangeRead(1000, [['bLogging', 1], ['iKeepHUDShownMS', 5000], ['iVehicleAimKeyDown', 0], ['fShowBelowHealthPercent', '25.000000']], 'CheckSettingsFile'),
      [['settings file changed: iVehicleAimKeyDown 2 -> 0']]],
    ['two in a row, each against the one before', start() + saveLoad(500, starting) + fileChangeRead(1000, edited) + fileChangeRead(2000, starting, 'ReloadIfChanged'),
      [['settings file changed: iKeepHUDShownMS 2000 -> 5000', 'settings file changed: fShowBelowHealthPercent -1.000000 -> 25.000000'],
        ['settings file changed: iKeepHUDShownMS 5000 -> 2000', 'settings file changed: fShowBelowHealthPercent 25.000000 -> -1.000000']]],
    ['one that changed nothing the plugin reads', start() + saveLoad(500, edited) + fileChangeRead(1000, edited),
      [['settings file changed: no setting changed']]],
    ['one that turned logging off', start() + saveLoad(500, edited) + fileChangeRead(1000, [['bLogging', 0], ...edited.slice(1)]) +
      line(1002, 'Settings.cpp:173', '[ReloadINI] logging was requested to be turned off'),
      [['settings file changed: bLogging 1 -> 0']]],
    ['after a reading that logged no values', start() + saveLoad(500, edited) + unlogged(800) + fileChangeRead(1000, edited),
      [['settings file changed: the settings in force before it are not in the log']]],
    ['in a log whose beginning is missing', decision(100, 'result = [hide]') + fileChangeRead(1000, edited),
      [['settings file changed: the settings in force before it are not in the log']]],
    ['a save load after a change of the file, which is no change of the file', start() + fileChangeRead(1000, edited) + saveLoad(2000, starting),
      [['settings file changed: iKeepHUDShownMS 2000 -> 5000', 'settings file changed: fShowBelowHealthPercent -1.000000 -> 25.000000']]],
  ];
  for (const [what, log, expected] of cases) {
    const report = analyse(log);
    assert.deepEqual(report.fileReloads.map((reload) => reloadLines(reload)), expected, what);
    assert.deepEqual(report.fileReloads.map((reload) => report.settingsReads[reload.readIndex].cause), expected.map(() => 'file'), what);
    assert.equal(report.settingsReads.filter((read) => read.cause === 'file').length, expected.length, what);
  }
});
