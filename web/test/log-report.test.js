'use strict';
// The report's reading of a log, on logs written line by line here: which
// changes, which reasons and for how long, which events and settings.

const test = require('node:test');
const assert = require('node:assert/strict');
const { line, start, settingsRead } = require('./support/log-files');
const { analyseLog } = require('./support/load-page-modules')('log-report');

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
  assert.deepEqual(report.changes.map((change) => [change.time - report.changes[0].time, change.shown, change.reason]), [
    [0, true, 'IsWeaponDrawn'],
    [3000, false, 'nothing asked for the HUD'],
    [4000, true, 'location discovered'],
    [11500, false, 'nothing asked for the HUD'],
    [12000, true, 'IsWeaponDrawn'],
  ]);
  // The last period runs to the end of the log.
  assert.deepEqual(report.reasons.map(({ reason, count, totalMs }) => [reason, count, Math.round(totalMs)]), [
    ['IsWeaponDrawn', 2, 3000 + 6985],
    ['location discovered', 1, 7500],
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
    ['save', 'save loaded'],
    ['menu', 'InventoryMenu opened'],
    ['menu', 'InventoryMenu closed'],
    ['subtitle', 'subtitle shown'],
    ['discovery', 'planet trait discovered'],
    ['mission', 'mission active'],
    ['levelup', 'level-up'],
    ['toggle', 'toggle key tapped'],
    ['toggle', 'toggle key held (too soon, ignored)'],
    ['save', 'save loaded'],
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
});
