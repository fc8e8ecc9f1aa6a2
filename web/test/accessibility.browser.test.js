'use strict';
// Both views in headless Chromium, audited with axe-core (the version the
// lock file pins, put into the page by the test) with a file loaded, and
// used from the keyboard alone: every control the player sees is reached
// with Tab, and the controls do their job when a key acts on them.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { launch, openPage, savedFile } = require('./support/browser');
const { scratchFolder, reportDone, recordCanvasTexts } = require('./support/log-page');
const { markControls, tabRound, tabTo } = require('./support/keyboard');
const { line, start, settingsRead, fileChangeRead } = require('./support/log-files');

const AXE = fs.readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');
const INI = path.join(__dirname, 'fixtures', 'one-bad-value-of-each-kind.ini');
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
