'use strict';
// What a log of the plugin tells a player: when the HUD was shown and hidden
// and why (the last verdict or event the log names before each change), the
// game's events, the settings read at each save load, the start-up lines
// and a fatal report. Bad files get one sentence that says what they are.

const { parseLine, splitFunction, clockText } = require('./log-lines');

const LOG_NAME = 'Lumenveil HUD - Zorvik Plugin by Quennart.log';
const VERSION_LINE = /^\[ZorvikPlugin_Load\] (Lumenveil HUD .*)$/;
const OWN_FUNCTIONS = new Set(['UpdateHUD', 'ReloadINI', 'EnableMenusIfCan', 'UnityInProcess', 'HandleOnPostDataLoad',
  'HandleToggleKeyRelease', 'HandleToggleKeyReleaseLong', 'LoadStaticVariables']);

const EVENT_KINDS = {
  SaveLoadEvent: ['save', 'save loaded'],
  LocationTextEvent: ['discovery', 'location discovered'],
  TraitDiscoveryTextEvent: ['discovery', 'planet trait discovered'],
  HUDNotification_MissionActiveWidgetUpdate: ['mission', 'mission active'],
  LevelUp_OnWidgetShown: ['levelup', 'level-up'],
  ShowSubtitleEvent: ['subtitle', 'subtitle shown'],
  HideSubtitleEvent: ['subtitle', 'subtitle hidden'],
};

// The event a sink's line names: [kind, label], or null.
function eventOf(text) {
  const match = /^ --> (\w+)(?: \[(.*)\] \| abOpening \[(\d)\])?$/.exec(text);
  if (!match) return null;
  if (match[1] === 'MenuOpenCloseEvent') return ['menu', `${match[2]} ${match[3] === '1' ? 'opened' : 'closed'}`];
  return EVENT_KINDS[match[1]] || ['event', match[1]];
}

// A reason as the player reads it, from the line that gave it.
function reasonLabel(fn, text) {
  let match = /^result = \[(show|hide)\](?: \| (.*))?$/.exec(text);
  if (match) return match[2] || (match[1] === 'hide' ? 'nothing asked for the HUD' : 'show');
  const event = eventOf(text);
  if (event) return event[1];
  return `${fn}: ${text}`;
}

function givesReason(text) {
  return /^result = \[(show|hide)\]/.test(text) || text.startsWith(' --> ');
}

function isBinary(bytes) {
  const sample = bytes.subarray(0, 65536);
  let control = 0;
  for (const byte of sample) {
    if (byte === 0) return true;
    if (byte < 0x20 && byte !== 0x09 && byte !== 0x0a && byte !== 0x0d) control++;
  }
  return control > sample.length / 100;
}

function emptyReport(sentence) {
  return { ok: false, sentence, notes: [], lineCount: 0, startup: [], fatal: null, settingsReads: [], changes: [], events: [], reasons: [] };
}

// Per reason: how often it showed the HUD and for how long in all; a shown
// period ends at the next change.
function reasonTotals(changes, end) {
  const totals = new Map();
  changes.forEach((change, index) => {
    if (!change.shown) return;
    const until = index + 1 < changes.length ? changes[index + 1].time : end;
    const entry = totals.get(change.reason) || { reason: change.reason, count: 0, totalMs: 0 };
    entry.count++;
    entry.totalMs += until - change.time;
    totals.set(change.reason, entry);
  });
  return [...totals.values()].sort((a, b) => b.totalMs - a.totalMs || b.count - a.count);
}

