#!/usr/bin/env bash
# The companion page's tests, after both builds of scripts/test.sh: the page
# is the one built from web/src, reads settings as the plugin does (probe
# programs of both builds), and works in headless Chromium from file://.
#   web/test.sh                 every test
#   web/test.sh --setup         only the npm packages and the check of the built page
#   web/test.sh --no-sessions   every test but the sessions below
#   web/test.sh --sessions      the tests that play the simulated game (test/*session*.test.js):
#                               the plugin writes its log in Wine's home folder, as
#                               the Windows tests' programs do, so they never run beside those
set -euo pipefail
cd "$(dirname "$0")"
mode=${1:-all}

# puppeteer-core at the version of the committed lock file; it drives
# Debian's Chromium and downloads no browser.
if [ ! -e node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  ../scripts/npm.sh ci --no-audit --no-fund
fi
node build.js --check

sessions=(test/*session*.test.js)
case "$mode" in
  all) node --test test/*.test.js ;;
  --setup) ;;
  --sessions) node --test "${sessions[@]}" ;;
  --no-sessions)
    others=()
    for file in test/*.test.js; do
      if [[ $file != *session* ]]; then others+=("$file"); fi
    done
    node --test "${others[@]}"
    ;;
  *)
    echo "usage: web/test.sh [--setup|--no-sessions|--sessions]" >&2
    exit 2
    ;;
esac
