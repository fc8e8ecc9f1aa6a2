'use strict';
// The timeline in headless Chromium, read from what it draws and shows: the
// labels of changes that showed the HUD are never crowded out by those of
// changes that hid it, pointing at a period tells its reason, start and
// length, the time before the plugin's first change is the game's shown HUD,
// and no axis label is cut at the canvas's edge; a reading of the changed
// settings file is marked with what it changed.

const test = require('node:test');
const assert = require('node:assert/strict');
const { launch, openPage } = require('./support/browser');
const { scratchFolder, openLog, sentences, recordCanvasTexts } = require('./support/log-page');
const { line, start, settingsRead, fileChangeRead } = require('./support/log-files');

const writeScratch = scratchFolder();

// From 21:00:00 to 21:00:30.05: the HUD is the game's for 5 s, then every
// 6 s the plugin hides it and 0.6 s later shows it for a reason of its own,
// so each hidden label, drawn first from the left, would cover the next
// shown one. The log ends just past the axis's last tick, 21:00:30.
const SHOWN = [['IsWeaponDrawn', 'a weapon is drawn'], ['HostileActorsNear', 'hostiles nearby'], ['IsInCombat', 'in combat'], ['IsSneaking', 'sneaking']];
const decision = (at, message) => line(at, 'UpdateHUD.cpp:230', `[UpdateHUD] ${message}`);
const change = (at, shown) => line(at, 'MenuGating.cpp:93', `[EnableMenusIfCan] result = [${shown ? 'ENABLE' : 'DISABLE'}]`);

function timelineLog() {
  let log = start();
  SHOWN.forEach(([logWord], index) => {
    const at = 5000 + index * 6000;
    log += decision(at - 15, 'result = [hide]') + change(at, false) + decision(at + 585, `result = [show] | ${logWord}`) + change(at + 600, true);
  });
  return log + decision(30050, 'result = [exit] | RecentLastUpdate');
}

// The periods the log holds, as the page should tell them: how the text
// begins, the start and the length.
const PERIODS = [
  ['Shown by the game:', '21:00:00.000', '5.0 s'],
  ...SHOWN.flatMap(([logWord, words], index) => {
    const at = 5 + index * 6;
    const clock = (seconds) => `21:00:${String(Math.floor(seconds)).padStart(2, '0')}.${String(Math.round((seconds % 1) * 1000)).padStart(3, '0')}`;
    const shownFor = index + 1 < SHOWN.length ? '5.4 s' : `${(30.05 - at - 0.6).toFixed(1)} s`;
    return [['Hidden: nothing asks for the HUD ([hide])', clock(at), '0.6 s'], [`Shown: ${words} (${logWord})`, clock(at + 0.6), shownFor]];
  }),
];

test('the timeline', async (t) => {
  const { browser, close } = await launch();
  t.after(close);
  const { page, problems } = await openPage(browser, { width: 1400, height: 900, beforeLoad: recordCanvasTexts });
  await openLog(page, writeScratch('timeline.log', timelineLog()));
  const drawn = () => page.evaluate(() => window.drawnTexts());
  const tip = () => page.$eval('#timeline-tip', (element) => (element.hidden ? null : element.textContent));
  // Where pointing told each text: a point of each period on the canvas.
  let pointedAt = new Map();

  await t.test('every shown change has its label; hidden labels only take the room left', async () => {
    const texts = await drawn();
    const labels = texts.filter((text) => /^(shown|hidden)/.test(text.text));
    for (const [, words] of SHOWN) assert.ok(labels.some((label) => label.text === `shown: ${words}`), `no label "shown: ${words}" among ${JSON.stringify(labels.map((label) => label.text))}`);
    assert.ok(labels.some((label) => label.text === 'shown by the game'));
    const sorted = [...labels].sort((a, b) => a.x - b.x);
    sorted.slice(1).forEach((label, index) => assert.ok(label.x >= sorted[index].x + sorted[index].width, `"${label.text}" overlaps "${sorted[index].text}"`));
  });

  await t.test('no axis label is cut at either end, the last tick\'s included', async () => {
    const axis = (await drawn()).filter((text) => /^\d\d:\d\d:\d\d/.test(text.text));
    assert.ok(axis.some((text) => text.text === '21:00:30'), JSON.stringify(axis.map((text) => text.text)));
    for (const text of axis) assert.ok(text.x >= 0 && text.x + text.width <= text.canvasWidth, `"${text.text}" drawn from ${text.x} to ${text.x + text.width} on a canvas ${text.canvasWidth} wide`);
  });

  await t.test('pointing at the band tells each period\'s reason, start and length', async () => {
    const box = await (await page.$('#timeline')).boundingBox();
    // The band's height on the canvas: where pointing tells anything.
    let bandY = null;
    for (let y = box.y; y < box.y + box.height && bandY === null; y += 3) {
      await page.mouse.move(box.x + box.width / 2, y);
      if (await tip()) bandY = y;
    }
    assert.notEqual(bandY, null, 'pointing anywhere on the canvas told nothing');
    const told = new Map();
    for (let x = box.x; x < box.x + box.width; x += 6) {
      await page.mouse.move(x, bandY + 4);
      const text = await tip();
      if (text && !told.has(text)) told.set(text, { x: x - box.x, y: bandY + 4 - box.y });
    }
    pointedAt = told;
    for (const [reason, from, length] of PERIODS) {
      const wanted = (text) => text.startsWith(reason) && text.endsWith(`, from ${from} for ${length}`);
      assert.ok([...told.keys()].some(wanted), `"${reason} … from ${from} for ${length}" not among ${JSON.stringify([...told.keys()])}`);
    }
    await page.mouse.move(box.x + 5, box.y + box.height - 5);
    assert.equal(await tip(), null, 'the tip stays after the pointer left the band');
  });

  await t.test('before the plugin\'s first change the band is the game\'s shown HUD, not hidden', async () => {
    const where = (kind) => [...pointedAt].find(([text]) => text.startsWith(kind))[1];
    const colourAt = ({ x, y }) => page.$eval('#timeline', (canvas, at) => {
      const ratio = canvas.width / canvas.clientWidth;
      return [...canvas.getContext('2d').getImageData(Math.round(at.x * ratio), Math.round(at.y * ratio), 1, 1).data.slice(0, 3)];
    }, { x: x + 3, y });
    const [game, hidden, shown] = [await colourAt(where('Shown by the game')), await colourAt(where('Hidden')), await colourAt(where('Shown:'))];
    const greenish = ([red, green, blue]) => green > red + 20 && green > blue + 20;
    assert.ok(greenish(shown) && !greenish(hidden), `shown ${shown}, hidden ${hidden}`);
    assert.ok(greenish(game), `the game's period drawn ${game}, a hidden one ${hidden}`);
    assert.notDeepEqual(game, hidden);
  });

  assert.deepEqual(problems, []);
});

