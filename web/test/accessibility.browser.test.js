'use strict';
// Both views in headless Chromium, audited with axe-core (the version the
// lock file pins, put into the page by the test) with a file loaded, and
// used from the keyboard alone: every control the player sees is reached
// with Tab, and the controls do their job when a key acts on them. The
// settings view twice: with bad values, and with a file whose lines have
// problems (their list, the fixes, "Write 70", the verdicts that Windows and
// Proton read differently), in full and with only the settings that have a
// problem.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { launch, openPage, chooseFile, savedFile } = require('./support/browser');
const { scratchFolder, reportDone, recordCanvasTexts } = require('./support/log-page');
const { markControls, tabRound, tabTo } = require('./support/keyboard');
const { screenshot } = require('./support/screenshots');
const { line, start, settingsRead, fileChangeRead } = require('./support/log-files');

const AXE = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
const INI = path.join(__dirname, 'fixtures', 'one-bad-value-of-each-kind.ini');
// A no-break space, a Ctrl-Z, a key without "=", F1 where a key code goes.
const PROBLEMS_INI = path.join(__dirname, 'fixtures', 'copied-from-a-web-page.ini');
// Windows loses the header on the line of a UTF-8 mark: its keys read differently.
const DIFFERS_INI = path.join(__dirname, 'fixtures', 'ini', 'utf8-mark-header-on-line-1.ini');
const writeScratch = scratchFolder();

// A log with something in every section: a start-up error, changes for
// reasons and events, two save loads and a change of the settings file
// between them, and a fatal report at its end.
function fullLog() {
  const decision = (at, message) => line(at, 'UpdateHUD.cpp:230', `[UpdateHUD] ${message}`);
  const change = (at, shown) => line(at, 'MenuGating.cpp:93', `[EnableMenusIfCan] result = [${shown ? 'ENABLE' : 'DISABLE'}]`);
  let log = start() + line(10, 'Main.cpp:127', 'Failed to register messaging listener for Zorvik', 'error') + settingsRead(100, true);
  for (let cycle = 0; cycle < 60; cycle++) {
    const at = 12000 + cycle * 4000;
    log += decision(at, 'result = [show] | IsWeaponDrawn') + change(at + 15, true) + decision(at + 2000, 'result = [hide]') + change(at + 2300, false);
    log += line(at + 3000, 'Events.cpp:137', `[ProcessEvent]  --> MenuOpenCloseEvent [InventoryMenu] | abOpening [${cycle % 2}]`);
    if (cycle === 30) log += fileChangeRead(at + 3500, [['bLogging', 1], ['bShowInCombat', 1], ['iKeepHUDShownMS', 3000]]);
  }
  return log + settingsRead(260000, true) + line(261000, 'ID.cpp:114', 'Address library version mismatch.\r\nExpected 1.14.70.0', 'critical');
}

const waitForFile = (page, file) => page.waitForFunction((name) => document.querySelector('#settings-summary').textContent.includes(name), {}, path.basename(file));

// The keys of the setting rows in view, and what the page marks as a problem.
const rowsInView = (page) => page.$$eval('.setting', (rows) => rows.filter((row) => row.getClientRects().length > 0).map((row) => row.dataset.key));
const problemRows = (page) => page.$$eval('.setting', (rows) => rows.filter((row) => row.dataset.problem === 'true').map((row) => row.dataset.key));

// What has the focus, as a selector of the test's own: "#id", or the row's
// key and the control's class.
const focusedControl = (page) => page.evaluate(() => {
  const focused = document.activeElement;
  if (!focused || focused === document.body) return 'nothing';
  if (focused.id) return `#${focused.id}`;
  const item = focused.closest('li[data-line]');
  if (item) return `${item.closest('[id]').id} line ${item.dataset.line} ${focused.tagName.toLowerCase()}.${focused.className}`;
  const row = focused.closest('.setting');
  return row ? `${row.dataset.key} ${focused.tagName.toLowerCase()}.${focused.className}` : focused.outerHTML.slice(0, 80);
});

async function audit(page) {
  if (!(await page.evaluate(() => typeof window.axe === 'object'))) await page.evaluate(AXE);
  const { violations } = await page.evaluate(() => window.axe.run(document));
  return violations.map((violation) => `${violation.id} (${violation.impact}): ${violation.help}: ${violation.nodes.map((node) => node.target.join(' ')).join(', ')}`);
}

