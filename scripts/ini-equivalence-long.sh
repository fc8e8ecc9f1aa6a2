#!/usr/bin/env bash
# The long run of the companion page's file-reading comparison: generated INI
# files of every shape (100,000 unless --files says otherwise), each read by
# the plugin's real ReloadINI in the Windows build under Wine and by the
# page's reading for Proton. Failing files are shrunk and left in
# build/ini-equivalence. Needs: cmake --build --preset windows-release --target settingsprobe
#   scripts/ini-equivalence-long.sh [--files N] [--seed S] [--batch B] [--keep FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
exec node web/test/support/ini-equivalence.js "$@"
