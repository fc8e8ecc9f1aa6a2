#!/usr/bin/env bash
# The main job: builds the release DLL and lays out the player package in
# dist/, then plays a short session of the simulated game against the packaged
# DLL and prints its timeline.
#   scripts/play.sh [my-settings.ini]   plays the session from your own INI file,
#                                       with its own delays (about a minute); the
#                                       session's checks expect the shipped settings
set -euo pipefail
ini=""
if [ $# -gt 0 ]; then
  ini=$(realpath "$1")
fi
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset windows-release
cmake --build --preset windows-release -j "$(nproc)" --target player_package LumenveilSim

build=build/windows-release
plugins=dist/Data/Zorvik/Plugins
game=$build/sim-game
rm -rf "$game"
mkdir -p "$game"

echo
echo "Simulated game session with the packaged DLL:"
# Relative paths: Wine resolves them from the game folder, as a Windows
# program would.
status=0
mode=--fast
start_ini="../../../$plugins/LumenveilHUD.ini"
if [ -n "$ini" ]; then
  cp "$ini" "$game/start.ini"
  start_ini=start.ini
  mode=
fi
(cd "$game" && ../wine-run.sh ../bin/LumenveilSim.exe $mode \
    --dll "../../../$plugins/LumenveilHUD.dll" --ini "$start_ini") || status=$?

echo
if [ "$status" -eq 0 ]; then
  echo "The session went as expected."
else
  echo "The session did not go as expected (exit status $status)."
fi
echo "Install for players: copy the Data folder of dist/ into the game folder, or"
echo "install dist/LumenveilHUD-3.5.zip with a mod manager:"
find dist -type f | sort | sed 's/^/  /'
echo "The plugin's log of this session:"
find "$build/wine/home" -path '*Zorvik/Logs/*.log' 2>/dev/null | sort | sed 's/^/  /' || true
exit "$status"
