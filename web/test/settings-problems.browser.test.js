'use strict';
// The settings view on a file copied from a web page, in headless Chromium:
// an invisible character and a key named without "=" are named where they
// stand and one click fixes each; a key's name where its code goes says what
// the player meant; switches have a checkbox; the problems-only view and the
// jump list; the saved file has no problem and keeps the file's LF endings.
// Then the files Windows and Proton read differently as a whole.

const test = require('node:test');
const assert = require('node:assert/strict');
const path = require('node:path');
const { launch, openPage, chooseFile, savedFile } = require('./support/browser');
const { screenshot } = require('./support/screenshots');
const load = require('./support/load-page-modules');

const { readFileText } = load('text-encoding');
const { checkSettings } = load('settings-check');

const FIXTURES = path.join(__dirname, 'fixtures');

async function openFixture(browser, file) {
  const { page, problems } = await openPage(browser, { width: 1200, height: 1100 });
  await chooseFile(page, '#ini-file', file);
  await page.waitForFunction((name) => document.querySelector('#settings-summary').textContent.includes(name), {}, path.basename(file));
  return { page, problems };
}

const row = (page, key) => page.$eval(`#setting-${key}`, (element) => ({
  verdict: element.dataset.verdict,
  effective: element.dataset.effective,
  problem: element.dataset.problem,
  text: element.querySelector('.verdicts').textContent,
  value: element.querySelector('input.value').value,
}));

async function savedBytes(page, t) {
  const saved = await savedFile(page, t, () => page.click('#ini-save'));
  assert.equal(saved.name, 'LumenveilHUD.ini');
  return saved.bytes;
}

test('a file copied from a web page', async (t) => {
  const { browser, close } = await launch();
  t.after(close);
  const { page, problems } = await openFixture(browser, path.join(FIXTURES, 'copied-from-a-web-page.ini'));

  await t.test('each problem is named where it stands, with what it does', async () => {
    const listed = await page.$$eval('#settings-problems li', (items) => items.map((item) => [item.dataset.line, item.textContent]));
    assert.deepEqual(listed.map(([line]) => line), ['3', '4', '5']);
    assert.match(listed[0][1], /names bShowInCombat without "=": the plugin finds it first and keeps the default 1 \(on\); line 8 is not read/);
    assert.match(listed[1][1], /iKeepHUDShownMS=5000⟨U\+00A0⟩.*A no-break space after 5000/);
    assert.match(listed[2][1], /A Ctrl-Z \(end-of-file mark\) after 1/);
    const cases = [
      // key, verdict, value the page gives, words the verdict must hold
      ['bShowInCombat', 'unsettled', '1', 'On Windows it is not established'],
      ['iKeepHUDShownMS', 'unsettled', '2000', 'Refused: only the digits 0 to 9 are read, and it holds a no-break space'],
      ['bShowIfJumping', 'unsettled', '1', 'see line 5'],
      ['iHUDToggle', 'warning', 'F1', 'F1 here is the hexadecimal code F1 = 241 (no key: unassigned or reserved); the F1 key is 70: write 70 or press the key'],
      ['iVehicleAimKeyDown', 'refused', '0', 'the F10 key is 79'],
      ['fShowBelowHealthPercent', 'ok', '25', 'The plugin uses 25.'],
    ];
    for (const [key, verdict, effective, words] of cases) {
      const found = await row(page, key);
      assert.equal(found.verdict, verdict, `${key}: ${found.text}`);
      assert.equal(found.effective, effective, `${key}: ${found.text}`);
      assert.ok(found.text.includes(words), `${key}: "${found.text}" lacks "${words}"`);
    }
    await screenshot(page, 'companion-settings');
  });

  await t.test('one click removes an invisible character, another a line that hides the real one', async () => {
    await page.click('#setting-iKeepHUDShownMS .problem button.fix');
    await page.waitForFunction(() => document.querySelector('#setting-iKeepHUDShownMS').dataset.verdict === 'ok');
    assert.deepEqual(await row(page, 'iKeepHUDShownMS').then((found) => [found.effective, found.value]), ['5000', '5000']);
    await page.click('#settings-problems li[data-line="3"] button.fix');
    await page.waitForFunction(() => document.querySelector('#setting-bShowInCombat').dataset.verdict === 'ok');
    const combat = await row(page, 'bShowInCombat');
    assert.equal(combat.effective, '0', combat.text);
    assert.equal(combat.value, '0');
  });

  await t.test('"Write 70" puts the F1 key\'s code in place of the name', async () => {
    await page.click('#setting-iHUDToggle .verdicts button.fix');
    await page.waitForFunction(() => document.querySelector('#setting-iHUDToggle').dataset.verdict === 'ok');
    const toggle = await row(page, 'iHUDToggle');
    assert.equal(toggle.value, '70');
    assert.match(toggle.text, /70 = 112 \(F1\)/);
  });

  await t.test('a switch has a checkbox beside its text, by mouse and by keyboard', async () => {
    await page.click('#setting-bShowIfOverencumbered input.switch');
    let found = await row(page, 'bShowIfOverencumbered');
    assert.deepEqual([found.value, found.effective, found.verdict], ['1', '1', 'ok']);
    await page.focus('#setting-bShowIfOverencumbered input.switch');
    await page.keyboard.press('Space');
    found = await row(page, 'bShowIfOverencumbered');
    assert.deepEqual([found.value, found.effective], ['0', '0']);
    const label = await page.$eval('#setting-bShowIfOverencumbered input.switch', (box) => box.closest('label').textContent.trim());
    assert.equal(label, 'on');
  });

  await t.test('"show only the settings with a problem" hides the others; the jump list leads to a group', async () => {
    await page.click('#settings-problems-only');
    const shown = await page.$$eval('.setting', (rows) => rows.filter((element) => element.offsetParent !== null).map((element) => element.dataset.key));
    const marked = await page.$$eval('.setting', (rows) => rows.filter((element) => element.dataset.problem === 'true').map((element) => element.dataset.key));
    assert.deepEqual(shown, marked);
    assert.deepEqual(shown.sort(), ['bShowIfJumping', 'iVehicleAimKeyDown']);
    await page.click('#settings-problems-only');
    const all = await page.$$eval('.setting', (rows) => rows.filter((element) => element.offsetParent !== null).length);
    assert.equal(all, 28);
    const links = await page.$$eval('.jump-list a', (anchors) => anchors.map((anchor) => [anchor.textContent, anchor.getAttribute('href')]));
    assert.equal(links.length, 8);
    await page.focus('.jump-list a[href="#group-toggle"]');
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => location.hash === '#group-toggle');
  });

  await t.test('the saved file has no problem, reads the same on Windows and Proton, and keeps LF endings', async () => {
    const bytes = await savedBytes(page, t);
    const text = bytes.toString('latin1');
    assert.ok(!text.includes('\r'), 'LF endings kept');
    assert.ok(!/[\u00a0\u001a]/.test(text), 'no invisible character left');
    const checked = checkSettings(readFileText(bytes));
    for (const key of checked.keys) {
      assert.ok(key.windows.settled, `${key.setting.key} settled on Windows`);
      assert.deepEqual(key.windows.readings[0].value, key.proton.value, key.setting.key);
    }
    const stored = Object.fromEntries(checked.keys.map((key) => [key.setting.key, key.proton.value]));
    assert.deepEqual([stored.bShowInCombat, stored.iKeepHUDShownMS, stored.iHUDToggle, stored.fShowBelowHealthPercent], [false, 5000, 112, 25]);
    // The Ctrl-Z was not fixed by a click: saving leaves it out all the same.
    assert.equal(stored.bShowIfJumping, true);
  });

  assert.deepEqual(problems, []);
});

