#!/usr/bin/env bash
# Runs every benchmark natively and, for the Windows build, under Wine, and
# prints the figures side by side. Google Benchmark for the Windows build is
# compiled from Debian's source package (fetched once into build/third_party).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/deps.sh

third_party=$root/build/third_party
install=$third_party/benchmark-windows-install
if [[ ! -f $install/lib/cmake/benchmark/benchmark-config.cmake ]]; then
  if ! ls "$third_party"/benchmark_*.orig.tar.gz >/dev/null 2>&1; then
    if ! grep -rqs 'deb-src' /etc/apt/sources.list /etc/apt/sources.list.d; then
      cat > /etc/apt/sources.list.d/lumenveil-deb-src.sources <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
      apt-get update
    fi
    mkdir -p "$third_party"
    (cd "$third_party" && apt-get source --download-only benchmark)
  fi
  (cd "$third_party" && tar xzf benchmark_*.orig.tar.gz)
  source_dir=$(find "$third_party" -maxdepth 1 -type d -name 'benchmark-*' ! -name '*windows*' | head -n 1)
  cmake -S "$source_dir" -B "$third_party/benchmark-windows" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DBENCHMARK_ENABLE_TESTING=OFF -DBENCHMARK_ENABLE_GTEST_TESTS=OFF -DBENCHMARK_ENABLE_WERROR=OFF \
    -DCMAKE_INSTALL_PREFIX="$install"
  cmake --build "$third_party/benchmark-windows" -j "$(nproc)"
  cmake --install "$third_party/benchmark-windows"
fi

for preset in native-bench windows-bench; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done

# The benchmarks write address-library files into their current directory.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for bench in log_gate_bench addresslib_bench decision_bench settings_file_check_bench; do
  echo "== $bench, native"
  "$root/build/native-bench/bin/$bench" "$@"
  echo "== $bench, Windows build under Wine"
  "$root/build/windows-bench/wine-run.sh" "$root/build/windows-bench/bin/$bench.exe" "$@"
done
echo "== address_resolution_bench, Windows build under Wine"
"$root/build/windows-bench/wine-run.sh" "$root/build/windows-bench/bin/address_resolution_bench.exe" "$@"
