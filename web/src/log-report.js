'use strict';
// What a log of the plugin tells a player: when the HUD was shown and hidden
// and why (the last verdict or event the log names before each change), the
// game's events, the settings read at each save load and each change of the
// settings file, the start-up lines and a fatal report. Bad files get one sentence that says what they are.

const { parseLine, splitFunction, clockText } = require('./log-lines');
const { reasonOf, eventOf } = require('./log-reasons');
const { logText } = require('./log-text');
const { adviceFor, UNKNOWN_FATAL } = require('./startup-advice');
const { fileReloads } = require('./settings-changes');

const LOG_NAME = 'Lumenveil HUD - Zorvik Plugin by Quennart.log';
const VERSION_LINE = /^\[ZorvikPlugin_Load\] (Lumenveil HUD .*)$/;
// Written by whichever function noticed the change, just before the reading.
const FILE_CHANGED = 'settings file changed, reloading';
const OWN_FUNCTIONS = new Set(['UpdateHUD', 'ReloadINI', 'EnableMenusIfCan', 'UnityInProcess', 'HandleOnPostDataLoad',
  'HandleToggleKeyRelease', 'HandleToggleKeyReleaseLong', 'LoadStaticVariables']);

function emptyReport(sentence) {
  return { ok: false, sentence, notes: [], lineCount: 0, startup: [], fatal: null, settingsReads: [], fileReloads: [], changes: [], events: [], reasons: [], encoding: null };
}

// A line without its line end: CR LF as the plugin writes it, or CR CR LF
// after an editor turned each LF into CR LF once more.
function withoutReturns(raw) {
  let end = raw.length;
  while (end > 0 && raw.charCodeAt(end - 1) === 13) end--;
  return end === raw.length ? raw : raw.slice(0, end);
}

// Per reason: how often it showed the HUD and for how long in all; a shown
// period ends at the next change.
function reasonTotals(changes, end) {
  const totals = new Map();
  changes.forEach((change, index) => {
    if (!change.shown) return;
    const until = index + 1 < changes.length ? changes[index + 1].time : end;
    const entry = totals.get(change.logWord) || { reason: change.reason, logWord: change.logWord, count: 0, totalMs: 0 };
    entry.count++;
    entry.totalMs += until - change.time;
    totals.set(change.logWord, entry);
  });
  return [...totals.values()].sort((a, b) => b.totalMs - a.totalMs || b.count - a.count);
}

function analyseLog(bytes) {
  if (bytes.length === 0) return emptyReport(`The file is empty. The plugin starts its log anew at every game start; open "${LOG_NAME}" after playing.`);
  const { text, encoding, binary } = logText(bytes);
  if (binary) return emptyReport('This is not a text file, so it cannot be a log of Lumenveil HUD.');
  const rawLines = text.split('\n');
  const endsCleanly = rawLines[rawLines.length - 1] === '';
  if (endsCleanly) rawLines.pop();

  const report = emptyReport('');
  report.ok = true;
  report.encoding = encoding;
  let parsedCount = 0;
  let previous = null;
  let version = null;
  let ownLines = 0;
  let lastReason = null;
  let hudShown = null;
  let reading = null;
  let fileChangedAt = null;
  let lastDecision = null;
  let firstTime = null;
  let lastTime = null;

  for (let index = 0; index < rawLines.length; index++) {
    const raw = withoutReturns(rawLines[index]);
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
        // A reading of a changed file counts from the line that says so.
        reading = { time: fileChangedAt ?? line.time, values: [], switched: null, cause: fileChangedAt === null ? 'load' : 'file' };
        report.settingsReads.push(reading);
        fileChangedAt = null;
      }
      const value = /^(\w+)\s+-+>\s+(.*)$/.exec(body);
      if (value) reading.values.push({ key: value[1], value: value[2] });
      const switched = /^logging was requested to be turned (on|off)$/.exec(body);
      if (switched) reading.switched = switched[1];
      continue;
    }
    reading = null;
    if (body === FILE_CHANGED) fileChangedAt = line.time;

    if (fn === 'UpdateHUD' || fn === 'EnableMenusIfCan' || fn === 'HandleToggleKeyRelease' || fn === 'HandleToggleKeyReleaseLong') {
      lastDecision = line.time;
    }
    if (line.level === 'critical') {
      report.fatal = { time: line.time, text: line.message, line };
    } else if (fn === 'ZorvikPlugin_Load' || fn === 'HandleOnPostDataLoad' || !fn ||
      ((line.level === 'error' || line.level === 'warning') && fn !== 'UpdateHUD')) {
      if (report.startup.length < 200) report.startup.push({ time: line.time, level: line.level, text: line.message, advice: adviceFor(body) });
    }

    if (fn === 'ProcessEvent') {
      const event = eventOf(body);
      if (event) report.events.push({ time: line.time, kind: event.kind, label: event.words, logWord: event.logWord });
    } else if ((fn === 'HandleToggleKeyRelease' || fn === 'HandleToggleKeyReleaseLong') && /^(called|exiting) \|/.test(body)) {
      const long = fn === 'HandleToggleKeyReleaseLong';
      const refused = body.startsWith('exiting');
      report.events.push({ time: line.time, kind: 'toggle', label: `the toggle key ${long ? 'held' : 'tapped'}${refused ? ' (too soon, ignored)' : ''}`, logWord: fn });
    }
    const reason = reasonOf(body);
    if (reason) {
      lastReason = { message: line.message, ...reason };
      continue;
    }
    const change = /^result = \[(ENABLE|DISABLE)\]$/.exec(body);
    if (fn === 'EnableMenusIfCan' && change) {
      hudShown = change[1] === 'ENABLE';
      report.changes.push({
        time: line.time,
        shown: hudShown,
        reason: lastReason ? lastReason.words : 'no reason in the log before it',
        logWord: lastReason ? lastReason.logWord : '',
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
    const first = parseLine(withoutReturns(rawLines.find((raw) => parseLine(withoutReturns(raw)))));
    return emptyReport(`This log was written by another plugin: its first line reads "${first.message}". Lumenveil HUD writes "${LOG_NAME}".`);
  }
  report.version = version ? version.text : null;
  report.reasons = reasonTotals(report.changes, lastTime);
  report.fileReloads = fileReloads(report.settingsReads, { fromStart: version !== null && version.index === 0 });
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
  if (report.encoding) {
    notes.push(`This log was saved again as ${report.encoding} (the plugin writes UTF-8, so an editor did it); it is read all the same.`);
  }
  if (report.fatal) {
    report.fatal.advice = adviceFor(report.fatal.text) || UNKNOWN_FATAL;
    const { meaning, todo } = report.fatal.advice;
    notes.push(`The plugin ended the game at ${clockText(report.fatal.time)} with "${report.fatal.text.split('\n')[0].trim()}": ${meaning}. What to do: ${todo}.`);
  }
  const lastRead = report.settingsReads[report.settingsReads.length - 1];
  if (lastRead && lastRead.switched === 'off' && (lastDecision === null || lastDecision < lastRead.time)) {
    notes.push(`This log was written with bLogging off: the settings read at ${clockText(lastRead.time)} turned logging off, and the plugin wrote no decisions after that, so the HUD's changes are not in it. Set bLogging=1, play, and open the new log for a full report.`);
  } else if (report.changes.length === 0 && !report.fatal) {
    notes.push('The log holds no change of the HUD: the game ended before the plugin showed or hid it, or logging was off.');
  }
}

module.exports = { analyseLog, LOG_NAME };
