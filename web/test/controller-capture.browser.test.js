'use strict';
// "Press a button…" beside iHUDToggleGamepad in headless Chromium, with
// controllers the test plays: the page is given a stand-in for the browser's
// getGamepads, pads of the standard layout whose buttons the test holds and
// lets go. A chord is taken when all its buttons are up; a single button
// too; a chord split across two pads is not one, nor one whose pad went away
// while it was held; without a controller the player is told to wake it; Esc
// and a second click cancel.

const test = require('node:test');
const assert = require('node:assert/strict');
const { launch, openPage } = require('./support/browser');

const KEY = 'iHUDToggleGamepad';
const BUTTON = `#setting-${KEY} button.capture`;
const STATUS = `#capture-status-${KEY}`;

// Indices of the standard gamepad layout, as browsers number its buttons.
const PAD = { A: 0, B: 1, X: 2, Y: 3, leftShoulder: 4, rightShoulder: 5, leftTrigger: 6, rightTrigger: 7, back: 8, start: 9, dpadUp: 12 };

// Before the page's script runs: four empty slots, as a browser gives them
// before any controller is woken; window.testPad connects a pad in a slot
// (the first unless told) and holds or lets go of its buttons.
function playController(page) {
  return page.evaluateOnNewDocument(() => {
    const slots = [null, null, null, null];
    const released = () => ({ pressed: false, touched: false, value: 0 });
    Object.defineProperty(Navigator.prototype, 'getGamepads', { configurable: true, value: () => slots.slice() });
    window.testPad = {
      connect(slot = 0) {
        slots[slot] = { id: 'Test pad (STANDARD GAMEPAD)', index: slot, connected: true, mapping: 'standard', timestamp: 0,
          axes: [0, 0, 0, 0], buttons: Array.from({ length: 17 }, released) };
        window.dispatchEvent(new Event('gamepadconnected'));
      },
      hold(indices, slot = 0) {
        for (const index of indices) slots[slot].buttons[index] = { pressed: true, touched: true, value: 1 };
      },
      letGo(indices, slot = 0) {
        for (const index of indices) slots[slot].buttons[index] = released();
      },
      disconnect(slot = 0) {
        slots[slot] = null;
        window.dispatchEvent(new Event('gamepaddisconnected'));
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
  const onPad = (slot, action, indices) => page.evaluate((which, held, where) => (held ? window.testPad[which](held, where) : window.testPad[which](where)),
    action, indices, slot);
  const escaped = (text) => text.replace(/[()+]/g, '\\$&');

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

  await t.test('a chord is read from one controller, the one pressed first; another\'s buttons are left out; a pad that goes away takes its buttons with it', async () => {
    await page.evaluate(() => window.testPad.connect(1));
    // What the status then says: the chord held, and whether it names buttons of the other pad left out.
    const holding = (held, other = false) => new RegExp(`^Holding ${escaped(held)}; let go to take it\\.${other ? ' Buttons held on another controller are left out: ' : '$'}`);
    const notRead = /^The plugin reads none of these buttons/;
    const cases = [
      // what, presses in order ([pad, hold or let go, buttons, what the page then says]), the mask written
      ['Back on the first pad, D-pad up on the second', [[0, 'hold', [PAD.back], holding('Back (0020)')], [1, 'hold', [PAD.dpadUp], holding('Back (0020)', true)],
        [1, 'letGo', [PAD.dpadUp], holding('Back (0020)')], [0, 'letGo', [PAD.back]]], '0020'],
      ['A on the second pad first, then B on the first; the second lets go first', [[1, 'hold', [PAD.A], holding('A (1000)')],
        [0, 'hold', [PAD.B], holding('A (1000)', true)], [1, 'letGo', [PAD.A]], [0, 'letGo', [PAD.B]]], '1000'],
      ['Back + D-pad up on the second pad alone', [[1, 'hold', [PAD.back], holding('Back (0020)')], [1, 'hold', [PAD.dpadUp], holding('Back + D-pad up (0021)')],
        [1, 'letGo', [PAD.back, PAD.dpadUp]]], '0021'],
      ['a trigger alone on the first pad, then Y on the second', [[0, 'hold', [PAD.leftTrigger], notRead], [0, 'letGo', [PAD.leftTrigger]],
        [1, 'hold', [PAD.Y], holding('Y (8000)')], [1, 'letGo', [PAD.Y]]], '8000'],
      // Last: the pads go away while a button is held, and the chord with them.
      ['Back on the second pad, which is disconnected; then X on the first', [[1, 'hold', [PAD.back], holding('Back (0020)')],
        [1, 'disconnect', undefined, /^The controller was disconnected: press the chord again\.$/], [0, 'hold', [PAD.X], holding('X (4000)')],
        [0, 'letGo', [PAD.X]]], '4000'],
      ['Back on the first pad, then no pad at all; the pad again, and Y', [[0, 'hold', [PAD.back], holding('Back (0020)')],
        [0, 'disconnect', undefined, /^No controller seen/], [0, 'connect', undefined, /^Press and hold the controller button/],
        [0, 'hold', [PAD.Y], holding('Y (8000)')], [0, 'letGo', [PAD.Y]]], '8000'],
    ];
    for (const [what, presses, mask] of cases) {
      await page.click(BUTTON);
      await statusSays(/^Press and hold the controller button/);
      for (const [slot, action, buttons, says] of presses) {
        await onPad(slot, action, buttons);
        if (says) await statusSays(says);
      }
      await statusSays(/^Taken: /);
      assert.match(await status(), new RegExp(`^Taken: ${mask}, `), what);
      assert.equal(await value(), mask, what);
    }
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
