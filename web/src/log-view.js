'use strict';
// The log report view: a sentence for a file that is no usable log, else the
// start-up lines and a fatal report, the timeline, the time each reason kept
// the HUD shown, every change of the HUD, and the settings read at each save
// load.

const { element, replaceChildren } = require('./dom');
const { clockText, durationText } = require('./log-lines');
const { createTimeline } = require('./timeline-view');

const CHANGES_LISTED = 2000;

function sentence(text, kind = 'sentence') {
  return element('p', { class: kind, role: 'status' }, text);
}

function startupSection(report) {
  const lines = report.startup.map((line) => element('li', { class: `level-${line.level}` },
    element('span', { class: 'time' }, clockText(line.time)), ` ${line.text}`));
  return element('section', { id: 'log-startup' },
    element('h2', {}, 'Start-up and installation'),
    report.version ? element('p', {}, `Plugin: ${report.version}`) : null,
    lines.length ? element('ul', { class: 'lines' }, lines) : element('p', {}, 'No start-up lines.'),
    report.fatal ? element('div', { class: 'fatal', id: 'log-fatal' },
      element('strong', {}, `The plugin ended the game at ${clockText(report.fatal.time)}. Its last line: `),
      element('pre', {}, report.fatal.text)) : null);
}

function timelineSection(report) {
  if (report.changes.length === 0 && report.events.length === 0) return null;
  const canvas = element('canvas', { id: 'timeline', 'aria-label': 'timeline of the HUD and the game events' });
  const section = element('section', { id: 'log-timeline' },
    element('h2', {}, 'Timeline'),
    element('p', { class: 'hint' }, 'Green: the HUD shown. Each change carries its reason. Wheel to zoom, drag to pan.'));
  const buttons = element('div', { class: 'buttons' });
  section.append(buttons, canvas);
  // Drawn once the canvas is in the page and has its width.
  requestAnimationFrame(() => {
    const timeline = createTimeline(canvas, report);
    buttons.append(
      element('button', { type: 'button', onclick: timeline.zoomIn }, 'Zoom in'),
      element('button', { type: 'button', onclick: timeline.zoomOut }, 'Zoom out'),
      element('button', { type: 'button', onclick: timeline.showAll }, 'Whole log'));
    window.addEventListener('resize', timeline.draw);
  });
  return section;
}

function reasonsSection(report) {
  if (report.reasons.length === 0) return null;
  return element('section', { id: 'log-reasons' },
    element('h2', {}, 'What showed the HUD'),
    element('table', {},
      element('thead', {}, element('tr', {}, element('th', {}, 'Reason'), element('th', {}, 'Times'), element('th', {}, 'Shown in all'))),
      element('tbody', {}, report.reasons.map((entry) => element('tr', { dataset: { reason: entry.reason } },
        element('td', {}, entry.reason), element('td', {}, String(entry.count)), element('td', {}, durationText(entry.totalMs)))))),
    element('p', { class: 'summary-line' }, report.reasons.map((entry) => `${entry.reason}: ${entry.count} time${entry.count === 1 ? '' : 's'}, ${durationText(entry.totalMs)}`).join('; ')));
}

function changesSection(report) {
  if (report.changes.length === 0) return null;
  const listed = report.changes.slice(0, CHANGES_LISTED);
  return element('section', { id: 'log-changes' },
    element('h2', {}, `Changes of the HUD (${report.changes.length})`),
    report.changes.length > CHANGES_LISTED ? element('p', {}, `The first ${CHANGES_LISTED} are listed.`) : null,
    element('table', {},
      element('thead', {}, element('tr', {}, element('th', {}, 'Time'), element('th', {}, 'HUD'), element('th', {}, 'Reason'))),
      element('tbody', {}, listed.map((change) => element('tr', { class: 'change', dataset: { shown: change.shown ? '1' : '0', reasonMessage: change.reasonMessage } },
        element('td', {}, clockText(change.time)), element('td', {}, change.shown ? 'shown' : 'hidden'), element('td', {}, change.reason))))));
}

function settingsReadsSection(report) {
  if (report.settingsReads.length === 0) return null;
  return element('section', { id: 'log-settings' },
    element('h2', {}, 'Settings read at each save load'),
    report.settingsReads.map((read, index) => element('details', { open: index === report.settingsReads.length - 1 },
      element('summary', {}, `${clockText(read.time)}: ${read.values.length ? `${read.values.length} values` : 'values not logged (logging was off)'}` +
        (read.switched ? `, logging turned ${read.switched}` : '')),
      read.values.length ? element('table', { class: 'settings-read' }, element('tbody', {}, read.values.map((value) =>
        element('tr', {}, element('td', {}, element('code', {}, value.key)), element('td', {}, value.value))))) : null)));
}

function showLogReport(container, report, fileName) {
  if (!report.ok) {
    replaceChildren(container, element('h2', {}, fileName), sentence(report.sentence, 'sentence bad-file'));
    return;
  }
  const span = report.end - report.start;
  replaceChildren(container,
    element('h2', {}, fileName),
    sentence(`${report.lineCount.toLocaleString('en')} lines from ${clockText(report.start, false)} to ${clockText(report.end, false)} (${durationText(span)}): ${report.changes.length} changes of the HUD, ${report.events.length} game events.`),
    report.notes.map((note) => sentence(note, 'sentence note')),
    startupSection(report),
    timelineSection(report),
    reasonsSection(report),
    changesSection(report),
    settingsReadsSection(report));
}

module.exports = { showLogReport };
