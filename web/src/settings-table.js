'use strict';
// The 28 keys of [Settings] in the plugin's reading order: the kind of text
// each is read as, the value it takes when the file gives none that is
// valid (and, where it differs, the one it holds from the game's start until
// the first reading), its range, and the group a player looks for it in.

const GROUPS = [
  { id: 'show', title: 'What shows the HUD' },
  { id: 'delays', title: 'How long it stays' },
  { id: 'thresholds', title: 'Health, oxygen and boost-pack thresholds' },
  { id: 'toggle', title: 'The toggle key' },
  { id: 'menus', title: 'Menus' },
  { id: 'autoAim', title: 'The auto-aim target' },
  { id: 'file', title: 'The settings file' },
  { id: 'log', title: 'The log file' },
];

const boolean = (key, reloadDefault, group) => ({ key, kind: 'boolean', reloadDefault, group });
const digits = (key, reloadDefault, min, max, group) => ({ key, kind: 'digits', reloadDefault, min, max, group });
const flag = (key, group) => ({ key, kind: 'flag', reloadDefault: true, group });
const decimal = (key) => ({ key, kind: 'decimal', reloadDefault: -1, min: 0, max: 100, group: 'thresholds' });
const keyCode = (key, group) => ({ key, kind: 'keyCode', reloadDefault: 0, min: 1, max: 255, group });
const buttonMask = (key, group) => ({ key, kind: 'buttonMask', reloadDefault: 0, min: 0, max: 0xffff, group });
const startingAt = (setting, initial) => ({ ...setting, initial });

const SETTINGS = [
  startingAt(boolean('bLogging', false, 'log'), true),
  boolean('bShowInCombat', true, 'show'),
  boolean('bShowWhileSneaking', true, 'show'),
  boolean('bShowWhileWeaponDrawn', true, 'show'),
  boolean('bShowInSubtitles', true, 'show'),
  boolean('bShowLocationDiscovered', true, 'show'),
  boolean('bShowPlanetTraitDiscovered', true, 'show'),
  boolean('bShowMissionActive', true, 'show'),
  boolean('bShowIfOverencumbered', false, 'show'),
  boolean('bShowIfJumping', false, 'show'),
  boolean('bShowWhenHostilesAreNearby', false, 'show'),
  digits('iKeepHUDShownMS', 2000, 0, 10000, 'delays'),
  digits('iKeepHUDShownLongMS', 7500, 0, 15000, 'delays'),
  decimal('fShowBelowHealthPercent'),
  decimal('fShowBelowOxygenPercent'),
  decimal('fShowBelowBoostPackPercent'),
  flag('iMenuOverriderShipHUDMenu', 'menus'),
  flag('iMenuOverriderHandscannerMenu', 'menus'),
  boolean('bShowInLandVehicle', false, 'show'),
  keyCode('iHUDToggle', 'toggle'),
  buttonMask('iHUDToggleGamepad', 'toggle'),
  digits('iHUDToggleMinRequiredTimeSinceLastTogglePress', 300, 1, 10000, 'toggle'),
  digits('iHUDToggleMinHoldTime', 300, 1, 65536, 'toggle'),
  startingAt(keyCode('iVehicleAimKeyDown', 'show'), 2),
  boolean('bPlayUIFeedbackSounds', true, 'toggle'),
  boolean('bShowIfAutoAimTargetIsNotActivatable', false, 'autoAim'),
  boolean('bShowIfAutoAimTargetIsHarvestedFlora', false, 'autoAim'),
  boolean('bReloadSettingsOnChange', true, 'file'),
];

// The value a key holds before the plugin first reads the file.
const initialValue = (setting) => setting.initial ?? setting.reloadDefault;

const SECTION = 'Settings';

function rangeText(setting) {
  switch (setting.kind) {
    case 'boolean':
      return '1 is on, anything else off';
    case 'flag':
      return '0 or 1';
    case 'keyCode':
      return 'hexadecimal key code 1 to FF';
    case 'buttonMask':
      return 'hexadecimal mask of controller buttons 0 to FFFF; 0 is none';
    case 'decimal':
      return '0 to 100; negative is off';
    default:
      return `${setting.min} to ${setting.max}`;
  }
}

// A stored value as the plugin's log writes it.
function logText(setting, value) {
  if (typeof value === 'boolean') return value ? '1' : '0';
  if (setting.kind === 'decimal') return (Object.is(value, -0) ? '-' : '') + value.toFixed(6);
  return String(value);
}

module.exports = { SETTINGS, GROUPS, SECTION, rangeText, logText, initialValue };
