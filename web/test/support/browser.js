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

module.exports = { launch, openPage, chooseFile, PAGE };
