#!/usr/bin/env bash
# The whole test suite: formatting, the Windows build with its tests under Wine,
# the native build of the Win32-free code with sanitizers and fuzzers, the
# game's threads at once under ThreadSanitizer, and the companion page in
# headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
scripts/check-format.sh

jobs=$(nproc)
for preset in windows-release native-sanitize native-tsan; do
  echo "== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done
echo "== companion page (headless Chromium)"
web/test.sh
echo "All tests passed."
