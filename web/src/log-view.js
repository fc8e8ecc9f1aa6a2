'use strict';
// The log report view: a sentence for a file that is no usable log, else the
// start-up lines and a fatal report with what they mean and what to do, the
// timeline, the time each reason kept the HUD shown, every change of the
// HUD, and the settings read at each save load or change of the settings
// file, with what a change altered. The sections go into the
// page one task at a time, so a long log's report never holds the page.

const { element, replaceChildren } = require('./dom');
const { clockText, durationText, countText } = require('./log-lines');
const { createTimeline } = require('./timeline-view');
const { createVirtualTable } = require('./virtual-table');
const { runInTurns } = require('./page-turns');
const { reloadLines } = require('./settings-changes');

const counted = (count, noun) => `${countText(count)} ${noun}${count === 1 ? '' : 's'}`;

function sentence(text, kind = 'sentence') {
  return element('p', { class: kind, role: 'status' }, withCode(text));
}

// Text whose `backquoted` parts are file and folder names.
function withCode(text) {
  return text.split('`').map((part, index) => (index % 2 ? element('code', {}, part) : part));
}

// A reason in the player's words with the log's own word beside it.
function reasonCell(words, logWord) {
  return element('td', { class: 'reason' }, element('span', { class: 'words' }, words), logWord ? [' ', element('span', { class: 'log-word' }, logWord)] : null);
}

function adviceList(advice) {
  return element('dl', { class: 'advice' },
    element('dt', {}, 'What it means'), element('dd', {}, withCode(advice.meaning)),
    element('dt', {}, 'What to do'), element('dd', {}, withCode(advice.todo)));
}

function startupSection(report) {
  const lines = report.startup.map((line) => element('li', { class: `level-${line.level}` },
    element('span', { class: 'time' }, clockText(line.time)), ` ${line.text}`,
    line.advice ? adviceList(line.advice) : null));
  return element('section', { id: 'log-startup', 'aria-labelledby': 'log-startup-title' },
    element('h2', { id: 'log-startup-title' }, 'Start-up and installation'),
    report.version ? element('p', {}, `Plugin: ${report.version}`) : null,
    lines.length ? element('ul', { class: 'lines' }, lines) : element('p', {}, 'No start-up lines.'),
    report.fatal ? element('div', { class: 'fatal', id: 'log-fatal' },
      element('strong', {}, `The plugin ended the game at ${clockText(report.fatal.time)}. Its last line: `),
      element('pre', {}, report.fatal.text),
      adviceList(report.fatal.advice)) : null);
}

// The section, and the drawing of the timeline once the section is laid out.
function timelineSection(report) {
  if (report.changes.length === 0 && report.events.length === 0 && report.fileReloads.length === 0) return { section: null, draw: () => {} };
  const canvas = element('canvas', { id: 'timeline', tabindex: '0', role: 'img',
    'aria-label': 'Timeline of the HUD and the game\'s events. Left and right arrows step through the periods of the HUD; plus and minus zoom.',
    'aria-describedby': 'timeline-tip' });
  const tip = element('p', { id: 'timeline-tip', class: 'timeline-tip', role: 'status', hidden: true });
  const buttons = element('div', { class: 'buttons' });
  const section = element('section', { id: 'log-timeline', 'aria-labelledby': 'log-timeline-title' },
    element('h2', { id: 'log-timeline-title' }, 'Timeline'),
    element('p', { class: 'hint' }, 'Green: the HUD shown; pale striped green: shown by the game, before the plugin\'s first change. ' +
      'Point at the HUD\'s band for a period\'s reason, start and length, at a mark of the settings file for what its change altered. ' +
      'Wheel or plus and minus to zoom, drag to pan.'),
    buttons, element('div', { class: 'timeline-frame' }, canvas, tip));
  function draw() {
    const timeline = createTimeline(canvas, report, tip);
    buttons.append(
      element('button', { type: 'button', onclick: timeline.zoomIn }, 'Zoom in'),
      element('button', { type: 'button', onclick: timeline.zoomOut }, 'Zoom out'),
      element('button', { type: 'button', onclick: timeline.showAll }, 'Whole log'));
    window.addEventListener('resize', timeline.draw);
  }
  return { section, draw };
}

function reasonsSection(report) {
  if (report.reasons.length === 0) return null;
  return element('section', { id: 'log-reasons', 'aria-labelledby': 'log-reasons-title' },
    element('h2', { id: 'log-reasons-title' }, 'What showed the HUD'),
    element('table', {},
      element('thead', {}, element('tr', {}, element('th', { scope: 'col' }, 'Reason'), element('th', { scope: 'col' }, 'Times'), element('th', { scope: 'col' }, 'Shown in all'))),
      element('tbody', {}, report.reasons.map((entry) => element('tr', { dataset: { reason: entry.logWord } },
        reasonCell(entry.reason, entry.logWord), element('td', {}, String(entry.count)), element('td', {}, durationText(entry.totalMs)))))),
    element('p', { class: 'summary-line' }, report.reasons.map((entry) => `${entry.reason}: ${entry.count} time${entry.count === 1 ? '' : 's'}, ${durationText(entry.totalMs)}`).join('; ')));
}

