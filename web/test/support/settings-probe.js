'use strict';
// Both readings of the same inputs in one format: the stored values of the
// keys the probe prints, tab-separated, booleans 0 or 1, integers in
// decimal, floats as f and the hexadecimal digits of their bits.

const fs = require('node:fs');
const path = require('node:path');
const load = require('./load-page-modules');
const { runWindows, runNative, repository } = require('./build-tree');

const PAGE_SETTINGS = load('settings-table').SETTINGS;
const { effectiveValue } = load('value-readers');
const { checkSettings } = load('settings-check');
const { readFileText } = load('text-encoding');
const { bitsOf } = load('float32');

// The probe prints the keys of its own list, in its order: the keys
// compared are those, each read by the page as the page reads it. A key the
// probe prints and the page does not know fails every comparison; a key the
// page knows and the probe does not print is compared once the probe lists it.
function probedKeys() {
  const source = fs.readFileSync(path.join(repository, 'tools', 'settingsprobe', 'SettingsProbe.cpp'), 'utf8');
  // A row is PROBED(key), or a ProbedKey{"key", ...} of its own for a key
  // the macro cannot read.
  const names = [...source.matchAll(/^\s*(?:PROBED\((\w+)\)|ProbedKey\{"(\w+)",)/gm)].map((match) => match[1] ?? match[2]);
  const unknown = names.filter((name) => !PAGE_SETTINGS.some((setting) => setting.key === name));
  if (unknown.length) throw new Error(`the settings probe prints keys the page does not read: ${unknown.join(', ')}`);
  return names.map((name) => PAGE_SETTINGS.find((setting) => setting.key === name));
}

// The keys the plugin reads: bLogging, and the rows of its key table.
function pluginKeyNames() {
  const source = fs.readFileSync(path.join(repository, 'src', 'settings', 'Settings.cpp'), 'utf8');
  const table = /kSettingKeys = std::to_array<SettingKey>\(\{([\s\S]*?)\}\);/.exec(source);
  if (!table) throw new Error('the key table kSettingKeys was not found in src/settings/Settings.cpp');
  return ['bLogging', ...[...table[1].matchAll(/^\s*\{"(\w+)",/gm)].map((match) => match[1])];
}

const SETTINGS = probedKeys();
const UNPROBED = PAGE_SETTINGS.filter((setting) => !SETTINGS.includes(setting));

function storedText(setting, value) {
  if (typeof value === 'boolean') return value ? '1' : '0';
  if (setting.kind === 'decimal') return `f${bitsOf(value).toString(16).toUpperCase().padStart(8, '0')}`;
  return String(value);
}

// records: arrays of value texts, one per probed key. The page's stored values, one line per record.
function pageReadsValues(records) {
  return records.map((texts) => SETTINGS.map((setting, index) => storedText(setting, effectiveValue(setting, texts[index]).value)).join('\t'));
}

function pageReadsIniFiles(files) {
  return files.map((bytes) => {
    const keys = checkSettings(readFileText(bytes)).keys;
    return SETTINGS.map((setting) => storedText(setting, keys.find((key) => key.setting === setting).proton.value)).join('\t');
  });
}

function hex(text) {
  return Buffer.from(text, 'latin1').toString('hex');
}

function valuesInput(records) {
  return records.map((texts) => texts.map(hex).join('\t')).join('\n') + '\n';
}

// A probe built before its list changed prints another number of values.
function lines(output) {
  const found = output.split('\n').filter((line, index, all) => line !== '' || index < all.length - 1).map((line) => line.replace(/\r$/, ''));
  const stale = found.find((line) => line.split('\t').length !== SETTINGS.length);
  if (stale !== undefined) {
    throw new Error(`the settings probe printed ${stale.split('\t').length} values where its list names ${SETTINGS.length}: rebuild settingsprobe`);
  }
  return found;
}

const pluginReadsValuesOnWindows = (records) => lines(runWindows('settingsprobe.exe', ['values'], valuesInput(records)));
const pluginReadsValuesNatively = (records) => lines(runNative('settingsprobe', ['values'], valuesInput(records)));
const pluginReadsIniFiles = (listing, folder) => lines(runWindows('settingsprobe.exe', ['ini'], listing, { cwd: folder }));

module.exports = { storedText, pageReadsValues, pageReadsIniFiles, pluginReadsValuesOnWindows, pluginReadsValuesNatively, pluginReadsIniFiles, pluginKeyNames, SETTINGS, UNPROBED };
