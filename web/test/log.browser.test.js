'use strict';
// The log report in headless Chromium from file://: a session of the
// simulated game gives the changes and reasons the simulator saw; a log
// saved again with other line ends or as UTF-16 reads as the same log; bad
// files get their sentence and never a script error.

const test = require('node:test');
const assert = require('node:assert/strict');
const { launch, openPage } = require('./support/browser');
const { screenshot } = require('./support/screenshots');
const { playSession, simulatorHudChanges } = require('./support/simulator');
const { scratchFolder, openLog, sentences, allRows } = require('./support/log-page');
const logFiles = require('./support/log-files');

const writeScratch = scratchFolder();

test('the log report', async (t) => {
  const { browser, close } = await launch();
  t.after(close);
  let session;

  await t.test('a simulated session: the changes and reasons are the ones the simulator recorded', async () => {
    const { stdout, record, log } = playSession();
    session = log;
    const expected = simulatorHudChanges(stdout, record);
    assert.ok(expected.length >= 8, `the simulator recorded ${expected.length} changes:\n${stdout}`);
    const { page, problems } = await openPage(browser, { width: 1200, height: 1000 });
    await openLog(page, writeScratch('session.log', log));
    const shown = (await allRows(page, '#log-changes .table-scroll')).map((row) => ({
      shown: row.data.shown === '1', reason: row.data.reasonMessage, time: row.cells[0] }));
    assert.deepEqual(shown.map(({ shown: s, reason }) => ({ shown: s, reason })), expected.map(({ shown: s, reason }) => ({ shown: s, reason })));
    // The same moments: the game saw each change within a few frames of
    // the log line the page places it at.
    const seconds = (clock) => clock.split(':').reduce((total, part) => total * 60 + Number(part), 0);
    expected.forEach((change, index) => {
      const logged = seconds(shown[index].time);
      assert.ok(Math.abs(change.seconds - logged) < 0.1, `change ${index}: at ${change.seconds.toFixed(3)} s of the day in the game, ${logged.toFixed(3)} s in the page`);
    });
    const reasons = await page.$$eval('#log-reasons tbody tr', (rows) => rows.map((row) => [row.dataset.reason, row.querySelector('.words').textContent]));
    assert.deepEqual(reasons.sort(), [
      ['IsWeaponDrawn', 'a weapon is drawn'],
      ['LocationTextEvent', 'a location was discovered'],
      ['MenuOpenCloseEvent [InventoryMenu] | abOpening [1]', 'the inventory opened'],
      ['SubtitlesPlaying', 'a subtitle is on screen'],
      ['Toggled ON', 'the toggle key turned the HUD on'],
    ].sort());
    const settingsRead = await page.$eval('#log-settings', (section) => section.textContent);
    assert.match(settingsRead, /bShowWhileWeaponDrawn\s*0/);
    // Each setting a scenario's edit of the settings file changed, in the
    // simulator's words, is one the page names, and no other. The tour saves
    // the file once while playing, turning the weapon rule back on.
    const edits = stdout.split(/\r?\n/).map((text) => /(settings file changed: .*?)\s*$/.exec(text)).filter(Boolean).map((match) => match[1]);
    assert.ok(edits.includes('settings file changed: bShowWhileWeaponDrawn 0 -> 1'), `the simulator's edits of the settings file: ${JSON.stringify(edits)}`);
    assert.deepEqual(await page.$$eval('#log-settings .reload-changes li', (items) => items.map((item) => item.textContent)), edits);
    await page.setViewport({ width: 1200, height: 900 });
    await page.$eval('#log-timeline', (section) => section.scrollIntoView());
    await page.evaluate(() => window.scrollBy(0, -330));
    // The picture shows what pointing at the band tells: the second shown period.
    const canvas = await (await page.$('#timeline')).boundingBox();
    for (let x = canvas.x + canvas.width - 20; x > canvas.x; x -= 4) {
      await page.mouse.move(x, canvas.y + 51);
      const tip = await page.$eval('#timeline-tip', (element) => (element.hidden ? '' : element.textContent));
      if (tip.startsWith('Shown: the inventory')) break;
    }
    await screenshot(page, 'companion-log');
    assert.deepEqual(problems, []);
  });

  await t.test('a log saved again with CR CR LF line ends or as UTF-16 reads as the same log', async () => {
    const { page, problems } = await openPage(browser);
    const changesOf = async (name, bytes) => {
      await openLog(page, writeScratch(name, bytes));
      return { changes: await allRows(page, '#log-changes .table-scroll'), sentences: await sentences(page) };
    };
    const asWritten = await changesOf('as-written.log', session);
    assert.ok(asWritten.changes.length >= 8);
    const text = session.toString('utf8');
    const utf16 = (content, order) => {
      const bytes = Buffer.from(`\ufeff${content}`, 'utf16le');
      return order === 'big' ? bytes.swap16() : bytes;
    };
    const cases = [
      ['cr-cr-lf.log', Buffer.from(text.replace(/\r\n/g, '\r\r\n'), 'utf8'), null],
      ['utf-16-le.log', utf16(text, 'little'), 'saved again as UTF-16 little-endian'],
      ['utf-16-be.log', utf16(text, 'big'), 'saved again as UTF-16 big-endian'],
      ['utf-16-le-cr-cr-lf.log', utf16(text.replace(/\r\n/g, '\r\r\n'), 'little'), 'saved again as UTF-16 little-endian'],
    ];
    for (const [name, bytes, named] of cases) {
      const found = await changesOf(name, bytes);
      assert.deepEqual(found.changes, asWritten.changes, name);
      assert.equal(found.sentences[0], asWritten.sentences[0], name);
      if (named) assert.ok(found.sentences.some((line) => line.includes(named)), `${name}: ${JSON.stringify(found.sentences)}`);
      assert.ok(!found.sentences.some((line) => /not a text file|cut short|beginning is missing/.test(line)), `${name}: ${JSON.stringify(found.sentences)}`);
    }
    assert.deepEqual(problems, []);
  });

  await t.test('a file that is no usable log gets a sentence, and no script error', async () => {
    const cut = session.subarray(0, session.indexOf('\n', Math.floor(session.length * 0.6)) - 12);
    const bytes = Buffer.alloc(4096);
    for (let index = 0; index < bytes.length; index++) bytes[index] = (index * 7919) % 256;
    const cases = [
      ['logging-off.log', logFiles.start() + logFiles.line(50, 'UpdateHUD.cpp:196', '[UpdateHUD] result = [show] | UnityInProcess') + logFiles.settingsRead(3000, false), 'written with bLogging off'],
      ['truncated.log', cut, 'ends in the middle of a line'],
      ['other-plugin.log', logFiles.line(0, 'main.cpp:40', '[Load] Quietstep Sounds v2.1') + logFiles.line(9, 'sounds.cpp:12', 'footsteps ready'), 'written by another plugin'],
      ['binary.bin', bytes, 'not a text file'],
      ['empty.log', '', 'The file is empty'],
      ['notes.txt', 'Remember to buy milk.\nAnd bread.\n', 'none of its lines has the layout'],
    ];
    const { page, problems } = await openPage(browser);
    for (const [name, content, words] of cases) {
      await openLog(page, writeScratch(name, content));
      const found = await sentences(page);
      assert.ok(found.some((sentence) => sentence.includes(words)), `${name}: ${JSON.stringify(found)} lacks "${words}"`);
    }
    assert.deepEqual(problems, []);
  });
});
