'use strict';
// What the plugin makes of a settings file: for each of the 26 keys the text
// it reads, the value it stores and why a text is refused; and every line
// it never reads, with the reason.

const { parseIni, findKey, sameName, VALUE_LIMIT } = require('./ini-file');
const { SETTINGS, SECTION } = require('./settings-table');
const { effectiveValue } = require('./value-readers');
const { nearestKey } = require('./nearest-key');

const KEY_NAMES = SETTINGS.map((setting) => setting.key);

function describeLine(line) {
  return `line ${line.number}`;
}

function checkKey(ini, setting) {
  const found = findKey(ini, SECTION, setting.key);
  const result = { setting, occurrences: found.occurrences, read: found.read, text: found.text };
  if (!found.read) {
    Object.assign(result, effectiveValue(setting, ''));
    result.reason = found.occurrences.length
      ? `not read: it lies in a second [${SECTION}] section (${describeLine(found.occurrences[0])}); only the first is read`
      : 'the key is missing';
    return result;
  }
  Object.assign(result, effectiveValue(setting, found.text));
  if (result.reason === 'empty') result.reason = 'the value is empty';
  if (found.read.value.length > VALUE_LIMIT) result.note = `only the first ${VALUE_LIMIT} characters are read`;
  return result;
}

// Lines the plugin never reads, each with why.
function unreadLines(ini, checked) {
  const firstSettings = ini.lines.find((line) => line.kind === 'section' && sameName(line.name, SECTION));
  const readLines = new Set(checked.filter((key) => key.read).map((key) => key.read));
  const findings = [];
  for (const line of ini.lines) {
    if (line.kind !== 'entry' && line.kind !== 'other') continue;
    if (readLines.has(line)) continue;
    const known = KEY_NAMES.find((key) => sameName(key, line.name));
    let why;
    if (!line.section) {
      why = known ? `${known} before any section: it belongs under [${SECTION}]` : 'a line before any section';
    } else if (!sameName(line.section.name, SECTION)) {
      why = known
        ? `${known} in section [${line.section.name}]: the plugin reads only [${SECTION}]`
        : `a line of section [${line.section.name}], which the plugin does not read`;
    } else if (line.section !== firstSettings) {
      why = `a second [${SECTION}] section (from line ${line.section.number}): only the first one is read`;
    } else if (line.kind === 'other') {
      why = known ? `${known} without "=" and a value` : 'no "=" on this line';
    } else if (known) {
      const read = checked.find((key) => key.setting.key === known).read;
      why = `${known} written again: the plugin reads the first one, line ${read.number}`;
    } else {
      const nearest = nearestKey(line.name, KEY_NAMES);
      const likely = nearest.distance <= Math.max(3, Math.floor(line.name.length / 4));
      why = likely
        ? `"${line.name}" is no key of the plugin; did you mean ${nearest.key}?`
        : `"${line.name}" is no key of the plugin`;
      findings.push({ line, why, suggestion: likely ? nearest.key : undefined });
      continue;
    }
    findings.push({ line, why });
  }
  return findings;
}

function checkSettings(text) {
  const ini = parseIni(text);
  const keys = SETTINGS.map((setting) => checkKey(ini, setting));
  return { ini, keys, unread: unreadLines(ini, keys), hasSettingsSection: ini.lines.some((line) => line.kind === 'section' && sameName(line.name, SECTION)) };
}

module.exports = { checkSettings };
