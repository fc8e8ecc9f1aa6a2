'use strict';
// "Press a button…" beside iHUDToggleGamepad in headless Chromium, with a
// controller the test plays: the page is given a stand-in for the browser's
// getGamepads, a pad of the standard layout whose buttons the test holds and
// lets go. A chord is taken when all its buttons are up; a single button
// too; without a controller the player is told to wake it; Esc and a second
// click cancel.

const test = require('node:test');
const assert = require('node:assert/strict');
const { launch, openPage } = require('./support/browser');

const KEY = 'iHUDToggleGamepad';
const BUTTON = `#setting-${KEY} button.capture`;
const STATUS = `#capture-status-${KEY}`;

// Indices of the standard gamepad layout, as browsers number its buttons.
const PAD = { A: 0, B: 1, X: 2, Y: 3, leftShoulder: 4, rightShoulder: 5, leftTrigger: 6, rightTrigger: 7, back: 8, start: 9, dpadUp: 12 };

// Before the page's script runs: four empty slots, as a browser gives them
// before any controller is woken; window.testPad connects one and holds or
// lets go of its buttons.
function playController(page) {
  return page.evaluateOnNewDocument(() => {
    const slots = [null, null, null, null];
    const released = () => ({ pressed: false, touched: false, value: 0 });
    Object.defineProperty(Navigator.prototype, 'getGamepads', { configurable: true, value: () => slots.slice() });
    window.testPad = {
      connect() {
        slots[0] = { id: 'Test pad (STANDARD GAMEPAD)', index: 0, connected: true, mapping: 'standard', timestamp: 0,
          axes: [0, 0, 0, 0], buttons: Array.from({ length: 17 }, released) };
        window.dispatchEvent(new Event('gamepadconnected'));
      },
      hold(indices) {
        for (const index of indices) slots[0].buttons[index] = { pressed: true, touched: true, value: 1 };
      },
      letGo(indices) {
        for (const index of indices) slots[0].buttons[index] = released();
      },
    };
  });
}

test('capturing a controller chord', async (t) => {
  const { browser, close } = await launch();
  t.after(close);
  const { page, problems } = await openPage(browser, { beforeLoad: playController });
  const status = () => page.$eval(STATUS, (element) => element.textContent);
  const statusSays = (pattern) => page.waitForFunction((selector, source) => new RegExp(source).test(document.querySelector(selector).textContent),
    { timeout: 10000 }, STATUS, pattern.source).catch(async () => assert.fail(`the status says "${await status()}", not ${pattern}`));
  const value = () => page.$eval(`#setting-${KEY} input.value`, (input) => input.value);
  const hold = (...indices) => page.evaluate((held) => window.testPad.hold(held), indices);
  const letGo = (...indices) => page.evaluate((held) => window.testPad.letGo(held), indices);

  await t.test('without a controller the player is told to wake it; a woken one is taken', async () => {
    await page.click(BUTTON);
    await statusSays(/No controller seen: press any button on the controller to wake it/);
    await page.evaluate(() => window.testPad.connect());
    await hold(PAD.Y);
    await statusSays(/^Holding Y \(8000\)/);
    await letGo(PAD.Y);
    await statusSays(/^Taken: 8000, Y\.$/);
    assert.equal(await value(), '8000');
  });

  await t.test('a chord or a single button becomes its mask once every button is let go', async () => {
    const cases = [
      // what, presses in order ([hold or let go, buttons, what the page then says it holds]), the mask written, its buttons
      ['Back, then D-pad up, let go in turn', [['hold', [PAD.back], 'Back (0020)'], ['hold', [PAD.dpadUp], 'Back + D-pad up (0021)'],
        ['letGo', [PAD.dpadUp]], ['letGo', [PAD.back]]], '0021', 'Back + D-pad up'],
      ['the A button alone', [['hold', [PAD.A], 'A (1000)'], ['letGo', [PAD.A]]], '1000', 'A'],
      ['both shoulders together, let go together', [['hold', [PAD.leftShoulder, PAD.rightShoulder], 'left shoulder + right shoulder (0300)'],
        ['letGo', [PAD.leftShoulder, PAD.rightShoulder]]], '0300', 'left shoulder + right shoulder'],
      ['Start and B with a trigger, which no mask holds', [['hold', [PAD.start, PAD.leftTrigger], 'Start (0010)'], ['hold', [PAD.B], 'Start + B (2010)'],
        ['letGo', [PAD.start, PAD.leftTrigger, PAD.B]]], '2010', 'Start + B'],
    ];
    const escaped = (text) => text.replace(/[()+]/g, '\\$&');
    for (const [what, presses, mask, names] of cases) {
      const before = await value();
      await page.click(BUTTON);
      await statusSays(/^Press and hold the controller button/);
      for (const [action, buttons, held] of presses) {
        await (action === 'hold' ? hold : letGo)(...buttons);
        if (held) await statusSays(new RegExp(`^Holding ${escaped(held)};`));
      }
      await statusSays(new RegExp(`^Taken: ${mask}, `));
      assert.equal(await status(), `Taken: ${mask}, ${names}.`, what);
      assert.notEqual(before, mask, `${what}: the value was ${mask} before the capture`);
      assert.equal(await value(), mask, what);
      const row = await page.$eval(`#setting-${KEY}`, (element) => ({ verdict: element.dataset.verdict, text: element.querySelector('.verdicts').textContent }));
      assert.equal(row.verdict, 'ok', `${what}: ${row.text}`);
      assert.ok(row.text.includes(`${mask} (${names})`), `${what}: ${row.text}`);
    }
  });

  await t.test('nothing is written while a button of the chord is still held', async () => {
    const before = await value();
    await page.click(BUTTON);
    await hold(PAD.back, PAD.X);
    await statusSays(/^Holding Back \+ X \(4020\); let go to take it\.$/);
    await letGo(PAD.back);
    await statusSays(/^Holding Back \+ X/);
    assert.equal(await value(), before);
    await letGo(PAD.X);
    await statusSays(/^Taken: 4020, /);
    assert.equal(await value(), '4020');
  });

  await t.test('Esc or a second click cancels, and the next capture starts afresh', async () => {
    const before = await value();
    for (const cancel of [() => page.keyboard.press('Escape'), () => page.click(BUTTON)]) {
      await page.click(BUTTON);
      await hold(PAD.leftShoulder);
      await statusSays(/^Holding left shoulder/);
      await cancel();
      await statusSays(/^Capture cancelled; the value is unchanged\.$/);
      assert.equal(await page.$eval(BUTTON, (element) => element.textContent), 'Press a button…');
      await letGo(PAD.leftShoulder);
      assert.equal(await value(), before);
    }
    // The shoulder held before the cancel is no part of the next chord.
    await page.click(BUTTON);
    await hold(PAD.X);
    await statusSays(/^Holding X/);
    await letGo(PAD.X);
    await statusSays(/^Taken: 4000, X\.$/);
    assert.equal(await value(), '4000');
  });

  assert.deepEqual(problems, []);
});
