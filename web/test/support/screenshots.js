'use strict';
// Where the browser tests leave their screenshots: build/web-screenshots by
// default; LUMENVEIL_SCREENSHOTS=docs refreshes the README's pictures.

const fs = require('node:fs');
const path = require('node:path');
const { repository } = require('./build-tree');

async function screenshot(page, name) {
  const folder = path.resolve(repository, process.env.LUMENVEIL_SCREENSHOTS || path.join('build', 'web-screenshots'));
  fs.mkdirSync(folder, { recursive: true });
  await page.screenshot({ path: path.join(folder, `${name}.png`), fullPage: false });
}

module.exports = { screenshot };
