#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the player
# package need. Idempotent: does nothing when all of them are present.
set -euo pipefail

packages=(
  cmake ninja-build git
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64   # the Windows DLL
  wine64                                                # runs Windows tests and the simulated game
  clang libclang-rt-14-dev clang-format                 # native sanitizers, libFuzzer, format check
  libspdlog-dev libfmt-dev googletest libbenchmark-dev
  chromium                                              # the companion page's tests, headless
)
# The companion page's tests run on Node.js and npm; Debian's are enough, but
# a newer Node.js installed otherwise is kept.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if ((${#missing[@]})); then
  sudo=()
  if [[ $(id -u) -ne 0 ]]; then sudo=(sudo); fi
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${missing[@]}"
fi
