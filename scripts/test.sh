#!/usr/bin/env bash
# Sets up, builds and runs every test: native, native under AddressSanitizer
# and UndefinedBehaviorSanitizer, and the Windows build under Wine (once with
# code page 936). Any failure fails the whole run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh

jobs=$(nproc)
build="${VELLORA_BUILD_DIR:-$root/build}"

step() { printf '\n=== %s ===\n' "$*"; }

step "native build"
cmake -S . -B "$build/native" -DVELLORA_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/native" -j"$jobs"
step "native tests"
ctest --test-dir "$build/native" --output-on-failure -j"$jobs"

step "sanitizer build"
cmake -S . -B "$build/asan" -DVELLORA_WERROR=ON -DVELLORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/asan" -j"$jobs"
step "sanitizer tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$build/asan" --output-on-failure -j"$jobs"

step "fuzz targets: corpus replay and a short run"
bash scripts/fuzz.sh --ci

step "windows build"
cmake -S . -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DVELLORA_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/win32" -j"$jobs"
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
[ -d "$WINEPREFIX" ] || wineboot -i >/dev/null 2>&1 || true
step "windows tests under wine"
ctest --test-dir "$build/win32" --output-on-failure
step "windows tests under wine, code page 936"
LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 ctest --test-dir "$build/win32" --output-on-failure

step "all tests passed"
