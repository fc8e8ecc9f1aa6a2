#!/usr/bin/env bash
# The main job: builds the release DLL and lays out the player package in dist/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake --preset windows-release
cmake --build --preset windows-release -j "$(nproc)" --target player_package

echo
echo "Install for players: copy the Data folder of dist/ into the game folder, or"
echo "install dist/LumenveilHUD-3.5.zip with a mod manager:"
find dist -type f | sort | sed 's/^/  /'