function changesSection(report) {
  const changes = report.changes;
  if (changes.length === 0) return null;
  const until = (index) => (index + 1 < changes.length ? changes[index + 1].time : report.end);
  const table = createVirtualTable({
    label: 'Changes of the HUD',
    className: 'changes',
    columns: ['Time', 'HUD', 'For', 'Reason'],
    rowCount: changes.length,
    rowAt: (index) => {
      const change = changes[index];
      return element('tr', { class: 'change', dataset: { shown: change.shown ? '1' : '0', reasonMessage: change.reasonMessage } },
        element('td', {}, clockText(change.time)), element('td', {}, change.shown ? 'shown' : 'hidden'),
        element('td', {}, durationText(until(index) - change.time)), reasonCell(change.reason, change.logWord));
    },
  });
  return element('section', { id: 'log-changes', 'aria-labelledby': 'log-changes-title' },
    element('h2', { id: 'log-changes-title' }, `Changes of the HUD (${countText(changes.length)})`),
    table);
}

// A reading's values; those a change of the file altered say what they were.
function settingsTable(read, reload) {
  const was = new Map(reload ? reload.changes.map((change) => [change.key, change.from]) : []);
  return element('table', { class: 'settings-read' }, element('tbody', {}, read.values.map((value) =>
    element('tr', { class: was.has(value.key) ? 'changed' : null },
      element('td', {}, element('code', {}, value.key)),
      element('td', {}, value.value, was.has(value.key) ? ` (was ${was.get(value.key)})` : null)))));
}

// "21:00:05.000: the settings file changed (1 setting changed); 28 values".
function readingSummary(read, reload) {
  const cause = reload
    ? `the settings file changed (${reload.known ? `${counted(reload.changes.length, 'setting')} changed` : 'what changed is not in the log'})`
    : 'a save was loaded';
  const values = read.values.length ? `${read.values.length} values` : 'values not logged (logging was off)';
  return `${clockText(read.time)}: ${cause}; ${values}${read.switched ? `, logging turned ${read.switched}` : ''}`;
}

// Each reading's values, the changes of the file that led to one; a table
// is built when its entry is opened, so a log of many loads costs the page
// only the last one's.
function settingsReadsSection(report) {
  if (report.settingsReads.length === 0) return null;
  const last = report.settingsReads.length - 1;
  const reloads = new Map(report.fileReloads.map((reload) => [reload.readIndex, reload]));
  return element('section', { id: 'log-settings', 'aria-labelledby': 'log-settings-title' },
    element('h2', { id: 'log-settings-title' }, 'Settings read at each save load and each change of the settings file'),
    report.settingsReads.map((read, index) => {
      const reload = reloads.get(index);
      const details = element('details', { open: index === last, class: reload ? 'file-reload' : null },
        element('summary', {}, readingSummary(read, reload)),
        reload ? element('ul', { class: 'reload-changes' }, reloadLines(reload).map((text) => element('li', {}, text))) : null,
        index === last && read.values.length ? settingsTable(read, reload) : null);
      if (index !== last && read.values.length) {
        details.addEventListener('toggle', () => {
          if (details.open && !details.querySelector('table')) details.append(settingsTable(read, reload));
        });
      }
      return details;
    }));
}

// Shows the report section by section; the promise settles when the last
// is in the page, or when `isCurrent` says another file took its place.
async function showLogReport(container, report, fileName, isCurrent = () => true) {
  if (!report.ok) {
    replaceChildren(container, element('h2', {}, fileName), sentence(report.sentence, 'sentence bad-file'));
    return true;
  }
  const span = report.end - report.start;
  replaceChildren(container,
    element('h2', {}, fileName),
    sentence(`${countText(report.lineCount)} lines from ${clockText(report.start, false)} to ${clockText(report.end, false)} (${durationText(span)}): ${counted(report.changes.length, 'change')} of the HUD, ${counted(report.events.length, 'game event')}` +
      `${report.fileReloads.length ? `, ${counted(report.fileReloads.length, 'change')} of the settings file` : ''}.`),
    report.notes.map((note) => sentence(note, 'sentence note')));
  const add = (section) => {
    if (section) container.append(section);
  };
  const timeline = timelineSection(report);
  return runInTurns([
    () => add(startupSection(report)),
    () => add(timeline.section),
    timeline.draw,
    () => add(reasonsSection(report)),
    () => add(changesSection(report)),
    () => add(settingsReadsSection(report)),
  ], isCurrent);
}

module.exports = { showLogReport };