// Opens a file from a focused file field with a key, as a keyboard user does.
// The page is brought to the front first: Chromium opens no file chooser for a
// page behind another tab, which an earlier subtest's page may be. On a busy
// machine Chromium now and then lets a key pass without opening the chooser
// although the field has the focus; the key is pressed again then, and a
// field that never opens one fails.
async function openFromKeyboard(page, inputSelector, file) {
  await page.bringToFront();
  for (let attempt = 1; ; attempt++) {
    await tabTo(page, inputSelector);
    try {
      const [chooser] = await Promise.all([page.waitForFileChooser({ timeout: 10000 }), page.keyboard.press('Space')]);
      await chooser.accept([file]);
      return;
    } catch (error) {
      if (attempt === 3) throw error;
    }
  }
}

test('accessibility', async (t) => {
  const { browser, close } = await launch();
  t.after(close);
  const logFile = writeScratch('full.log', fullLog());

  await t.test('axe-core finds nothing in either view with a file loaded', async () => {
    const { page, problems } = await openPage(browser);
    await openFromKeyboard(page, '#ini-file', INI);
    await page.waitForFunction(() => document.querySelector('#settings-summary').textContent.includes('one-bad-value-of-each-kind.ini'));
    assert.deepEqual(await audit(page), [], 'the settings view');
    await page.click('#setting-iHUDToggle button.capture');
    await page.waitForSelector('.capture-area');
    assert.deepEqual(await audit(page), [], 'the settings view capturing a key');
    await page.click('.capture-dialog button');
    await page.click('#setting-iHUDToggleGamepad button.capture');
    await page.waitForFunction(() => document.querySelector('#capture-status-iHUDToggleGamepad').textContent !== '');
    assert.deepEqual(await audit(page), [], 'the settings view capturing a controller chord');
    await page.keyboard.press('Escape');

    await page.click('#tab-log');
    await openFromKeyboard(page, '#log-file', logFile);
    await reportDone(page);
    assert.deepEqual(await audit(page), [], 'the log report');
    await page.focus('#timeline');
    await page.keyboard.press('ArrowRight');
    assert.deepEqual(await audit(page), [], 'the log report telling a period');
    assert.deepEqual(problems, []);
  });

  await t.test('axe-core finds nothing in a file with problems, in full and with only the settings that have one', async () => {
    // Tall enough for the README's picture to show every row in view.
    const { page, problems } = await openPage(browser, { width: 1200, height: 1860 });
    await chooseFile(page, '#ini-file', PROBLEMS_INI);
    await waitForFile(page, PROBLEMS_INI);
    // What the audit must see: the list of problems with their fixes, a
    // fix in a row, "Write 70", and the verdicts a problem colours.
    const present = () => page.evaluate(() => ({
      listed: document.querySelectorAll('#settings-problems li button.fix').length,
      inRows: document.querySelectorAll('.setting .problem button.fix').length,
      write: [...document.querySelectorAll('.verdicts button.fix')].map((button) => button.textContent).filter((text) => text.startsWith('Write ')),
      kinds: [...new Set([...document.querySelectorAll('.setting')].filter((row) => row.getClientRects().length > 0).map((row) => row.dataset.verdict))].sort(),
    }));
    const full = await present();
    assert.equal(full.listed, 3);
    assert.ok(full.inRows >= 3, JSON.stringify(full));
    assert.deepEqual(full.write.sort(), ['Write 70', 'Write 79']);
    assert.ok(['unsettled', 'warning', 'refused', 'ok', 'missing'].every((kind) => full.kinds.includes(kind)), JSON.stringify(full.kinds));
    assert.deepEqual(await audit(page), [], 'a file with problems');
    await page.click('#settings-problems-only');
    assert.deepEqual(await rowsInView(page), await problemRows(page));
    assert.deepEqual((await present()).kinds, ['refused', 'unsettled', 'warning']);
    assert.deepEqual(await audit(page), [], 'a file with problems, only the settings with one');
    await screenshot(page, 'companion-settings-problems-only');

    await chooseFile(page, '#ini-file', DIFFERS_INI);
    await waitForFile(page, DIFFERS_INI);
    assert.ok((await present()).kinds.includes('differs'), 'no setting reads differently on Windows and under Proton');
    assert.deepEqual(await audit(page), [], 'a file read differently on Windows, only the settings with a problem');
    await page.click('#settings-problems-only');
    assert.deepEqual(await audit(page), [], 'a file read differently on Windows');
    assert.deepEqual(problems, []);
  });

  await t.test('Tab reaches every control of a file with problems, in full and with only the settings that have one, and keys fix them', async () => {
    const { page, problems } = await openPage(browser, { width: 1200, height: 900 });
    await openFromKeyboard(page, '#ini-file', PROBLEMS_INI);
    await waitForFile(page, PROBLEMS_INI);
    let controls = await markControls(page);
    let reached = await tabRound(page, controls.length);
    assert.deepEqual(controls.filter((control, index) => !reached.has(index)), [], 'controls Tab never reaches, every setting shown');

    await tabTo(page, '#settings-problems-only');
    await page.keyboard.press('Space');
    assert.deepEqual(await rowsInView(page), ['bShowInCombat', 'bShowIfJumping', 'iVehicleAimKeyDown', 'iKeepHUDShownMS', 'iHUDToggle']);
    controls = await markControls(page);
    reached = await tabRound(page, controls.length);
    assert.deepEqual(controls.filter((control, index) => !reached.has(index)), [], 'controls Tab never reaches, only the settings with a problem');
    // The jump list leads only to groups in view, each link to its group.
    const links = await page.$$eval('.jump-list a', (anchors) => anchors.filter((anchor) => anchor.getClientRects().length > 0).map((anchor) => anchor.getAttribute('href')));
    assert.deepEqual(links, ['#group-show', '#group-delays', '#group-toggle']);
    for (const href of links) {
      await tabTo(page, `.jump-list a[href="${href}"]`);
      await page.keyboard.press('Enter');
      assert.equal(await focusedControl(page), href);
    }

    // Each fix from the keyboard; the focus goes on from where the fix was:
    // the next problem of the list, the summary once none is left there; the
    // row's text box, or the nearest row in view once the fixed one leaves
    // the view.
    const fixes = [
      // the control Tab reaches, the key that acts on it, the setting it fixes, the value the plugin then uses, where the focus is then
      ['#settings-problems li[data-line="4"] button.fix', 'Enter', 'iKeepHUDShownMS', '5000', 'settings-problems line 5 button.small fix'],
      ['#setting-iHUDToggle .verdicts button.fix', 'Space', 'iHUDToggle', '70', '#value-iVehicleAimKeyDown'],
      ['#setting-bShowIfJumping .problem button.fix', 'Enter', 'bShowIfJumping', '1', '#value-iVehicleAimKeyDown'],
      ['#settings-problems li[data-line="3"] button.fix', 'Space', 'bShowInCombat', '0', '#settings-summary'],
      ['#settings-problems-only', 'Space', null],
      ['#setting-iVehicleAimKeyDown .verdicts button.fix', 'Enter', 'iVehicleAimKeyDown', '79', '#value-iVehicleAimKeyDown'],
    ];
    for (const [control, key, setting, effective, focusThen] of fixes) {
      await tabTo(page, control);
      await page.keyboard.press(key);
      if (!setting) continue;
      const row = await page.$eval(`#setting-${setting}`, (element) => ({ verdict: element.dataset.verdict, effective: element.dataset.effective }));
      assert.deepEqual(row, { verdict: 'ok', effective }, control);
      assert.equal(await focusedControl(page), focusThen, `the focus after ${control}`);
    }
    assert.equal((await rowsInView(page)).length, 28);
    assert.deepEqual(await problemRows(page), []);
    assert.match(await page.$eval('#settings-summary', (element) => element.textContent), /: 0 settings with a problem, 0 problems in its lines/);
    assert.deepEqual(problems, []);
  });

  await t.test('Tab reaches every control of the settings view, and keys work them', async () => {
    const { page, problems } = await openPage(browser, { width: 1200, height: 900 });
    await openFromKeyboard(page, '#ini-file', INI);
    await page.waitForFunction(() => document.querySelector('#settings-summary').textContent.includes('one-bad-value-of-each-kind.ini'));
    const controls = await markControls(page);
    const reached = await tabRound(page, controls.length);
    assert.deepEqual(controls.filter((control, index) => !reached.has(index)), [], 'controls Tab never reaches');

    // A value typed in; a key captured from the keyboard; a line of the
    // file dropped with Space; the file saved with Enter.
    await tabTo(page, '#setting-iKeepHUDShownMS input.value');
    await page.keyboard.down('Control');
    await page.keyboard.press('KeyA');
    await page.keyboard.up('Control');
    await page.keyboard.type('5000');
    assert.equal(await page.$eval('#setting-iKeepHUDShownMS', (row) => row.dataset.effective), '5000');
    await tabTo(page, '#setting-iHUDToggle button.capture');
    await page.keyboard.press('Enter');
    await page.waitForSelector('.capture-area');
    await page.keyboard.press('F1');
    await page.waitForFunction(() => !document.querySelector('.capture-area'));
    assert.equal(await page.$eval('#setting-iHUDToggle input.value', (input) => input.value), '70');
    assert.ok(await page.$eval('#setting-iHUDToggle button.capture', (button) => button === document.activeElement), 'the focus did not come back to the button');
    // The controller capture starts with Enter, says what it sees, and
    // Esc ends it with the focus where it was.
    await tabTo(page, '#setting-iHUDToggleGamepad button.capture');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => /controller/.test(document.querySelector('#capture-status-iHUDToggleGamepad').textContent));
    await page.keyboard.press('Escape');
    assert.match(await page.$eval('#capture-status-iHUDToggleGamepad', (element) => element.textContent), /^Capture cancelled/);
    assert.ok(await page.$eval('#setting-iHUDToggleGamepad button.capture', (button) => button === document.activeElement), 'the focus left the controller button');
    await tabTo(page, '#settings-unread li[data-line="13"] input[type=checkbox]');
    await page.keyboard.press('Space');
    assert.equal(await page.$eval('#settings-unread li[data-line="13"] input[type=checkbox]', (box) => box.checked), false);
    await tabTo(page, '#ini-save');
    const text = (await savedFile(page, t, () => page.keyboard.press('Enter'))).bytes.toString('latin1');
    assert.match(text, /^iKeepHUDShownMS=5000\r?$/m);
    assert.match(text, /^iHUDToggle=70\r?$/m);
    assert.doesNotMatch(text, /iKeepHUDShownLong=/);
    await tabTo(page, '#ini-defaults');
    await page.keyboard.press('Enter');
    assert.match(await page.$eval('#settings-summary', (element) => element.textContent), /^The shipped defaults/);
    assert.deepEqual(problems, []);
  });

  await t.test('Tab reaches every control of the log report, and keys work them', async () => {
    const { page, problems } = await openPage(browser, { width: 1200, height: 900, beforeLoad: recordCanvasTexts });
    await tabTo(page, '#tab-log');
    await page.keyboard.press('Enter');
    assert.equal(await page.$eval('#view-log', (view) => view.hidden), false);
    await openFromKeyboard(page, '#log-file', logFile);
    await reportDone(page);
    const controls = await markControls(page);
    const reached = await tabRound(page, controls.length);
    assert.deepEqual(controls.filter((control, index) => !reached.has(index)), [], 'controls Tab never reaches');

    // Zooming with a button: the axis counts in shorter steps.
    const axis = () => page.evaluate(() => window.drawnTexts().filter((text) => /^\d\d:\d\d:\d\d/.test(text.text)).map((text) => text.text));
    const whole = await axis();
    await tabTo(page, '#log-timeline button:first-of-type');
    await page.keyboard.press('Enter');
    await page.keyboard.press('Enter');
    const zoomed = await axis();
    assert.notDeepEqual(zoomed, whole);
    // The timeline: the arrow keys tell one period after another.
    const tip = () => page.$eval('#timeline-tip', (element) => (element.hidden ? null : element.textContent));
    await tabTo(page, '#timeline');
    await page.keyboard.press('0');
    await page.keyboard.press('ArrowRight');
    assert.match(await tip(), /^Shown by the game: .*, from 21:00:00\.000 for 12 s$/);
    await page.keyboard.press('ArrowRight');
    assert.match(await tip(), /^Shown: a weapon is drawn \(IsWeaponDrawn\), from 21:00:12\.015 for 2\.3 s$/);
    await page.keyboard.press('ArrowRight');
    assert.match(await tip(), /^Hidden: nothing asks for the HUD \(\[hide\]\), from 21:00:14\.300 for 1\.7 s$/);
    // The table of changes scrolls to its last row.
    await tabTo(page, '#log-changes .table-scroll');
    await page.keyboard.press('End');
    await page.waitForFunction(() => [...document.querySelectorAll('#log-changes tr.change')].some((row) => row.getAttribute('aria-rowindex') === '121'));
    // An earlier save load's settings open with Enter.
    await tabTo(page, '#log-settings details:first-of-type summary');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => document.querySelector('#log-settings details:first-of-type table'));
    // And back to the settings with the arrow key of the tab list.
    await tabTo(page, '#tab-log');
    await page.keyboard.press('ArrowLeft');
    assert.equal(await page.$eval('#view-settings', (view) => view.hidden), false);
    assert.deepEqual(problems, []);
  });
});
