'use strict';
// Headless Chromium from Debian, driven through puppeteer-core, on the page
// opened from file://. Any script error, console error or network request
// fails the test that opened the page.

const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');

const PAGE = path.resolve(__dirname, '..', '..', 'LumenveilHUD-Companion.html');
const CHROMIUM = process.env.LUMENVEIL_CHROMIUM || '/usr/bin/chromium';

async function launch() {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'lumenveil-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--user-data-dir=${profile}`],
  });
  return {
    browser,
    async close() {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

// Opens the page; `problems` collects script errors, console errors and
// requests that leave the machine. `beforeLoad(page)` runs before the page
// is loaded.
async function openPage(browser, { width = 1200, height = 900, beforeLoad = null } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  if (beforeLoad) await beforeLoad(page);
  const problems = [];
  page.on('pageerror', (error) => problems.push(`script error: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(`console error: ${message.text()}`);
  });
  page.on('request', (request) => {
    if (!/^(file|blob|data):/.test(request.url())) problems.push(`network request: ${request.url()}`);
  });
  await page.goto(`file://${PAGE}`, { waitUntil: 'load' });
  return { page, problems };
}

async function chooseFile(page, inputSelector, file) {
  const input = await page.$(inputSelector);
  await input.uploadFile(file);
}

// The bytes of the file the page saves when `save()` (a click or a key) asks
// it to. Chromium puts an empty file under the final name before it writes
// the download: the bytes are read once it reports the download complete.
async function savedFile(page, t, save) {
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'lumenveil-download-'));
  t.after(() => fs.rmSync(downloads, { recursive: true, force: true }));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads, eventsEnabled: true });
  const done = new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('the page saved no file within 10 s')), 10000);
    session.on('Browser.downloadProgress', (event) => {
      if (event.state === 'inProgress') return;
      clearTimeout(timer);
      if (event.state === 'completed') resolve(); else reject(new Error(`the download ended ${event.state}`));
    });
  });
  await save();
  await done;
  const names = fs.readdirSync(downloads);
  if (names.length !== 1) throw new Error(`the page saved ${names.length} files: ${names.join(', ')}`);
  return { name: names[0], bytes: fs.readFileSync(path.join(downloads, names[0])) };
}

module.exports = { launch, openPage, chooseFile, savedFile, PAGE };
