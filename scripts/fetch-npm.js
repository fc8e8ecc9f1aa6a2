'use strict';
// Fetches npm from its registry into the folder given, for a machine with
// Node.js and no npm. Debian's own npm package brings some 380 packages of its
// own, most of what a fresh machine would spend installing for the test
// suite; npm's published tarball holds everything it needs. It is unpacked
// only once its bytes match the integrity the registry published for them.
//   node scripts/fetch-npm.js <folder>   then: node <folder>/bin/npm-cli.js ...

const crypto = require('node:crypto');
const fs = require('node:fs');
const https = require('node:https');
const path = require('node:path');
const { execFileSync } = require('node:child_process');

// The last npm of the line that still runs on Debian 12's Node.js 18.
const VERSION = '10.9.11';
const TARBALL = `https://registry.npmjs.org/npm/-/npm-${VERSION}.tgz`;
const INTEGRITY = 'sha512-PakPh1DVnNuaxWehZ9dDQcvBAmpJq7knHiDWKGSxT58V11cDVCZzLh2N+pjMUaT2aKbjzfpbgtc8MXMegN7IjA==';
const REDIRECTS = 5;

function download(url, redirectsLeft = REDIRECTS) {
  return new Promise((resolve, reject) => {
    https.get(url, (response) => {
      const { statusCode, headers } = response;
      if (statusCode >= 300 && statusCode < 400 && headers.location && redirectsLeft > 0) {
        response.resume();
        resolve(download(new URL(headers.location, url).href, redirectsLeft - 1));
        return;
      }
      if (statusCode !== 200) {
        response.resume();
        reject(new Error(`${url}: HTTP ${statusCode}`));
        return;
      }
      const chunks = [];
      response.on('data', (chunk) => chunks.push(chunk));
      response.on('end', () => resolve(Buffer.concat(chunks)));
      response.on('error', reject);
    }).on('error', (error) => reject(new Error(`${url}: ${error.message}`)));
  });
}

async function main() {
  const folder = process.argv[2];
  if (!folder) {
    console.error('usage: node scripts/fetch-npm.js <folder>');
    process.exit(2);
  }
  const tarball = await download(TARBALL);
  const [algorithm, expected] = INTEGRITY.split('-');
  const actual = crypto.createHash(algorithm).update(tarball).digest('base64');
  if (actual !== expected) {
    throw new Error(`${TARBALL}: ${algorithm} of the download is ${actual}, the registry published ${expected}`);
  }
  // Unpacked aside and moved into place whole: an interrupted run leaves no
  // half npm that the next one would take for a complete one.
  const target = path.resolve(folder);
  const unpacking = `${target}.partial`;
  fs.rmSync(unpacking, { recursive: true, force: true });
  fs.mkdirSync(unpacking, { recursive: true });
  execFileSync('tar', ['-xzf', '-', '-C', unpacking, '--strip-components=1', '--no-same-owner'], { input: tarball });
  fs.rmSync(target, { recursive: true, force: true });
  fs.renameSync(unpacking, target);
  console.log(`npm ${VERSION} fetched into ${folder}`);
}

main().catch((error) => {
  console.error(`Fetching npm failed: ${error.message}`);
  process.exit(1);
});
