#!/usr/bin/env bash
# The whole test suite: formatting, the Windows build with its tests under Wine,
# the native build of the Win32-free code with sanitizers and fuzzers, the
# game's threads at once under ThreadSanitizer, and the companion page in
# headless Chromium.
#
# On two cores much of the time goes to waiting, so the stages overlap: the
# Windows build runs while the packages only the rest needs install; the
# Windows tests mostly wait (the simulated game plays in real time and the
# programs that write the plugin's log take turns), so the native builds, their
# tests and the companion page's tests run meanwhile, at lower priorities so
# that the game's timing keeps its processor. Output of the stages run beside
# others goes to build/test-logs/ and is printed once they are done.
set -euo pipefail
cd "$(dirname "$0")/.."

stage() { echo "== $1 (at $SECONDS s)"; }
# A stage that fails ends the run; whatever still runs beside it ends too.
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
jobs=$(nproc)
logs=build/test-logs
mkdir -p "$logs"

scripts/deps.sh windows-test
windows_build_log=$logs/windows-build.log
stage "windows-release, built while the other packages install (output: $windows_build_log)"
(
  cmake --preset windows-release
  # Wine's first start makes its prefix: beside the build, not in the lane of
  # the Windows tests, whose first test would otherwise make it.
  build/windows-release/wine-run.sh wineboot --init >/dev/null 2>&1 &
  prefix=$!
  cmake --build --preset windows-release -j "$jobs"
  wait "$prefix" || echo "Making the Wine prefix failed; the tests will try again."
) >"$windows_build_log" 2>&1 &
windows_build=$!

scripts/deps.sh test
scripts/check-format.sh
web/test.sh --setup # and the page's tests' own Wine, beside the build too
stage "packages installed"

windows_build_status=0
wait "$windows_build" || windows_build_status=$?
stage "windows-release build"
cat "$windows_build_log"
if ((windows_build_status)); then
  echo "The Windows build failed (status $windows_build_status)."
  exit 1
fi

# Three lanes from here. The Windows tests under Wine at full priority: the
# simulated game plays in real time.
windows_log=$logs/windows-release.log
stage "windows-release tests under Wine, in the background (output: $windows_log)"
ctest --preset windows-release -j "$jobs" >"$windows_log" 2>&1 &
windows_lane=$!

# The page's tests, the longest lane, as soon as the native probe they compare
# with is built, in a Wine of their own; the native builds and their tests fill
# the time left over, at the lowest priority of the three.
web_log=$logs/web.log
native() {
  stage "native-sanitize"
  cmake --preset native-sanitize
  nice -n 10 cmake --build --preset native-sanitize -j "$jobs" --target settingsprobe
  stage "companion page (headless Chromium), in the background (output: $web_log)"
  nice -n 5 web/test.sh >"$web_log" 2>&1 &
  local web_lane=$!
  local status=0
  {
    nice -n 15 cmake --build --preset native-sanitize -j "$jobs" &&
      nice -n 15 ctest --preset native-sanitize -j "$jobs" &&
      stage "native-tsan" &&
      cmake --preset native-tsan &&
      nice -n 15 cmake --build --preset native-tsan -j "$jobs" &&
      nice -n 15 ctest --preset native-tsan -j "$jobs"
  } || status=$?
  wait "$web_lane" || status=$((status ? status : $?))
  stage "companion page (headless Chromium)"
  cat "$web_log"
  return "$status"
}
# A subshell with set -e of its own, so that the native stages end at their
# first failure and the Windows lane is still waited for (in a || list set -e
# would not act, and a subshell started under set +e inherits it).
set +e
(
  set -e
  native
)
native_status=$?
set -e

windows_status=0
wait "$windows_lane" || windows_status=$?
stage "windows-release tests under Wine"
cat "$windows_log"
if ((native_status || windows_status)); then
  echo "Tests failed (native stages and the companion page: status $native_status; Windows tests: status $windows_status)."
  exit 1
fi
echo "All tests passed in $SECONDS s."
