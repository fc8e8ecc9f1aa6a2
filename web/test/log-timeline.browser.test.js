'use strict';
// The timeline in headless Chromium, read from what it draws and shows: the
// labels of changes that showed the HUD are never crowded out by those of
// changes that hid it, pointing at a period tells its reason, start and
// length, the time before the plugin's first change is the game's shown HUD,
// and no axis label is cut at the canvas's edge.

const test = require('node:test');
const assert = require('node:assert/strict');
const { launch, openPage } = require('./support/browser');
const { scratchFolder, openLog, recordCanvasTexts } = require('./support/log-page');
const { line, start } = require('./support/log-files');

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
