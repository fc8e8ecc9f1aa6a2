'use strict';
// The settings view: the 26 keys grouped as a player looks for them, each
// with the shipped file's explanation, its default and range, the text in
// the player's file and the value the plugin will use on Windows and under
// Proton, or why it refuses the text; the problems of the file's lines, each
// with a fix; the lines the plugin never reads; saving in the shipped layout.
//
// The player's file is the one thing the view holds: a value typed in a box
// is written into the key's line, a fix rewrites lines, and every verdict is
// read again from the file.

const { element, replaceChildren } = require('./dom');
const { SETTINGS, GROUPS, SECTION, rangeText } = require('./settings-table');
const { checkSettings } = require('./settings-check');
const { findProblems, dominantEnding } = require('./file-problems');
const { savedFile } = require('./settings-save');
const { verdictOf, isProblemKind } = require('./setting-verdict');
const { splitLines, sameName, trim } = require('./ini-file');
const { isCertainBlank } = require('./ini-windows');
const { readFileText, encodingName } = require('./text-encoding');
const { visibleText } = require('./unusual-characters');
const { shippedLayout } = require('./shipped-layout');
const { textOf } = require('./setting-values-text');
const { captureKey } = require('./key-capture');
const { createGamepadCapture } = require('./gamepad-capture');

const isSwitch = (setting) => setting.kind === 'boolean' || setting.kind === 'flag';

