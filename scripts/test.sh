#!/usr/bin/env bash
# Sets up, builds and runs every test: native, native under AddressSanitizer
# and UndefinedBehaviorSanitizer, the fuzz corpus replay, and the 32-bit
# Windows build under Wine, once in code page 1252 and once in code page 936,
# then the native program against hostile names and the shipped templates
# (axe-core) in headless Chromium, the fault tests (kill -9, read-only
# output, full disk, vanishing folders), and a quick run of the benchmark
# suite.
# Any failure fails the whole run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh

jobs=$(nproc)
build="${VELLORA_BUILD_DIR:-$root/build}"

# Each step shows the seconds since the start, to keep an eye on CI's time.
step() { printf '\n=== %s === (%ds)\n' "$*" "$SECONDS"; }

step "layers: each includes only those below it, toolkits only in src/ui/"
python3 scripts/check_layers.py

step "art: the committed pictures match the script that draws them"
python3 art/make_art.py --check

step "native build"
cmake -S . -B "$build/native" -DVELLORA_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/native" -j"$jobs"
step "native tests (the Qt window's headless, offscreen)"
ctest --test-dir "$build/native" --output-on-failure -j"$jobs"
if [ ! -x "$build/native/tests/ui/qt/vellora_qt_tests" ]; then
  echo "the Qt settings window was not built: is qt6-base-dev installed?" >&2
  exit 1
fi

step "sanitizer build"
cmake -S . -B "$build/asan" -DVELLORA_WERROR=ON -DVELLORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build/asan" -j"$jobs"
step "sanitizer tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$build/asan" --output-on-failure -j"$jobs"

step "fuzz targets: corpus replay and a short run"
if [ -f scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh --ci
else
  echo "skipped: scripts/fuzz.sh does not exist yet"
fi

# Release: debug information is of no use under Wine and costs a fifth of
# the build's time and most of its disk space.
step "windows build"
cmake -S . -B "$build/win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
  -DVELLORA_WERROR=ON -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/win32" -j"$jobs"

# Wine without a display, with a prefix of its own; Mono and Gecko are not
# wanted, so that creating the prefix never asks or downloads anything.
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$build/wineprefix}" WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  step "wine prefix"
  timeout 600 wineboot -i </dev/null >/dev/null 2>&1 || echo "wineboot ended with status $?"
  timeout 120 wineserver -w || true
fi
exe="$build/win32/vellora.exe"
if command -v file >/dev/null; then file "$exe"; fi
# The program must run alone: only DLLs of the system, no MinGW runtime DLLs.
imports=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
echo "imports:" $imports
if grep -qiE '^(lib|mingw)' <<<"$imports"; then
  echo "vellora.exe needs a runtime DLL; it must be linked statically" >&2
  exit 1
fi

# Each run starts the program once first (it must run alone, without any DLL
# of its own), which also lets Wine settle the prefix for the locale.
# VELLORA_EXPECT_ACP makes the platform tests check that Wine really gave
# the process that code page.
wine_tests() {
  local locale=$1 acp=$2
  step "windows tests under wine, code page $acp"
  env LANG="$locale" LC_ALL="$locale" wine "$exe" --version </dev/null
  env LANG="$locale" LC_ALL="$locale" VELLORA_EXPECT_ACP="$acp" \
    ctest --test-dir "$build/win32" --output-on-failure -j"$jobs" </dev/null
}
wine_tests C.UTF-8 1252
wine_tests zh_CN.UTF-8 936
step "windows settings window under wine on a virtual display"
bash tests/ui/win32/run.sh "$build/win32" "$build/ui_shots"
wineserver -k 2>/dev/null || true

step "hostile names end to end (headless Chromium)"
bash tests/hostile/run.sh "$build/native/vellora"
step "shipped templates: axe-core, layout and print (headless Chromium)"
bash tests/hostile/templates.sh "$build/native/vellora" --out "$build/templates"
step "the default template's sort and filter script (headless Chromium)"
bash tests/hostile/page_script.sh "$build/native/vellora" --out "$build/page_script"
step "fault tests"
bash tests/faults/run.sh "$build/native/vellora"
step "benchmark suite, quick run (fails on errors, not on timings)"
BUILD="$build/bench" bash bench/run.sh --quick

step "all tests passed"
