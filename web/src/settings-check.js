'use strict';
// What the plugin makes of a settings file, on Windows and under Proton: for
// each of the 26 keys the line it reads, the text it gets and the value it
// stores, and whether Windows' reading is established; every line it never
// reads, with the reason.

const { parseIni, findKey, sameName, trim, valueAsRead, isBlank, isOlderProtonBlank, VALUE_LIMIT } = require('./ini-file');
const { readOnWindows, isCertainBlank } = require('./ini-windows');
const { SETTINGS, SECTION } = require('./settings-table');
const { effectiveValue } = require('./value-readers');
const { nearestKey } = require('./nearest-key');
const { textOf } = require('./setting-values-text');
const { characterName } = require('./unusual-characters');

const KEY_NAMES = SETTINGS.map((setting) => setting.key);

// The text a key's line holds after "=", without the blanks both readings
// drop: what the player sees and edits.
function valueOfLine(line) {
  if (!line || line.kind !== 'entry') return '';
  return trim(line.text.slice(line.text.indexOf('=') + 1), isCertainBlank);
}

// The value the plugin stores under Proton for a value text.
const protonReading = (setting, text, blank) => effectiveValue(setting, valueAsRead(text, blank));

// What Proton 5.0 and before stores when it differs, and the character it
// drops that later Proton keeps.
function olderProtonReading(setting, text, proton) {
  const reading = protonReading(setting, text, isOlderProtonBlank);
  if (textOf(setting, reading.value) === textOf(setting, proton.value)) return null;
  const kept = trim(text, isBlank);
  const dropped = isOlderProtonBlank(kept[0]) ? kept[0] : kept[kept.length - 1];
  return { reading, dropped: `the ${characterName(dropped).replace(/^an? /, '')}` };
}

// The stored values Windows may give: one when established.
function windowsReading(setting, { texts, reasons: valueReasons, unread }, { fileReasons, nothing }) {
  const readings = texts.map((text) => effectiveValue(setting, text));
  const distinct = [...new Map(readings.map((reading) => [textOf(setting, reading.value), reading])).values()];
  const reasons = [...fileReasons, ...valueReasons];
  if (distinct.length > 1) reasons.push('unsettled');
  return { readings: distinct, settled: reasons.length === 0, reasons, nothing, unread };
}

function checkKey(ini, windows, setting, index) {
  const found = findKey(ini, SECTION, setting.key);
  const text = valueOfLine(found.read);
  const proton = protonReading(setting, text);
  const result = { setting, occurrences: found.occurrences, read: found.read, text, proton, olderProton: olderProtonReading(setting, text, proton) };
  result.windows = windowsReading(setting, windows.keys[index], windows);
  if (!found.read) {
    result.reason = found.occurrences.length
      ? `not read: it lies in a second [${SECTION}] section (line ${found.occurrences[0].number}); only the first is read`
      : 'the key is missing';
  } else if (found.read.kind === 'other') {
    result.reason = `line ${found.read.number} names it without "=": the plugin finds that line first and keeps the default`;
  } else if (found.read.value.length > VALUE_LIMIT) {
    result.note = `only the first ${VALUE_LIMIT} characters are read`;
  }
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
      why = read.kind === 'other'
        ? `${known} is hidden by line ${read.number}, which names it without "="`
        : `${known} written again: the plugin reads the first one, line ${read.number}`;
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

// document: { encoding, text } as text-encoding gives it.
function checkSettings(document) {
  const ini = parseIni(document.text);
  const windows = readOnWindows(document.encoding, document.text, KEY_NAMES, SECTION);
  const keys = SETTINGS.map((setting, index) => checkKey(ini, windows, setting, index));
  return {
    ini,
    keys,
    windows,
    unread: unreadLines(ini, keys),
    hasSettingsSection: ini.lines.some((line) => line.kind === 'section' && sameName(line.name, SECTION)),
  };
}

module.exports = { checkSettings, protonReading, valueOfLine };
