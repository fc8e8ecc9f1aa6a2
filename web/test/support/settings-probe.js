'use strict';
// Both readings of the same inputs in one format: the 26 stored values,
// tab-separated, booleans 0 or 1, integers in decimal, floats as f and the
// hexadecimal digits of their bits.

const load = require('./load-page-modules');
const { runWindows, runNative } = require('./build-tree');

const { SETTINGS } = load('settings-table');
const { effectiveValue } = load('value-readers');
const { checkSettings } = load('settings-check');
const { readFileText } = load('text-encoding');
const { bitsOf } = load('float32');

function storedText(setting, value) {
  if (typeof value === 'boolean') return value ? '1' : '0';
  if (setting.kind === 'decimal') return `f${bitsOf(value).toString(16).toUpperCase().padStart(8, '0')}`;
  return String(value);
}

// records: arrays of 26 value texts. The page's stored values, one line per record.
function pageReadsValues(records) {
  return records.map((texts) => SETTINGS.map((setting, index) => storedText(setting, effectiveValue(setting, texts[index]).value)).join('\t'));
}

function pageReadsIniFiles(files) {
  return files.map((bytes) => checkSettings(readFileText(bytes)).keys.map((key) => storedText(key.setting, key.proton.value)).join('\t'));
}

function hex(text) {
  return Buffer.from(text, 'latin1').toString('hex');
}

function valuesInput(records) {
  return records.map((texts) => texts.map(hex).join('\t')).join('\n') + '\n';
}

function lines(output) {
  return output.split('\n').filter((line, index, all) => line !== '' || index < all.length - 1).map((line) => line.replace(/\r$/, ''));
}

const pluginReadsValuesOnWindows = (records) => lines(runWindows('settingsprobe.exe', ['values'], valuesInput(records)));
const pluginReadsValuesNatively = (records) => lines(runNative('settingsprobe', ['values'], valuesInput(records)));
const pluginReadsIniFiles = (listing, folder) => lines(runWindows('settingsprobe.exe', ['ini'], listing, { cwd: folder }));

module.exports = { storedText, pageReadsValues, pageReadsIniFiles, pluginReadsValuesOnWindows, pluginReadsValuesNatively, pluginReadsIniFiles, SETTINGS };