test('files Windows and Proton read differently as a whole', async (t) => {
  const { browser, close } = await launch();
  t.after(close);

  await t.test('UTF-16 big-endian: Windows reads nothing; saving writes little-endian', async () => {
    const { page, problems } = await openFixture(browser, path.join(FIXTURES, 'ini', 'utf16-big-endian.ini'));
    const found = await row(page, 'iHUDToggle');
    assert.equal(found.verdict, 'differs');
    assert.match(found.text, /On Windows the plugin reads nothing of a UTF-16 big-endian file and uses the default 0 \(no key\)\. Under Proton: The plugin uses 70/);
    assert.match(await page.$eval('#settings-problems', (panel) => panel.textContent), /UTF-16 big-endian: Proton reads it, Windows reads nothing/);
    const bytes = await savedBytes(page, t);
    assert.deepEqual([...bytes.subarray(0, 2)], [0xff, 0xfe]);
    assert.deepEqual(problems, []);
  });

  await t.test('a UTF-8 mark on the header\'s line: named, and one click moves the header down', async () => {
    const { page, problems } = await openFixture(browser, path.join(FIXTURES, 'ini', 'utf8-mark-header-on-line-1.ini'));
    let found = await row(page, 'iKeepHUDShownMS');
    assert.equal(found.verdict, 'differs');
    assert.equal(found.text, 'On Windows: Not read from your file: the plugin uses the default 2000 ms. Under Proton: The plugin uses 5000 ms.');
    await page.click('#settings-problems li[data-line="1"] button.fix');
    await page.waitForFunction(() => document.querySelector('#setting-iKeepHUDShownMS').dataset.verdict === 'ok');
    found = await row(page, 'iKeepHUDShownMS');
    assert.equal(found.effective, '5000');
    assert.deepEqual(problems, []);
  });
});
