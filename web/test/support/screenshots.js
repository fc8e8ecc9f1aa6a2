'use strict';
// Where the browser tests leave their screenshots: build/web-screenshots by
// default. LUMENVEIL_SCREENSHOTS=docs refreshes the README's pictures: only
// the ones the README shows go to docs, the others where they would go
// anyway, so that docs holds no picture the README does not show.

const fs = require('node:fs');
const path = require('node:path');
const { repository } = require('./build-tree');

const DEFAULT_FOLDER = path.join('build', 'web-screenshots');

function folderFor(name) {
  const asked = process.env.LUMENVEIL_SCREENSHOTS || DEFAULT_FOLDER;
  if (path.resolve(repository, asked) !== path.join(repository, 'docs')) return asked;
  const readme = fs.readFileSync(path.join(repository, 'README.md'), 'utf8');
  return readme.includes(`(docs/${name}.png)`) ? asked : DEFAULT_FOLDER;
}

async function screenshot(page, name) {
  const folder = path.resolve(repository, folderFor(name));
  fs.mkdirSync(folder, { recursive: true });
  await page.screenshot({ path: path.join(folder, `${name}.png`), fullPage: false });
}

module.exports = { screenshot };
