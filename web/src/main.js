'use strict';
// The page's wiring: the two views, their file pickers and drop zones, and
// the one sentence shown when anything fails, so the page is never blank.

const { acceptFiles, element, replaceChildren } = require('./dom');
const { createSettingsView } = require('./settings-view');
const { analyseLogFile } = require('./log-loader');
const { showLogReport } = require('./log-view');

function showView(name) {
  for (const view of document.querySelectorAll('.view')) view.hidden = view.id !== `view-${name}`;
  for (const tab of document.querySelectorAll('[data-view]')) tab.setAttribute('aria-selected', String(tab.dataset.view === name));
}

function start() {
  const modulesText = document.getElementById('lumenveil-modules').textContent;
  const shippedText = document.getElementById('shipped-ini').textContent.replace(/^\n/, '');
  const tabs = [...document.querySelectorAll('[data-view]')];
  for (const tab of tabs) tab.addEventListener('click', () => showView(tab.dataset.view));
  // The arrow keys move between the tabs, as in any tab list.
  document.querySelector('[role=tablist]').addEventListener('keydown', (event) => {
    const step = { ArrowRight: 1, ArrowLeft: -1 }[event.key];
    if (!step) return;
    const next = tabs[(tabs.indexOf(document.activeElement) + step + tabs.length) % tabs.length];
    next.focus();
    showView(next.dataset.view);
  });

  const settingsRoot = document.getElementById('view-settings');
  const settings = createSettingsView({ root: settingsRoot, shippedText });
  acceptFiles(document.getElementById('ini-file'), settingsRoot, (file) => settings.openFile(file).catch((error) => failed(settingsRoot, error)));
  document.getElementById('ini-defaults').addEventListener('click', () => settings.startFromShipped());
  document.getElementById('ini-save').addEventListener('click', () => settings.save());

  const logRoot = document.getElementById('view-log');
  const output = document.getElementById('log-output');
  let opened = 0;
  acceptFiles(document.getElementById('log-file'), logRoot, async (file) => {
    const mine = ++opened;
    const isCurrent = () => mine === opened;
    delete output.dataset.readMs;
    output.setAttribute('aria-busy', 'true');
    replaceChildren(output, element('p', { class: 'sentence', role: 'status' }, `Reading ${file.name}…`));
    const started = performance.now();
    try {
      const { report, where } = await analyseLogFile(file, modulesText);
      if (!isCurrent()) return;
      output.dataset.readIn = where;
      if (!(await showLogReport(output, report, file.name, isCurrent))) return;
    } catch (error) {
      if (!isCurrent()) return;
      replaceChildren(output, element('p', { class: 'sentence bad-file', role: 'status' }, `This file could not be read as a log: ${error.message}`));
    }
    output.removeAttribute('aria-busy');
    output.dataset.readMs = String(Math.round(performance.now() - started));
  });
  showView('settings');
}

function failed(root, error) {
  root.prepend(element('p', { class: 'sentence bad-file' }, `Something went wrong: ${error.message}`));
}

module.exports = { start };
