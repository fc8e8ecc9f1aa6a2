#!/usr/bin/env bash
# The companion page's tests, after both builds of scripts/test.sh: the page
# is the one built from web/src, reads settings as the plugin does (probe
# programs of both builds), and works in headless Chromium from file://.
#   web/test.sh          every test
#   web/test.sh --setup  only the npm packages and the check of the built page
set -euo pipefail
cd "$(dirname "$0")"

# puppeteer-core at the version of the committed lock file; it drives
# Debian's Chromium and downloads no browser.
if [ ! -e node_modules/.package-lock.json ] || [ package-lock.json -nt node_modules/.package-lock.json ]; then
  ../scripts/npm.sh ci --no-audit --no-fund
fi
node build.js --check
if [ "${1:-}" = --setup ]; then exit 0; fi

# The Windows programs run in a Wine of the page's tests' own, made first.
node -e "require('./test/support/build-tree').preparePageWine()"

# A session of the simulated game plays in real time, mostly waiting: the
# files that play one run beside the others, their output printed after.
sessions=()
others=()
for file in test/*.test.js; do
  if grep -q playSession "$file"; then sessions+=("$file"); else others+=("$file"); fi
done
session_output=$(mktemp)
trap 'rm -f "$session_output"' EXIT
status=0
if ((${#sessions[@]})); then
  node --test "${sessions[@]}" >"$session_output" 2>&1 &
  session_tests=$!
fi
node --test "${others[@]}" || status=$?
if ((${#sessions[@]})); then
  wait "$session_tests" || status=$((status ? status : $?))
  cat "$session_output"
fi
exit "$status"
