#!/usr/bin/env bash
# The companion page's tests, after both builds of scripts/test.sh: the page
# is the one built from web/src, reads settings as the plugin does (probe
# programs of both builds), and works in headless Chromium from file://.
set -euo pipefail
cd "$(dirname "$0")"

# puppeteer-core at the version of the committed lock file; it drives
# Debian's Chromium and downloads no browser.
if [ ! -e node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  npm ci --no-audit --no-fund
fi
node build.js --check
node --test test/*.test.js
