#!/usr/bin/env bash
# The main job: builds the release DLL and lays out the player package in
# dist/, then plays a session of the simulated game against the packaged DLL
# and prints its timeline.
#   scripts/play.sh                      the tour with the shipped settings, short delays (--fast), ~25 s
#   scripts/play.sh my.ini               the tour with your settings file, exactly as the plugin reads it
#   scripts/play.sh [my.ini] my.scenario your own session (see "Scenario files" in the README)
# It ends by naming the plugin's log of the session and the record of the HUD
# changes (hud-changes.tsv), for the companion page.
set -euo pipefail
ini=""
scenario=""
for arg in "$@"; do
  case "$arg" in
    *.scenario) scenario=$(realpath "$arg") ;;
    *) ini=$(realpath "$arg") ;;
  esac
done
cd "$(dirname "$0")/.."

scripts/deps.sh play
# The tree of windows-release without its tests: nothing of the test suite is
# needed, installed or built here, and scripts/test.sh later finds the DLL built.
cmake --preset windows-play
build=build/windows-release
# Wine's first start makes its prefix (about 13 s, mostly one core): it
# overlaps the build instead of following it.
"$build/wine-run.sh" wineboot --init >/dev/null 2>&1 &
prefix=$!
cmake --build --preset windows-play -j "$(nproc)"
wait "$prefix" || echo "Making the Wine prefix failed; the session will try again." >&2

plugins=dist/Data/Zorvik/Plugins
game=$build/sim-game
rm -rf "$game"
mkdir -p "$game"

echo
echo "Simulated game session with the packaged DLL:"
# Relative paths: Wine resolves them from the game folder, as a Windows
# program would. Without a file of yours the shipped INI beside the DLL plays,
# with the test session's short delays.
args=(--dll "../../../$plugins/LumenveilHUD.dll")
if [ -n "$ini" ]; then
  cp "$ini" "$game/start.ini"
  args+=(--ini start.ini)
else
  args+=(--fast)
fi
if [ -n "$scenario" ]; then
  cp "$scenario" "$game/session.scenario"
  args+=(--scenario session.scenario)
fi
status=0
(cd "$game" && ../wine-run.sh ../bin/LumenveilSim.exe "${args[@]}") || status=$?

echo
if [ "$status" -eq 0 ]; then
  echo "The session went as expected."
else
  echo "The session did not go as expected (exit status $status)."
fi
echo "Install for players: copy the Data folder of dist/ into the game folder, or"
echo "install dist/LumenveilHUD-3.5.zip with a mod manager:"
find dist -type f | sort | sed 's/^/  /'
echo "The plugin's log of this session (open it in the companion page for the timeline):"
find "$PWD/$build/wine/home" -path '*Zorvik/Logs/*.log' 2>/dev/null | sort | sed 's/^/  /' || true
if [ -f "$game/hud-changes.tsv" ]; then
  echo "The HUD changes the game saw:"
  echo "  $PWD/$game/hud-changes.tsv"
fi
exit "$status"