function analyseLog(bytes) {
  if (bytes.length === 0) return emptyReport(`The file is empty. The plugin starts its log anew at every game start; open "${LOG_NAME}" after playing.`);
  if (isBinary(bytes)) return emptyReport('This is not a text file, so it cannot be a log of Lumenveil HUD.');
  const text = new TextDecoder('utf-8').decode(bytes);
  const rawLines = text.split('\n');
  const endsCleanly = rawLines[rawLines.length - 1] === '';
  if (endsCleanly) rawLines.pop();

  const report = emptyReport('');
  report.ok = true;
  let parsedCount = 0;
  let previous = null;
  let version = null;
  let ownLines = 0;
  let lastReason = null;
  let hudShown = null;
  let reading = null;
  let lastDecision = null;
  let firstTime = null;
  let lastTime = null;

  for (let index = 0; index < rawLines.length; index++) {
    const raw = rawLines[index].endsWith('\r') ? rawLines[index].slice(0, -1) : rawLines[index];
    const line = parseLine(raw);
    if (!line) {
      // A message that goes on over several lines (a fatal report's path).
      if (previous && raw !== '') {
        previous.message += `\n${raw}`;
        if (report.fatal && report.fatal.line === previous) report.fatal.text = previous.message;
      }
      continue;
    }
    parsedCount++;
    previous = line;
    if (firstTime === null) firstTime = line.time;
    lastTime = line.time;
    const { function: fn, text: body } = splitFunction(line.message);
    if (fn && OWN_FUNCTIONS.has(fn)) ownLines++;
    const versionMatch = VERSION_LINE.exec(line.message);
    if (versionMatch && version === null) version = { text: versionMatch[1], index };

    if (fn === 'ReloadINI') {
      if (!reading) {
        reading = { time: line.time, values: [], switched: null };
        report.settingsReads.push(reading);
      }
      const value = /^(\w+)\s+-+>\s+(.*)$/.exec(body);
      if (value) reading.values.push({ key: value[1], value: value[2] });
      const switched = /^logging was requested to be turned (on|off)$/.exec(body);
      if (switched) reading.switched = switched[1];
      continue;
    }
    reading = null;

    if (fn === 'UpdateHUD' || fn === 'EnableMenusIfCan' || fn === 'HandleToggleKeyRelease' || fn === 'HandleToggleKeyReleaseLong') {
      lastDecision = line.time;
    }
    if (line.level === 'critical') {
      report.fatal = { time: line.time, text: line.message, line };
    } else if (fn === 'ZorvikPlugin_Load' || fn === 'HandleOnPostDataLoad' || !fn ||
      ((line.level === 'error' || line.level === 'warning') && fn !== 'UpdateHUD')) {
      if (report.startup.length < 200) report.startup.push({ time: line.time, level: line.level, text: line.message });
    }

    if (fn === 'ProcessEvent') {
      const event = eventOf(body);
      if (event) report.events.push({ time: line.time, kind: event[0], label: event[1] });
    } else if ((fn === 'HandleToggleKeyRelease' || fn === 'HandleToggleKeyReleaseLong') && /^(called|exiting) \|/.test(body)) {
      const long = fn === 'HandleToggleKeyReleaseLong';
      const refused = body.startsWith('exiting');
      report.events.push({ time: line.time, kind: 'toggle', label: `toggle key ${long ? 'held' : 'tapped'}${refused ? ' (too soon, ignored)' : ''}` });
    }
    if (givesReason(body)) {
      lastReason = { message: line.message, label: reasonLabel(fn, body) };
      continue;
    }
    const change = /^result = \[(ENABLE|DISABLE)\]$/.exec(body);
    if (fn === 'EnableMenusIfCan' && change) {
      hudShown = change[1] === 'ENABLE';
      report.changes.push({
        time: line.time,
        shown: hudShown,
        reason: lastReason ? lastReason.label : 'no reason in the log before it',
        reasonMessage: lastReason ? lastReason.message : '',
      });
    }
  }

  report.lineCount = parsedCount;
  report.start = firstTime;
  report.end = lastTime;
  if (parsedCount === 0) {
    return emptyReport('This is not a log of Lumenveil HUD: none of its lines has the layout of a plugin log ("[date time] [Zorvik] [info] [file:line] message").');
  }
  if (version === null && ownLines === 0 && !report.fatal) {
    const first = parseLine(rawLines.find((raw) => parseLine(raw.replace(/\r$/, ''))).replace(/\r$/, ''));
    return emptyReport(`This log was written by another plugin: its first line reads "${first.message}". Lumenveil HUD writes "${LOG_NAME}".`);
  }
  report.version = version ? version.text : null;
  report.reasons = reasonTotals(report.changes, lastTime);
  addNotes(report, { version, endsCleanly, lastDecision });
  return report;
}

function addNotes(report, { version, endsCleanly, lastDecision }) {
  const notes = report.notes;
  if (version === null || version.index > 0) {
    notes.push('The log\'s beginning is missing (its first line is not the plugin\'s start-up line): the report covers what is left.');
  }
  if (!endsCleanly) {
    notes.push(`The log ends in the middle of a line: it was cut short, or copied while the game was writing it. The report covers it up to ${clockText(report.end)}.`);
  }
  if (report.fatal) {
    notes.push(`The plugin ended the game at ${clockText(report.fatal.time)}: ${report.fatal.text.split('\n')[0]}`);
  }
  const lastRead = report.settingsReads[report.settingsReads.length - 1];
  if (lastRead && lastRead.switched === 'off' && (lastDecision === null || lastDecision < lastRead.time)) {
    notes.push(`This log was written with bLogging off: the settings read at ${clockText(lastRead.time)} turned logging off, and the plugin wrote no decisions after that, so the HUD's changes are not in it. Set bLogging=1, play, and open the new log for a full report.`);
  } else if (report.changes.length === 0 && !report.fatal) {
    notes.push('The log holds no change of the HUD: the game ended before the plugin showed or hid it, or logging was off.');
  }
}

module.exports = { analyseLog, reasonLabel, LOG_NAME };
