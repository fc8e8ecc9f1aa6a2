#!/usr/bin/env bash
# The whole test suite: formatting, the Windows build with its tests under Wine,
# the native build of the Win32-free code with sanitizers and fuzzers, the
# game's threads at once under ThreadSanitizer, and the companion page in
# headless Chromium.
#
# The Windows tests mostly wait: the simulated game plays in real time and the
# tests that write the plugin's log take turns. The native builds and their
# tests run meanwhile, at a lower priority so that the game's timing keeps its
# processor; the Windows tests' output follows once they are done.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh test
scripts/check-format.sh

jobs=$(nproc)
logs=build/test-logs
mkdir -p "$logs"

echo "== windows-release"
cmake --preset windows-release
cmake --build --preset windows-release -j "$jobs"

windows_log=$logs/windows-release.log
echo "== windows-release tests under Wine, in the background (output: $windows_log)"
ctest --preset windows-release -j "$jobs" >"$windows_log" 2>&1 &
windows_tests=$!

native_status=0
native() {
  for preset in native-sanitize native-tsan; do
    echo "== $preset"
    cmake --preset "$preset"
    nice -n 10 cmake --build --preset "$preset" -j "$jobs"
    nice -n 10 ctest --preset "$preset" -j "$jobs"
  done
}
# A subshell, so that set -e ends the native stages at their first failure
# and the Windows tests are still waited for (in a || list set -e would not act).
set +e
(native)
native_status=$?
set -e

windows_status=0
wait "$windows_tests" || windows_status=$?
echo "== windows-release tests under Wine"
cat "$windows_log"
if ((native_status || windows_status)); then
  echo "Tests failed (native stages: status $native_status; Windows tests: status $windows_status)."
  exit 1
fi

echo "== companion page (headless Chromium)"
web/test.sh
echo "All tests passed."
