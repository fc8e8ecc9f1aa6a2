'use strict';
// What the page says of one key: the value the plugin uses on Windows and
// under Proton, in a sentence, and whether that is a problem. When the two
// differ, or Windows' reading is not established, both are said and the
// row is marked.

const { valueInWords } = require('./setting-values-text');

const PROBLEMS = new Set(['refused', 'misread', 'warning', 'differs', 'unsettled']);

// The sentence of one reading: [kind, text].
// missing: the file does not give the key; unread: the reading finds no
// line for it (a header it does not take, a second section).
function readingLines(setting, reading, { missing, unread, hiddenBy }) {
  const uses = (value) => valueInWords(setting, value);
  if (hiddenBy) return ['refused', `Line ${hiddenBy} names it without "=": the plugin finds that line first and uses the default ${uses(reading.value)}.`];
  if (missing || unread) return ['missing', `Not read from your file: the plugin uses the default ${uses(reading.value)}.${missing ? ' Saving writes it.' : ''}`];
  if (reading.defaulted && reading.reason === 'empty') return ['refused', `Empty value: the plugin uses the default ${uses(reading.value)}.`];
  if (reading.defaulted && reading.intended) return ['ok', `The plugin uses ${uses(reading.value)}: ${reading.reason}.`];
  if (reading.defaulted) return ['refused', `Refused: ${reading.reason}. The plugin uses the default ${uses(reading.value)}.`];
  if (reading.misread) return ['misread', `Read as ${uses(reading.value)}: ${reading.misread}; write 1 for on.`];
  if (reading.warning) return ['warning', `The plugin uses ${uses(reading.value)}, but ${reading.warning}.`];
  return ['ok', `The plugin uses ${uses(reading.value)}.`];
}

const REASONS = {
  nul: 'the file holds a NUL byte',
  'mixed-endings': 'the file mixes line endings',
  long: 'no source says how it cuts a value this long',
  equals: 'no source says how it reads a "=" inside a value',
};

// Proton before Wine 5.6 took Unicode spaces for blanks: say what it uses
// when that is not what current Proton uses.
function olderProtonText(key) {
  if (!key.olderProton) return '';
  const { dropped, reading } = key.olderProton;
  return ` Older Proton (5.0 and before) drops ${dropped} and uses ${valueInWords(key.setting, reading.value)}.`;
}

function unsettledWhy(windows, problemLines) {
  const reasons = windows.reasons.filter((reason) => reason !== 'unsettled').map((reason) => REASONS[reason]);
  if (windows.reasons.includes('unsettled')) {
    reasons.push(problemLines.length ? `see line ${problemLines.join(', ')}` : 'no source says how it reads this line');
  }
  return reasons.join('; ');
}

// key: one of checkSettings().keys; missing: the file does not give it and
// the player has not written it; problemLines: lines of its problems.
function verdictOf(key, { missing, hiddenBy = null, problemLines = [] }) {
  const { setting, proton, windows } = key;
  const [kind, protonText] = readingLines(setting, proton, { missing, hiddenBy });
  const text = protonText + olderProtonText(key);
  const same = (reading) => valueInWords(setting, reading.value) === valueInWords(setting, proton.value);
  if (windows.nothing) {
    return { kind: 'differs', value: setting.reloadDefault,
      text: `On Windows the plugin reads nothing of a UTF-16 big-endian file and uses the default ${valueInWords(setting, setting.reloadDefault)}. Under Proton: ${text}` };
  }
  if (!windows.settled) {
    const possible = windows.readings.length > 1 && windows.readings.length <= 3
      ? ` (it uses ${windows.readings.map((reading) => valueInWords(setting, reading.value)).join(' or ')})` : '';
    return { kind: 'unsettled', value: proton.value,
      text: `Under Proton: ${text} On Windows it is not established which value the plugin uses${possible}: ${unsettledWhy(windows, problemLines)}.` };
  }
  const onWindows = windows.readings[0];
  if (!same(onWindows)) {
    const [, windowsText] = readingLines(setting, onWindows, { unread: windows.unread });
    return { kind: 'differs', value: onWindows.value, text: `On Windows: ${windowsText} Under Proton: ${text}` };
  }
  return { kind, value: proton.value, text };
}

const isProblemKind = (kind) => PROBLEMS.has(kind);

module.exports = { verdictOf, isProblemKind };
