'use strict';
// The settings view in headless Chromium from file://: a file with one bad
// value of each kind gets each verdict, keys and mouse buttons are captured
// as virtual-key codes, and the saved file is byte for byte the expected one;
// a switch's checkbox follows its text, and the jump list leads to each group.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { launch, openPage, chooseFile, savedFile } = require('./support/browser');

const FIXTURES = path.join(__dirname, 'fixtures');

test('the settings view', async (t) => {
  const { browser, close } = await launch();
  t.after(close);
  const { page, problems } = await openPage(browser, { width: 1200, height: 1100 });
  await chooseFile(page, '#ini-file', path.join(FIXTURES, 'one-bad-value-of-each-kind.ini'));
  await page.waitForFunction(() => document.querySelector('#settings-summary').textContent.includes('one-bad-value-of-each-kind.ini'));

  const row = (key) => page.$eval(`#setting-${key}`, (element) => ({
    verdict: element.dataset.verdict,
    effective: element.dataset.effective,
    text: element.querySelector('.verdicts').textContent,
  }));

  await t.test('each kind of bad value gets its verdict and the value the plugin uses', async () => {
    const cases = [
      // key, verdict, value the plugin stores, words the verdict must hold
      ['bShowInCombat', 'misread', '0', 'reads as off'],
      ['bShowWhileSneaking', 'refused', '1', 'Empty value'],
      ['iKeepHUDShownMS', 'refused', '2000', '10001 is out of range (0 to 10000)'],
      ['iKeepHUDShownLongMS', 'refused', '7500', 'only the digits 0 to 9 are read, and it holds "s"'],
      ['fShowBelowHealthPercent', 'refused', '-1', 'an exponent'],
      ['fShowBelowOxygenPercent', 'ok', '30', 'uses 30'],
      ['iMenuOverriderShipHUDMenu', 'refused', '1', '2 is neither 0 nor 1'],
      ['iHUDToggle', 'refused', '0', '0x112 = 274, out of range 1 to FF (hexadecimal; for the decimal 112 write 70)'],
      ['iVehicleAimKeyDown', 'ok', '05', 'mouse button 4'],
      ['bShowIfJumping', 'missing', '0', 'Not read from your file'],
    ];
    for (const [key, verdict, effective, words] of cases) {
      const found = await row(key);
      assert.equal(found.verdict, verdict, `${key}: ${found.text}`);
      assert.equal(found.effective, effective, `${key}: ${found.text}`);
      assert.ok(found.text.includes(words), `${key}: "${found.text}" lacks "${words}"`);
    }
    const summary = await page.$eval('#settings-summary', (element) => element.textContent);
    assert.match(summary, /7 settings with a problem/);
  });

  await t.test('lines the plugin never reads are named, with the occurrence it reads', async () => {
    const unread = await page.$$eval('#settings-unread li', (items) => items.map((item) => [item.dataset.line, item.querySelector('.why').textContent.trim()]));
    assert.deepEqual(unread, [
      ['13', '"iKeepHUDShownLong" is no key of the plugin; did you mean iKeepHUDShownLongMS?'],
      ['14', '"bShowWhenSwimming" is no key of the plugin'],
      ['15', 'iKeepHUDShownMS written again: the plugin reads the first one, line 5'],
      ['17', 'a line of section [Display], which the plugin does not read'],
    ]);
    const twice = await row('iKeepHUDShownMS');
    assert.ok(twice.text.includes('line 5 is read, line 15 not'), twice.text);
  });

  await t.test('a pressed key or mouse button becomes its virtual-key code', async () => {
    const captures = [
      ['iHUDToggle', { key: 'KeyA' }, '41', 'A'],
      ['iHUDToggle', { key: 'Numpad5' }, '65', 'numeric keypad 5'],
      ['iHUDToggle', { key: 'Escape' }, '1B', 'Esc'],
      ['iHUDToggle', { key: 'F1' }, '70', 'F1'],
      ['iVehicleAimKeyDown', { button: 'middle' }, '04', 'middle mouse button'],
      ['iVehicleAimKeyDown', { button: 'back' }, '05', 'mouse button 4'],
      ['iVehicleAimKeyDown', { button: 'right' }, '02', 'right mouse button'],
    ];
    for (const [key, press, code, name] of captures) {
      await page.click(`#setting-${key} button.capture`);
      await page.waitForSelector('.capture-area');
      if (press.key) {
        await page.keyboard.press(press.key);
      } else {
        const area = await page.$('.capture-area');
        const box = await area.boundingBox();
        await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
        await page.mouse.down({ button: press.button });
        await page.mouse.up({ button: press.button });
      }
      await page.waitForFunction(() => !document.querySelector('.capture-area'));
      const value = await page.$eval(`#setting-${key} input.value`, (input) => input.value);
      const found = await row(key);
      assert.equal(value, code, `${JSON.stringify(press)} for ${key}`);
      assert.ok(found.text.includes(`${code} = ${parseInt(code, 16)} (${name})`), found.text);
    }
  });

  await t.test('saving writes the shipped layout with the player\'s values and keeps what the player did not drop', async () => {
    await page.click('#settings-unread li[data-line="13"] input[type=checkbox]');
    const saved = await savedFile(page, t, () => page.click('#ini-save'));
    assert.equal(saved.name, 'LumenveilHUD.ini');
    assert.deepEqual(saved.bytes, fs.readFileSync(path.join(FIXTURES, 'one-bad-value-of-each-kind.saved.ini')));
  });

  await t.test('a switch\'s checkbox follows the text typed beside it, as the plugin reads that text', async () => {
    const cases = [
      // key, text typed, the checkbox ticked, the value the plugin uses
      ['bShowInCombat', '1', true, '1'],
      ['bShowInCombat', '0', false, '0'],
      ['bShowInCombat', '', true, '1'], // empty: the default, on
      ['bShowInCombat', 'yes', false, '0'], // only 1 is on
      ['bShowInCombat', '1', true, '1'],
      ['bShowInCombat', '2', false, '0'],
      ['bShowIfJumping', '1', true, '1'], // not in the file: the line is written
      ['bShowIfJumping', '', false, '0'], // empty: the default, off
      ['iMenuOverriderShipHUDMenu', '0', false, '0'],
      ['iMenuOverriderShipHUDMenu', '2', true, '1'], // refused: the default, shows the HUD
      ['iMenuOverriderShipHUDMenu', '1', true, '1'],
      ['iMenuOverriderShipHUDMenu', 'off', true, '1'],
    ];
    for (const [key, typed, ticked, effective] of cases) {
      await page.focus(`#setting-${key} input.value`);
      await page.keyboard.down('Control');
      await page.keyboard.press('KeyA');
      await page.keyboard.up('Control');
      if (typed === '') await page.keyboard.press('Backspace'); else await page.keyboard.type(typed);
      const found = await page.$eval(`#setting-${key}`, (element) => ({ ticked: element.querySelector('input.switch').checked, effective: element.dataset.effective,
        text: element.querySelector('input.value').value }));
      assert.equal(found.text, typed, key);
      assert.deepEqual([found.ticked, found.effective], [ticked, effective], `${key}="${typed}"`);
    }
  });

  await t.test('a link of the jump list takes the focus and the view to its group', async () => {
    const links = await page.$$eval('.jump-list a', (anchors) => anchors.map((anchor) => anchor.getAttribute('href')));
    assert.equal(links.length, 8);
    for (const href of links) {
      await page.focus(`.jump-list a[href="${href}"]`);
      await page.keyboard.press('Enter');
      await page.waitForFunction((wanted) => location.hash === wanted, {}, href);
      const found = await page.evaluate(() => {
        const heading = document.activeElement.querySelector('h2');
        return { focused: `#${document.activeElement.id}`, heading: heading && heading.getBoundingClientRect().toJSON(),
          top: document.activeElement.getBoundingClientRect().top, height: innerHeight, atEnd: scrollY >= document.documentElement.scrollHeight - innerHeight - 1 };
      });
      assert.equal(found.focused, href);
      assert.ok(found.heading && found.heading.top >= 0 && found.heading.bottom <= found.height, `${href}: its heading is out of view: ${JSON.stringify(found)}`);
      // Scrolled to the group's top unless the page ends before it can be.
      assert.ok(Math.abs(found.top) < 2 || found.atEnd, `${href}: the group starts ${found.top} px from the top of the view`);
      // Tab goes on from the group, to its first control.
      await page.keyboard.press('Tab');
      assert.equal(await page.evaluate(() => `#${(document.activeElement.closest('section.group') || {}).id}`), href);
    }
  });

  assert.deepEqual(problems, []);
});