// A save load at 21:00:01, then the settings file changed twice: at
// 21:00:05 one setting, at 21:00:20, the log's end, three.
function reloadsLog() {
  return start() + settingsRead(1000, true) +
    decision(2000, 'result = [show] | IsWeaponDrawn') + change(2015, true) +
    fileChangeRead(5000, [['bLogging', 1], ['bShowInCombat', 1], ['iKeepHUDShownMS', 5000]]) +
    fileChangeRead(20000, [['bLogging', 0], ['bShowInCombat', 0], ['iKeepHUDShownMS', 2000]], 'CheckSettingsFile') +
    line(20002, 'Settings.cpp:173', '[ReloadINI] logging was requested to be turned off');
}

test('the changes of the settings file on the timeline and among the readings', async (t) => {
  const { browser, close } = await launch();
  t.after(close);
  const { page, problems } = await openPage(browser, { width: 1400, height: 900, beforeLoad: recordCanvasTexts });
  await openLog(page, writeScratch('reloads.log', reloadsLog()));
  const tip = () => page.$eval('#timeline-tip', (element) => (element.hidden ? null : element.textContent));

  const labels = (await page.evaluate(() => window.drawnTexts())).filter((text) => text.text.startsWith('settings file changed'));
  assert.deepEqual(labels.map((label) => label.text), [
    'settings file changed: iKeepHUDShownMS 2000 -> 5000',
    'settings file changed: bLogging 1 -> 0 and 2 more',
  ]);
  const rowTitle = (await page.evaluate(() => window.drawnTexts())).find((text) => text.text === 'settings file');
  assert.ok(rowTitle, 'no row titled "settings file"');
  // Each label on the row's line: the last one, near the log's end, before its mark.
  labels.forEach((label) => assert.ok(Math.abs(label.y - rowTitle.y) <= 2, `"${label.text}" drawn at y ${label.y}, its row at ${rowTitle.y}`));
  // The marks: runs of their colour along the row, read from the canvas.
  const marks = await page.$eval('#timeline', (canvas, y) => {
    const ratio = canvas.width / canvas.clientWidth;
    const { data } = canvas.getContext('2d').getImageData(0, Math.round(y * ratio), canvas.width, 1);
    const found = [];
    for (let at = 0; at < canvas.width; at++) {
      const [red, green, blue] = data.slice(at * 4, at * 4 + 3);
      const mark = Math.abs(red - 0x0b) < 8 && Math.abs(green - 0x72) < 8 && Math.abs(blue - 0x85) < 8;
      if (mark && (found.length === 0 || at / ratio - found[found.length - 1] > 3)) found.push(at / ratio);
    }
    return found;
  }, rowTitle.y - 4);
  assert.equal(marks.length, 2, `marks on the settings file's row at ${JSON.stringify(marks)}`);
  const box = await (await page.$('#timeline')).boundingBox();
  const told = [];
  for (const mark of marks) {
    await page.mouse.move(box.x + mark + 1, box.y + rowTitle.y - 4);
    told.push(await tip());
  }
  assert.deepEqual(told, [
    '21:00:05.000: settings file changed: iKeepHUDShownMS 2000 -> 5000',
    '21:00:20.000: settings file changed: bLogging 1 -> 0; settings file changed: bShowInCombat 1 -> 0; settings file changed: iKeepHUDShownMS 5000 -> 2000',
  ]);

  const readings = await page.$$eval('#log-settings details', (items) => items.map((item) => item.querySelector('summary').textContent));
  assert.deepEqual(readings, [
    '21:00:01.001: a save was loaded; 3 values',
    '21:00:05.000: the settings file changed (1 setting changed); 3 values',
    '21:00:20.000: the settings file changed (3 settings changed); 3 values, logging turned off',
  ]);
  const last = await page.$eval('#log-settings details:last-of-type', (item) => ({
    changes: [...item.querySelectorAll('.reload-changes li')].map((entry) => entry.textContent),
    changed: [...item.querySelectorAll('tr.changed')].map((row) => row.textContent),
  }));
  assert.deepEqual(last.changes, ['settings file changed: bLogging 1 -> 0', 'settings file changed: bShowInCombat 1 -> 0', 'settings file changed: iKeepHUDShownMS 5000 -> 2000']);
  assert.deepEqual(last.changed, ['bLogging0 (was 1)', 'bShowInCombat0 (was 1)', 'iKeepHUDShownMS2000 (was 5000)']);
  assert.match((await sentences(page))[0], /1 change of the HUD, 1 game event, 2 changes of the settings file\.$/);
  assert.deepEqual(problems, []);
});
