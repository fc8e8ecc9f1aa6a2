'use strict';
// The settings view: the 26 keys grouped as a player looks for them, each
// with the shipped file's explanation, its default and range, the text in
// the player's file and the value the plugin will use or why it refuses the
// text; the lines the plugin never reads; saving in the shipped layout.

const { element, replaceChildren } = require('./dom');
const { SETTINGS, GROUPS, SECTION, rangeText } = require('./settings-table');
const { checkSettings, protonReading } = require('./settings-check');
const { VALUE_LIMIT } = require('./ini-file');
const { readFileText, encodeText } = require('./text-encoding');
const { shippedLayout } = require('./shipped-layout');
const { valueInWords, textOf } = require('./setting-values-text');
const { writeIni } = require('./ini-writer');
const { captureKey } = require('./key-capture');

function createSettingsView({ root, shippedText }) {
  const shipped = shippedLayout(shippedText);
  const state = { fileName: null, player: null, written: null, encoding: 'windows-1252', values: new Map(), dropped: new Set() };
  const rows = new Map();
  const summary = root.querySelector('#settings-summary');
  const unreadPanel = root.querySelector('#settings-unread');
  const groupsPanel = root.querySelector('#settings-groups');

  function verdictFor(setting) {
    return protonReading(setting, state.values.get(setting.key));
  }

  function fileFinding(setting) {
    if (!state.player) return null;
    const checked = state.player.keys.find((key) => key.setting.key === setting.key);
    if (!checked.read) return checked.occurrences.length ? `Your file: ${checked.reason}.` : null;
    if (checked.occurrences.length > 1) {
      const others = checked.occurrences.filter((line) => line !== checked.read).map((line) => line.number);
      return `Your file writes it ${checked.occurrences.length} times: line ${checked.read.number} is read, line${others.length > 1 ? 's' : ''} ${others.join(', ')} not.`;
    }
    return null;
  }

  // ok, note, missing, refused or misread: the last two mark the row.
  function verdictLines(setting, verdict) {
    const uses = (value) => valueInWords(setting, value);
    const checked = state.player && state.player.keys.find((key) => key.setting.key === setting.key);
    const untouchedMissing = checked && !checked.read && state.values.get(setting.key) === checked.initialText;
    if (untouchedMissing) return ['missing', `Not read from your file: the plugin uses the default ${uses(verdict.value)}. Saving writes it.`];
    if (verdict.defaulted && verdict.reason === 'empty') return ['refused', `Empty value: the plugin uses the default ${uses(verdict.value)}.`];
    if (verdict.defaulted && verdict.intended) return ['ok', `The plugin uses ${uses(verdict.value)}: ${verdict.reason}.`];
    if (verdict.defaulted) return ['refused', `Refused: ${verdict.reason}. The plugin uses the default ${uses(verdict.value)}.`];
    if (verdict.misread) return ['misread', `Read as ${uses(verdict.value)}: ${verdict.misread}; write 1 for on.`];
    return ['ok', `The plugin uses ${uses(verdict.value)}.`];
  }

  function isProblem(setting) {
    const [kind] = verdictLines(setting, verdictFor(setting));
    return kind === 'refused' || kind === 'misread';
  }

  function renderVerdict(setting) {
    const row = rows.get(setting.key);
    const verdict = verdictFor(setting);
    const [kind, text] = verdictLines(setting, verdict);
    const finding = fileFinding(setting);
    row.classList.toggle('refused', kind === 'refused' || kind === 'misread');
    row.dataset.verdict = kind;
    row.dataset.effective = textOf(setting, verdict.value);
    replaceChildren(row.querySelector('.verdicts'),
      element('p', { class: `verdict verdict-${kind}` }, text),
      verdict.note ? element('p', { class: 'note' }, `Note: ${verdict.note}.`) : null,
      state.values.get(setting.key).length > VALUE_LIMIT ? element('p', { class: 'note' }, `Note: only the first ${VALUE_LIMIT} characters are read.`) : null,
      finding ? element('p', { class: 'note' }, finding) : null);
  }

  function renderSummary() {
    const refused = SETTINGS.filter(isProblem).length;
    const missing = state.player ? state.player.keys.filter((key) => !key.read).length : 0;
    const unread = state.player ? state.player.unread.length : 0;
    const source = state.fileName ? `Your file ${state.fileName}` : 'The shipped defaults';
    const parts = [`${refused} value${refused === 1 ? '' : 's'} refused or misread`];
    if (state.player) parts.push(`${missing} key${missing === 1 ? '' : 's'} missing`, `${unread} line${unread === 1 ? '' : 's'} the plugin does not read`);
    if (state.player && !state.player.hasSettingsSection) parts.push(`no [${SECTION}] section: the plugin reads nothing from this file`);
    summary.textContent = `${source}: ${parts.join(', ')}.`;
  }

  function renderUnread() {
    if (!state.player || state.player.unread.length === 0) {
      replaceChildren(unreadPanel);
      unreadPanel.hidden = true;
      return;
    }
    unreadPanel.hidden = false;
    replaceChildren(unreadPanel,
      element('h2', {}, 'Lines the plugin does not read'),
      element('p', {}, 'Saving keeps these lines as they are, at the end of their section. Untick a line to drop it.'),
      element('ul', {}, state.player.unread.map((finding) => element('li', { class: 'unread', dataset: { line: finding.line.number } },
        element('label', {},
          element('input', { type: 'checkbox', checked: !state.dropped.has(finding.line.number), onchange: (event) => {
            if (event.target.checked) state.dropped.delete(finding.line.number);
            else state.dropped.add(finding.line.number);
          } }),
          ` keep line ${finding.line.number} `, element('code', {}, finding.line.text.trim())),
        element('span', { class: 'why' }, ` ${finding.why}`),
        finding.suggestion ? element('button', { type: 'button', class: 'small', onclick: () => adoptSuggestion(finding) }, `use it as ${finding.suggestion}`) : null))));
  }

  // A misspelt key's value moves to the key it meant; the misspelt line is dropped.
  function adoptSuggestion(finding) {
    const input = rows.get(finding.suggestion).querySelector('input.value');
    input.value = finding.line.value;
    state.values.set(finding.suggestion, finding.line.value);
    state.dropped.add(finding.line.number);
    renderAll();
  }

  function buildRows() {
    const groups = GROUPS.map((group) => {
      const settings = SETTINGS.filter((setting) => setting.group === group.id);
      return element('section', { class: 'group', id: `group-${group.id}` },
        element('h2', {}, group.title),
        settings.map((setting) => {
          const row = element('div', { class: 'setting', id: `setting-${setting.key}`, dataset: { key: setting.key } },
            element('div', { class: 'name' }, element('code', {}, setting.key)),
            element('p', { class: 'explanation' }, (shipped.get(setting.key) || {}).explanation || ''),
            element('div', { class: 'edit' },
              element('input', { class: 'value', type: 'text', spellcheck: 'false', 'aria-label': setting.key,
                oninput: (event) => { state.values.set(setting.key, event.target.value); renderVerdict(setting); renderSummary(); } }),
              setting.kind === 'keyCode'
                ? element('button', { type: 'button', class: 'capture', onclick: () => captureKey(root, (code) => setKeyCode(setting, code)) }, 'Press a key…')
                : null,
              element('span', { class: 'facts' },
                `default ${textOf(setting, setting.reloadDefault)}` +
                (shipped.has(setting.key) && shipped.get(setting.key).value !== textOf(setting, setting.reloadDefault)
                  ? ` when missing, shipped ${shipped.get(setting.key).value}` : '') + ` · ${rangeText(setting)}`)),
            element('div', { class: 'verdicts' }));
          rows.set(setting.key, row);
          return row;
        }));
    });
    replaceChildren(groupsPanel, groups);
  }

  function setKeyCode(setting, code) {
    const text = textOf(setting, code);
    rows.get(setting.key).querySelector('input.value').value = text;
    state.values.set(setting.key, text);
    renderVerdict(setting);
    renderSummary();
  }

  function renderAll() {
    for (const setting of SETTINGS) {
      rows.get(setting.key).querySelector('input.value').value = state.values.get(setting.key);
      renderVerdict(setting);
    }
    renderUnread();
    renderSummary();
  }

  function startFromShipped() {
    state.fileName = null;
    state.player = null;
    state.written = null;
    state.encoding = 'windows-1252';
    state.dropped = new Set();
    for (const setting of SETTINGS) {
      state.values.set(setting.key, shipped.has(setting.key) ? shipped.get(setting.key).value : textOf(setting, setting.reloadDefault));
    }
    renderAll();
  }

  function openText(fileName, { text, encoding }) {
    state.fileName = fileName;
    state.player = checkSettings({ encoding, text });
    state.written = text.split(/\r\n|\n|\r/);
    state.encoding = encoding;
    state.dropped = new Set();
    for (const key of state.player.keys) {
      key.initialText = key.read ? key.text : textOf(key.setting, key.setting.reloadDefault);
      state.values.set(key.setting.key, key.initialText);
    }
    renderAll();
  }

  async function openFile(file) {
    openText(file.name, readFileText(new Uint8Array(await file.arrayBuffer())));
  }

  function savedText() {
    return writeIni({ shippedText, values: state.values, player: state.player, written: state.written, dropped: state.dropped });
  }

  // In the encoding the player's file came in, so that nothing of it changes.
  function save() {
    const url = URL.createObjectURL(new Blob([encodeText(savedText(), state.encoding)], { type: 'application/octet-stream' }));
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
