#!/usr/bin/env bash
# Installs the Debian packages that a job needs. Idempotent: does nothing when
# all of them are present.
#   scripts/deps.sh play          the release DLL, the player package and the simulated game
#   scripts/deps.sh windows-test  that, and what the Windows build of the tests needs
#   scripts/deps.sh test          that, and everything the test suite and the benchmarks need (the default)
#   scripts/deps.sh machine       what scripts/fresh-machine.sh needs: debootstrap only
# Recommended packages are left out: Wine runs console programs without a
# display, and Chromium runs headless, without any of them.
set -euo pipefail
job=${1:-test}

play_packages=(
  cmake ninja-build
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 # the Windows DLL
  wine64                                               # the simulated game, and the Windows tests
  libspdlog-dev libfmt-dev                             # the log's headers; their code is compiled in
)
windows_test_packages=(
  "${play_packages[@]}"
  googletest # built from its sources with the Windows tests
)
case "$job" in
  play) packages=("${play_packages[@]}") ;;
  windows-test) packages=("${windows_test_packages[@]}") ;;
  machine) packages=(debootstrap) ;;
  test)
    packages=(
      "${windows_test_packages[@]}"
      git                                   # the format check lists the project's files
      clang libclang-rt-14-dev clang-format # native sanitizers, libFuzzer, format check
      libgmock-dev                          # Google Test prebuilt, for the native tests
      libbenchmark-dev
      chromium # the companion page's tests, headless
    )
    # The companion page's tests run on Node.js; Debian's is enough, but a
    # newer one installed otherwise is kept. npm is not Debian's (scripts/npm.sh).
    if ! command -v node >/dev/null; then
      packages+=(nodejs)
    fi
    ;;
  *)
    echo "usage: scripts/deps.sh [play|windows-test|test|machine]" >&2
    exit 2
    ;;
esac

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
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
