'use strict';
// The log report in headless Chromium from file://: a session of the
// simulated game gives the timeline's changes and reasons the simulator saw;
// bad files get their sentence and never a script error; a million-line log
// opens in a few seconds without freezing the page.

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { launch, openPage, chooseFile } = require('./support/browser');
const { screenshot } = require('./support/screenshots');
const { playSession, simulatorHudChanges } = require('./support/simulator');
const logFiles = require('./support/log-files');

const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'lumenveil-logs-'));
test.after(() => fs.rmSync(scratch, { recursive: true, force: true }));

function writeScratch(name, bytes) {
  const file = path.join(scratch, name);
  fs.writeFileSync(file, bytes);
  return file;
}

async function openLog(page, file, timeout = 60000) {
  await page.click('#tab-log');
  await page.$eval('#log-output', (output) => output.replaceChildren());
  await chooseFile(page, '#log-file', file);
  await page.waitForSelector('#log-output h2', { timeout });
}

const sentences = (page) => page.$$eval('#log-output .sentence', (items) => items.map((item) => item.textContent));

test('the log report', async (t) => {
  const { browser, close } = await launch();
  t.after(close);

  await t.test('a simulated session: the timeline has the changes and reasons the simulator recorded', async () => {
    const { stdout, record, log } = playSession();
    const expected = simulatorHudChanges(stdout, record);
    assert.ok(expected.length >= 8, `the simulator recorded ${expected.length} changes:\n${stdout}`);
    const { page, problems } = await openPage(browser, { width: 1200, height: 1000 });
    await openLog(page, writeScratch('session.log', log));
    const shown = await page.$$eval('#log-changes tr.change', (rows) => rows.map((row) => ({
      shown: row.dataset.shown === '1', reason: row.dataset.reasonMessage, time: row.cells[0].textContent })));
    assert.deepEqual(shown.map(({ shown: s, reason }) => ({ shown: s, reason })), expected.map(({ shown: s, reason }) => ({ shown: s, reason })));
    // The same moments: the game saw each change within a few frames of
    // the log line the page places it at.
    const seconds = (clock) => clock.split(':').reduce((total, part) => total * 60 + Number(part), 0);
    expected.forEach((change, index) => {
      const logged = seconds(shown[index].time);
      assert.ok(Math.abs(change.seconds - logged) < 0.1, `change ${index}: at ${change.seconds.toFixed(3)} s of the day in the game, ${logged.toFixed(3)} s in the page`);
    });
    const reasons = await page.$$eval('#log-reasons tbody tr', (rows) => rows.map((row) => row.dataset.reason));
    assert.deepEqual(reasons.sort(), ['IsWeaponDrawn', 'InventoryMenu opened', 'SubtitlesPlaying', 'Toggled ON', 'location discovered'].sort());
    const settingsRead = await page.$eval('#log-settings', (section) => section.textContent);
    assert.match(settingsRead, /bShowWhileWeaponDrawn\s*0/);
    await page.setViewport({ width: 1200, height: 900 });
    await page.$eval('#log-timeline', (section) => section.scrollIntoView());
    await page.evaluate(() => window.scrollBy(0, -330));
    await screenshot(page, 'companion-log');
    assert.deepEqual(problems, []);
  });

  await t.test('a file that is no usable log gets a sentence, and no script error', async () => {
    const session = fs.readFileSync(path.join(scratch, 'session.log'));
    const cut = session.subarray(0, session.indexOf('\n', Math.floor(session.length * 0.6)) - 12);
    const fatal = logFiles.start() + logFiles.line(20, 'ID.cpp:72', 'Failed to find address library file: \r\nData\\Zorvik\\Plugins\\versionlib-1-14-70-0.bin', 'critical');
    const bytes = Buffer.alloc(4096);
    for (let index = 0; index < bytes.length; index++) bytes[index] = (index * 7919) % 256;
    const cases = [
      ['logging-off.log', logFiles.start() + logFiles.line(50, 'UpdateHUD.cpp:196', '[UpdateHUD] result = [show] | UnityInProcess') + logFiles.settingsRead(3000, false), 'written with bLogging off'],
      ['truncated.log', cut, 'ends in the middle of a line'],
      ['other-plugin.log', logFiles.line(0, 'main.cpp:40', '[Load] Quietstep Sounds v2.1') + logFiles.line(9, 'sounds.cpp:12', 'footsteps ready'), 'written by another plugin'],
      ['binary.bin', bytes, 'not a text file'],
      ['empty.log', '', 'The file is empty'],
      ['notes.txt', 'Remember to buy milk.\nAnd bread.\n', 'none of its lines has the layout'],
      ['fatal.log', fatal, 'The plugin ended the game'],
    ];
    const { page, problems } = await openPage(browser);
    for (const [name, content, words] of cases) {
      await openLog(page, writeScratch(name, content));
      const found = await sentences(page);
      assert.ok(found.some((sentence) => sentence.includes(words)), `${name}: ${JSON.stringify(found)} lacks "${words}"`);
    }
    const fatalLine = await page.$eval('#log-fatal pre', (element) => element.textContent);
    assert.equal(fatalLine, 'Failed to find address library file: \nData\\Zorvik\\Plugins\\versionlib-1-14-70-0.bin');
    assert.deepEqual(problems, []);
  });

  await t.test('a log of a million lines opens in a few seconds and the page keeps answering', async () => {
    const file = writeScratch('million.log', logFiles.millionLineLog());
    const { page, problems } = await openPage(browser);
    // The longest time the page's thread went without running a timer.
    await page.evaluate(() => {
      window.longestPause = 0;
      let last = performance.now();
      setInterval(() => {
        const now = performance.now();
        window.longestPause = Math.max(window.longestPause, now - last);
        last = now;
      }, 20);
    });
    const started = Date.now();
    await openLog(page, file, 120000);
    const seconds = (Date.now() - started) / 1000;
    const longestPause = await page.evaluate(() => window.longestPause);
    const summary = (await sentences(page))[0];
    console.log(`1,000,000-line log (${(fs.statSync(file).size / 1e6).toFixed(0)} MB): report shown in ${seconds.toFixed(1)} s; ` +
      `longest pause of the page ${Math.round(longestPause)} ms`);
    assert.match(summary, /^1,000,000 lines/);
    assert.equal(await page.$eval('#log-output', (output) => output.dataset.readIn), 'worker');
    assert.ok(seconds < 30, `${seconds} s`);
    assert.ok(longestPause < 1000, `the page stood still for ${Math.round(longestPause)} ms`);
    assert.deepEqual(problems, []);
  });
});
