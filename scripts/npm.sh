#!/usr/bin/env bash
# Runs npm: the machine's own where it has one, otherwise one fetched once
# from npm's registry into the build tree (scripts/fetch-npm.js), so that a
# machine needs only Debian's nodejs package.
set -euo pipefail
if command -v npm >/dev/null; then
  exec npm "$@"
fi
folder="$(cd "$(dirname "$0")/.." && pwd)/build/third_party/npm"
if [ ! -e "$folder/bin/npm-cli.js" ]; then
  node "$(dirname "$0")/fetch-npm.js" "$folder" >&2
fi
exec node "$folder/bin/npm-cli.js" "$@"