function createSettingsView({ root, shippedText }) {
  const shipped = shippedLayout(shippedText);
  const state = { fileName: null, encoding: 'windows-1252', lines: [], edited: new Set(), dropped: new Set(), checked: null, problems: [] };
  const rows = new Map();
  const summary = root.querySelector('#settings-summary');
  const unreadPanel = root.querySelector('#settings-unread');
  const groupsPanel = root.querySelector('#settings-groups');
  const problemsPanel = element('div', { id: 'settings-problems', class: 'panel', hidden: true });
  // Where the focus goes when a fix leaves nothing to fix in its place.
  summary.tabIndex = -1;
  const problemsOnly = element('input', { type: 'checkbox', id: 'settings-problems-only', onchange: () => renderFilter() });
  const jumpList = element('ul', { class: 'jump-list' });
  const tools = element('div', { class: 'settings-tools' },
    element('label', { class: 'problems-only' }, problemsOnly, ' Show only the settings with a problem'),
    element('nav', { 'aria-label': 'Groups of settings' }, jumpList));
  unreadPanel.before(problemsPanel);
  groupsPanel.before(tools);

  const keyResult = (key) => state.checked.keys.find((result) => result.setting.key === key);
  const keyProblems = (key) => state.problems.filter((problem) => problem.key === key);

  function recheck() {
    const text = state.lines.map((line) => line.text + line.ending).join('');
    state.checked = checkSettings({ encoding: state.encoding, text });
    state.problems = findProblems({ encoding: state.encoding, lines: state.lines }, state.checked);
  }

  function verdictFor(setting) {
    const key = keyResult(setting.key);
    const missing = !key.read && !state.edited.has(setting.key);
    const hiddenBy = key.read && key.read.kind === 'other' ? key.read.number : null;
    return verdictOf(key, { missing, hiddenBy, problemLines: keyProblems(setting.key).map((problem) => problem.line).filter(Boolean) });
  }

  function rowHasProblem(setting) {
    return isProblemKind(verdictFor(setting).kind) || keyProblems(setting.key).length > 0;
  }

  // A line number shifts when a line is put in above it.
  function insertLine(index, line) {
    state.lines.splice(index, 0, line);
    state.dropped = new Set([...state.dropped].map((number) => (number > index ? number + 1 : number)));
  }

  // A value typed for a key goes into the line the plugin reads for it, or
  // a new line at the end of the first [Settings] section.
  function writeValue(key, text) {
    const read = keyResult(key).read;
    if (read && read.kind === 'entry') {
      const line = state.lines[read.number - 1];
      state.lines[read.number - 1] = { ...line, text: line.text.slice(0, line.text.indexOf('=') + 1) + text };
    } else if (read) {
      state.lines[read.number - 1] = { ...state.lines[read.number - 1], text: `${key}=${text}` };
    } else {
      const ending = dominantEnding(state.lines);
      const ini = state.checked.ini;
      const header = ini.lines.find((line) => line.kind === 'section' && sameName(line.name, SECTION));
      if (header) {
        const last = ini.lines.filter((line) => line.section === header && line.kind !== 'blank').pop();
        insertLine(last.number, { text: `${key}=${text}`, ending });
      } else {
        const lastLine = state.lines[state.lines.length - 1];
        if (lastLine && !lastLine.ending) lastLine.ending = ending;
        state.lines.push({ text: `[${SECTION}]`, ending }, { text: `${key}=${text}`, ending });
      }
    }
    state.edited.add(key);
    recheck();
    renderAll();
  }

  function applyFix(fix) {
    if (fix.encoding) state.encoding = fix.encoding;
    if (fix.apply) {
      const before = state.lines.length;
      state.lines = fix.apply(state.lines);
      // A fix removes or adds at most one line; later numbers follow it.
      if (state.lines.length !== before) state.dropped = new Set();
    }
    recheck();
    renderAll();
  }

  // A fix or a written value draws the lists and rows again, and the button
  // that did it may be gone or hidden: the focus goes on from its place (the
  // item that now stands there, or the row's text box, or the nearest row
  // shown, the next before the previous) rather than fall back to the top of
  // the page.
  function placeOf(focused) {
    const item = focused.closest('#settings-problems li, #settings-unread li');
    if (item) return { list: item.parentElement.closest('.panel'), index: [...item.parentElement.children].indexOf(item) };
    const row = focused.closest('.setting');
    return row ? { key: row.dataset.key } : null;
  }

  const shown = (control) => control && control.isConnected && control.getClientRects().length > 0;

  function focusFrom(place) {
    if (place.list) {
      const items = [...place.list.querySelectorAll('li')];
      const item = items[Math.min(place.index, items.length - 1)];
      const control = item && item.querySelector('button, input');
      if (shown(control)) return control.focus();
    } else {
      const inOrder = [...groupsPanel.querySelectorAll('.setting')];
      const at = inOrder.indexOf(rows.get(place.key));
      const nearest = [...inOrder.slice(at), ...inOrder.slice(0, at).reverse()];
      const control = nearest.map((row) => row.querySelector('input.value')).find(shown);
      if (control) return control.focus();
    }
    return summary.focus();
  }

  function keepingFocus(action) {
    const focused = document.activeElement;
    const place = focused && placeOf(focused);
    action();
    const now = document.activeElement;
    if (place && (!now || now === document.body || !shown(now))) focusFrom(place);
  }

  function fixButton(fix, where) {
    return element('button', { type: 'button', class: 'small fix', 'aria-label': `${fix.label} (${where})`, onclick: () => keepingFocus(() => applyFix(fix)) }, fix.label);
  }

  function renderVerdict(setting) {
    const row = rows.get(setting.key);
    const key = keyResult(setting.key);
    const verdict = verdictFor(setting);
    const problems = keyProblems(setting.key);
    const problem = isProblemKind(verdict.kind) || problems.length > 0;
    row.classList.toggle('refused', problem);
    row.dataset.verdict = verdict.kind;
    row.dataset.effective = textOf(setting, verdict.value);
    row.dataset.problem = String(problem);
    const input = row.querySelector('input.value');
    const text = key.read && key.read.kind === 'entry' ? key.text : '';
    if (input.value !== text && document.activeElement !== input) input.value = text;
    input.placeholder = key.read ? '' : `default ${textOf(setting, setting.reloadDefault)}`;
    const toggle = row.querySelector('input.switch');
    if (toggle) toggle.checked = verdict.value === true;
    const reading = key.proton;
    replaceChildren(row.querySelector('.verdicts'),
      element('p', { class: `verdict verdict-${verdict.kind}` }, verdict.text),
      reading.suggestion ? element('button', { type: 'button', class: 'small fix', onclick: () => keepingFocus(() => writeValue(setting.key, reading.suggestion)) }, `Write ${reading.suggestion}`) : null,
      reading.note ? element('p', { class: 'note' }, `Note: ${reading.note}.`) : null,
      key.note ? element('p', { class: 'note' }, `Note: ${key.note}.`) : null,
      key.reason && key.read && key.read.kind === 'other' ? null : fileFinding(key),
      problems.map((found) => element('p', { class: 'problem' }, found.line ? `Line ${found.line}: ` : '', found.text, ' ', fixButton(found.fix, setting.key))));
  }

  function fileFinding(key) {
    if (!key.read) return key.occurrences.length ? element('p', { class: 'note' }, `Your file: ${key.reason}.`) : null;
    if (key.occurrences.length > 1) {
      const others = key.occurrences.filter((line) => line !== key.read).map((line) => line.number);
      return element('p', { class: 'note' }, `Your file writes it ${key.occurrences.length} times: line ${key.read.number} is read, line${others.length > 1 ? 's' : ''} ${others.join(', ')} not.`);
    }
    return null;
  }

  function renderSummary() {
    const problemRows = SETTINGS.filter(rowHasProblem).length;
    const source = state.fileName ? `Your file ${state.fileName} (${encodingName(state.encoding)})` : 'The shipped defaults';
    const parts = [`${problemRows} setting${problemRows === 1 ? '' : 's'} with a problem`];
    if (state.fileName) {
      const missing = state.checked.keys.filter((key) => !key.read).length;
      const unread = state.checked.unread.length;
      parts.push(`${state.problems.length} problem${state.problems.length === 1 ? '' : 's'} in its lines`,
        `${missing} key${missing === 1 ? '' : 's'} missing`, `${unread} line${unread === 1 ? '' : 's'} the plugin does not read`);
      if (!state.checked.hasSettingsSection) parts.push(`no [${SECTION}] section: the plugin reads nothing from this file`);
    }
    summary.textContent = `${source}: ${parts.join(', ')}.`;
  }

  function renderProblems() {
    problemsPanel.hidden = state.problems.length === 0;
    if (problemsPanel.hidden) {
      replaceChildren(problemsPanel);
      return;
    }
    replaceChildren(problemsPanel,
      element('h2', {}, 'Problems in your file'),
      element('p', {}, 'Each of these lines reads differently on Windows and under Proton, hides another line, or holds characters you cannot see. One click fixes each; saving fixes them too.'),
      element('ul', {}, state.problems.map((problem) => element('li', { class: 'file-problem', dataset: { line: problem.line || '' } },
        problem.line ? [`Line ${problem.line} `, element('code', {}, visibleText(trim(state.lines[problem.line - 1].text, isCertainBlank)) || ' '), ': '] : null,
        problem.text, ' ', fixButton(problem.fix, problem.line ? `line ${problem.line}` : 'the whole file')))));
  }

  function renderUnread() {
    if (!state.fileName || state.checked.unread.length === 0) {
      replaceChildren(unreadPanel);
      unreadPanel.hidden = true;
      return;
    }
    unreadPanel.hidden = false;
    replaceChildren(unreadPanel,
      element('h2', {}, 'Lines the plugin does not read'),
      element('p', {}, 'Saving keeps these lines as they are, at the end of their section. Untick a line to drop it.'),
      element('ul', {}, state.checked.unread.map((finding) => element('li', { class: 'unread', dataset: { line: finding.line.number } },
        element('label', {},
          element('input', { type: 'checkbox', checked: !state.dropped.has(finding.line.number), onchange: (event) => {
            if (event.target.checked) state.dropped.delete(finding.line.number);
            else state.dropped.add(finding.line.number);
          } }),
          ` keep line ${finding.line.number} `, element('code', {}, visibleText(trim(finding.line.text, isCertainBlank)))),
        element('span', { class: 'why' }, ` ${finding.why}`),
        finding.suggestion ? element('button', { type: 'button', class: 'small', onclick: () => keepingFocus(() => adoptSuggestion(finding)) }, `use it as ${finding.suggestion}`) : null))));
  }

  // A misspelt key's value moves to the key it meant; the misspelt line is dropped.
  function adoptSuggestion(finding) {
    state.dropped.add(finding.line.number);
    writeValue(finding.suggestion, finding.line.value);
  }

  function renderFilter() {
    const only = problemsOnly.checked;
    for (const setting of SETTINGS) rows.get(setting.key).hidden = only && !rowHasProblem(setting);
    for (const group of GROUPS) {
      const section = groupsPanel.querySelector(`#group-${group.id}`);
      section.hidden = only && !SETTINGS.some((setting) => setting.group === group.id && rowHasProblem(setting));
    }
    // A link to a group the view hides would lead nowhere.
    replaceChildren(jumpList, GROUPS.map((group) => {
      const count = SETTINGS.filter((setting) => setting.group === group.id && rowHasProblem(setting)).length;
      return element('li', { hidden: only && count === 0 }, element('a', { href: `#group-${group.id}` }, group.title),
        count ? element('span', { class: 'problem-count' }, ` ${count} with a problem`) : null);
    }));
  }

  // The button and, after the row's facts, what the capture sees.
  function gamepadCapture(setting) {
    const status = element('p', { class: 'capture-status', id: `capture-status-${setting.key}`, role: 'status' });
    const button = element('button', { type: 'button', class: 'capture', 'aria-label': `Press a button for ${setting.key} on a controller`,
      'aria-describedby': status.id }, 'Press a button…');
    createGamepadCapture({ button, status, key: setting.key, onMask: (mask) => writeValue(setting.key, textOf(setting, mask)) });
    return [button, status];
  }

  function buildRows() {
    const groups = GROUPS.map((group) => {
      const settings = SETTINGS.filter((setting) => setting.group === group.id);
      return element('section', { class: 'group', id: `group-${group.id}`, tabindex: '-1' },
        element('h2', {}, group.title),
        settings.map((setting) => {
          const input = element('input', { class: 'value', type: 'text', spellcheck: 'false', id: `value-${setting.key}`,
            oninput: (event) => writeValue(setting.key, event.target.value) });
          const row = element('div', { class: 'setting', id: `setting-${setting.key}`, dataset: { key: setting.key } },
            element('div', { class: 'name' }, element('label', { for: `value-${setting.key}` }, element('code', {}, setting.key))),
            element('p', { class: 'explanation' }, (shipped.get(setting.key) || {}).explanation || ''),
            element('div', { class: 'edit' },
              input,
              isSwitch(setting)
                ? element('label', { class: 'switch-label' },
                  element('input', { type: 'checkbox', class: 'switch', 'aria-label': `${setting.key}: ${setting.kind === 'flag' ? 'shows the HUD' : 'on'}`, onchange: (event) => writeValue(setting.key, event.target.checked ? '1' : '0') }),
                  setting.kind === 'flag' ? ' shows the HUD' : ' on')
                : null,
              setting.kind === 'keyCode'
                ? element('button', { type: 'button', class: 'capture', 'aria-label': `Press a key for ${setting.key}`,
                  onclick: () => captureKey(root, (code) => writeValue(setting.key, textOf(setting, code))) }, 'Press a key…')
                : null,
              setting.kind === 'buttonMask' ? gamepadCapture(setting) : null,
              element('span', { class: 'facts' },
                `default ${textOf(setting, setting.reloadDefault)}` +
                (shipped.has(setting.key) && shipped.get(setting.key).value !== textOf(setting, setting.reloadDefault)
                  ? ` when missing, shipped ${shipped.get(setting.key).value}` : '') + ` · ${rangeText(setting)}`)),
            element('div', { class: 'verdicts', 'aria-live': 'polite' }));
          rows.set(setting.key, row);
          return row;
        }));
    });
    replaceChildren(groupsPanel, groups);
  }

  function renderAll() {
    for (const setting of SETTINGS) renderVerdict(setting);
    renderProblems();
    renderUnread();
    renderFilter();
    renderSummary();
  }

  function load(fileName, encoding, text) {
    state.fileName = fileName;
    state.encoding = encoding;
    state.lines = splitLines(text);
    state.edited = new Set();
    state.dropped = new Set();
    recheck();
    renderAll();
  }

  function startFromShipped() {
    load(null, 'windows-1252', shippedText.replace(/\r?\n/g, '\r\n'));
  }

  async function openFile(file) {
    const { encoding, text } = readFileText(new Uint8Array(await file.arrayBuffer()));
    load(file.name, encoding, text);
  }

  function saved() {
    return savedFile({ shippedText, checked: state.checked, lines: state.lines, encoding: state.encoding, dropped: state.dropped, player: state.fileName !== null });
  }

  function save() {
    const url = URL.createObjectURL(new Blob([saved().bytes], { type: 'application/octet-stream' }));
    const link = element('a', { href: url, download: 'LumenveilHUD.ini' });
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
  }

  buildRows();
  startFromShipped();
  return { openFile, startFromShipped, save };
}

module.exports = { createSettingsView };
