#!/usr/bin/env bash
# The companion page's tests, after both builds of scripts/test.sh: the page
# is the one built from web/src, reads settings as the plugin does (probe
# programs of both builds), and works in headless Chromium from file://.
#   web/test.sh          every test
#   web/test.sh --setup  only the npm packages, the check of the built page and
#                        the tests' Wine (once the Windows build is configured)
set -euo pipefail
cd "$(dirname "$0")"

# puppeteer-core at the version of the committed lock file; it drives
# Debian's Chromium and downloads no browser.
if [ ! -e node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  ../scripts/npm.sh ci --no-audit --no-fund
fi
node build.js --check
# The Windows programs run in a Wine of the page's tests' own, made here once.
node -e "require('./test/support/build-tree').preparePageWine()"
if [ "${1:-}" = --setup ]; then exit 0; fi
node --test test/*.test.js
