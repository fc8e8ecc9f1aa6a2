'use strict';
// The log report explains, in headless Chromium: every reason the plugin's
// sources can log for a change of the HUD reads in a player's words with
// the log's own word beside it; start-up errors and a fatal report's last
// line carry what they mean and what to do.

const test = require('node:test');
const assert = require('node:assert/strict');
const { launch, openPage } = require('./support/browser');
const { scratchFolder, openLog, sentences, allRows } = require('./support/log-page');
const { verdicts, events } = require('./support/plugin-reasons');
const { line, start } = require('./support/log-files');

const writeScratch = scratchFolder();

// A few reasons in the words a player should read; the rest must at least
// not be the log's word or the page's fallback for a reason it does not know.
const PLAYER_WORDS = [
  ['IsWeaponDrawn', 'a weapon is drawn'],
  ['HostileActorsNear', 'hostiles nearby'],
  ['IsInCombat', 'in combat'],
  ['SubtitlesPlaying', 'a subtitle is on screen'],
  ['HealthPercent', 'health is low'],
  ['[hide]', 'nothing asks for the HUD'],
  ['LocationTextEvent', 'a location was discovered'],
  ['MenuOpenCloseEvent [InventoryMenu] | abOpening [1]', 'the inventory opened'],
  ['MenuOpenCloseEvent [MonocleMenu] | abOpening [0]', 'the hand scanner closed'],
];

test('the log report explains', async (t) => {
  const { browser, close } = await launch();
  t.after(close);
  const { page, problems } = await openPage(browser);

  await t.test('every reason the plugin can log reads in a player\'s words, the log\'s word beside it', async () => {
    // Each reason, then a change of the HUD: shown after a show verdict or an
    // event, hidden after a hide verdict.
    const reasons = [...verdicts(), ...events()];
    let log = start();
    reasons.forEach((reason, index) => {
      const at = 1000 + index * 1000;
      const fn = reason.message.startsWith(' --> ') ? 'ProcessEvent' : 'UpdateHUD';
      log += line(at, 'Reason.cpp:1', `[${fn}] ${reason.message}`);
      log += line(at + 15, 'MenuGating.cpp:93', `[EnableMenusIfCan] result = [${reason.outcome === 'hide' ? 'DISABLE' : 'ENABLE'}]`);
    });
    await openLog(page, writeScratch('every-reason.log', log));
    const rows = await allRows(page, '#log-changes .table-scroll');
    assert.equal(rows.length, reasons.length);
    rows.forEach((row, index) => {
      const { logWord } = reasons[index];
      assert.equal(row.logWord, logWord);
      assert.ok(row.words && row.words !== logWord && !/the decision's reason|the game's event/.test(row.words), `${logWord}: "${row.words}"`);
      // The player's words stand in the cell before the log's word.
      assert.equal(row.cells[3], `${row.words} ${logWord}`);
    });
    const wordsOf = new Map(rows.map((row) => [row.logWord, row.words]));
    for (const [logWord, words] of PLAYER_WORDS) assert.equal(wordsOf.get(logWord), words, logWord);
    const small = await page.$eval('#log-changes .log-word', (element) => [getComputedStyle(element).fontSize, getComputedStyle(element.previousElementSibling).fontSize]);
    assert.ok(parseFloat(small[0]) < parseFloat(small[1]), `the log's word in ${small[0]}, the player's words in ${small[1]}`);
    // The shown periods' table speaks the same words.
    const totals = await page.$$eval('#log-reasons tbody tr', (items) => items.map((row) => [row.dataset.reason, row.querySelector('.words').textContent]));
    for (const [logWord, words] of totals) assert.equal(words, wordsOf.get(logWord), logWord);
  });

  await t.test('start-up errors and a fatal report say what they mean and what to do', async () => {
    const cases = [
      // a line of the log, level; words of its meaning and of what to do
      ['Failed to register messaging listener for Zorvik', 'error', 'the plugin stays loaded but never acts', 'install the Zorvik loader made for the game\'s exact version'],
      ['the HUD hook was not installed: the game\'s call at ID 153799 + 0x6F could not be made writable; the plugin acts only when the game\'s events reach it '
        + '(a menu opening shows the HUD, a subtitle ending or a menu closing may hide it), never on its own each frame', 'error',
        'could not change the game\'s per-frame call: its rules of each frame never run', 'security tool'],
      ['the sink of MenuOpenCloseEvent was not registered: the game gave no source of these events; the HUD will not answer them', 'error',
        'the game offered no source for these events when the plugin installed itself', 'the game and the address library are the exact versions this plugin is made for'],
      ['VirtualProtect failed with code: 0x00000005; the branch at 0x7FF6A1B2C3D4 was not written', 'error', '5 is access denied', 'security tool'],
      ['Failed to find address library file: \r\nData\\Zorvik\\Plugins\\versionlib-1-14-70-0.bin', 'critical',
        'no address-library file for this game version in Data\\Zorvik\\Plugins\\', 'install the address library that matches the game\'s exact version and store'],
      ['Address library version mismatch.\r\nExpected 1.14.70.0, found 1.15.2.0', 'critical', 'the file is for another game version', 'or the plugin version for your game'],
      ['unexpected code at the hooked call: ID 153799 + 0x6F holds 0xE9, not a call (0xE8)', 'critical', 'another plugin rewrote that call', 'disable other plugins that change the HUD'],
      ['failed to create trampoline', 'critical', 'no free memory near the game\'s code', 'restart the game; remove other plugins that hook a lot'],
      ['displacement is out of range', 'critical', 'one of the plugin\'s own checks failed', 'report it'],
    ];
    for (const [message, level, meaning, todo] of cases) {
      await openLog(page, writeScratch('start-up.log', start() + line(20, 'Main.cpp:120', message, level)));
      const shown = level === 'critical'
        ? await page.$eval('#log-fatal', (element) => ({ line: element.querySelector('pre').textContent, advice: element.querySelector('dl.advice').textContent }))
        : await page.$eval('#log-startup li.level-error', (element) => ({ line: element.textContent, advice: element.querySelector('dl.advice').textContent }));
      assert.ok(shown.line.includes(message.split('\r\n')[0]), `${message}: ${shown.line}`);
      const [, means, toDo] = /^What it means(.*)What to do(.*)$/s.exec(shown.advice) || [];
      assert.ok(means && means.includes(meaning) && toDo.includes(todo), `${message}: ${shown.advice}`);
      if (level === 'critical') {
        const found = await sentences(page);
        assert.ok(found.some((sentence) => sentence.startsWith('The plugin ended the game') && sentence.includes(meaning) && sentence.includes(todo)), JSON.stringify(found));
      }
    }
    // The plugin's ordinary start-up lines need no advice.
    await openLog(page, writeScratch('fine.log', start()));
    assert.equal(await page.$$eval('#log-startup dl.advice', (items) => items.length), 0);
  });

  assert.deepEqual(problems, []);
});
