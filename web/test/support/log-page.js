'use strict';
// The log report as the browser tests use it: log files in a scratch folder,
// opening one in the page and waiting until its report is complete, the
// rows of a table that holds only the rows in view, and the texts the
// timeline drew on its canvas.

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const test = require('node:test');
const { chooseFile } = require('./browser');

// A folder removed when the test file ends; gives the path of a file written in it.
function scratchFolder() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'lumenveil-logs-'));
  test.after(() => fs.rmSync(folder, { recursive: true, force: true }));
  return (name, bytes) => {
    const file = path.join(folder, name);
    fs.writeFileSync(file, bytes);
    return file;
  };
}

// The report is complete once the page has stamped the time it took.
const reportDone = (page, timeout = 60000) => page.waitForSelector('#log-output[data-read-ms]', { timeout });

async function openLog(page, file, timeout = 60000) {
  await page.click('#tab-log');
  await page.$eval('#log-output', (output) => output.replaceChildren());
  await chooseFile(page, '#log-file', file);
  await reportDone(page, timeout);
}

const sentences = (page) => page.$$eval('#log-output .sentence', (items) => items.map((item) => item.textContent));

// Every row of a table in a scrolling box that draws only the rows in view:
// scrolled through a box height at a time, each row read once, by the
// position the table gives it: its cells' texts, its data attributes, and
// the reason's words and log word where it has them.
async function allRows(page, boxSelector) {
  const rows = new Map();
  for (let guard = 0; guard < 10000; guard++) {
    const { found, atEnd } = await page.$eval(boxSelector, (box) => {
      const text = (row, selector) => (row.querySelector(selector) ? row.querySelector(selector).textContent : null);
      const found = [...box.querySelectorAll('tbody tr[aria-rowindex]')].map((row) => [Number(row.getAttribute('aria-rowindex')),
        { cells: [...row.cells].map((cell) => cell.textContent), data: { ...row.dataset }, words: text(row, '.words'), logWord: text(row, '.log-word') }]);
      const atEnd = box.scrollTop + box.clientHeight >= box.scrollHeight - 1;
      box.scrollTop += box.clientHeight;
      return { found, atEnd };
    });
    for (const [index, value] of found) rows.set(index, value);
    if (atEnd) break;
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  }
  return [...rows.keys()].sort((a, b) => a - b).map((index) => rows.get(index));
}

// Before the page's script runs: every text drawn on a canvas is kept, with
// where it was drawn and its width, until the canvas is cleared for the
// next drawing. window.drawnTexts() gives the last drawing's texts.
function recordCanvasTexts(page) {
  return page.evaluateOnNewDocument(() => {
    let texts = [];
    const prototype = CanvasRenderingContext2D.prototype;
    const { fillText, clearRect } = prototype;
    prototype.clearRect = function clear(...args) {
      texts = [];
      return clearRect.apply(this, args);
    };
    prototype.fillText = function draw(text, x, y, ...rest) {
      texts.push({ text: String(text), x, y, width: this.measureText(text).width, canvasWidth: this.canvas.clientWidth });
      return fillText.call(this, text, x, y, ...rest);
    };
    window.drawnTexts = () => texts;
  });
}

module.exports = { scratchFolder, openLog, reportDone, sentences, allRows, recordCanvasTexts };
