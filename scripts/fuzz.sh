#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzz.cpp) with clang, replays each
# target's corpus (fuzz/corpus/<name>/) and fuzzes each target.
#   scripts/fuzz.sh --ci   about 30 seconds per target, from a fixed seed
#                          (FUZZ_SEED, default 1) and the checked-in corpus
#                          only: every run tries the same inputs in the same
#                          order, so a commit that passed does not fail on
#                          a new random draw
#   scripts/fuzz.sh        FUZZ_SECONDS per target (default 600), random
#                          seeds, growing the scratch corpus across runs
# New inputs go to a scratch corpus under the build folder, crash inputs to
# its artifacts folder. Exits non-zero when any target fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

seconds="${FUZZ_SECONDS:-600}"
ci=0
if [ "${1:-}" = "--ci" ]; then
  ci=1
  seconds="${FUZZ_SECONDS:-30}"
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--ci]" >&2
  exit 2
fi

build="${FUZZ_BUILD_DIR:-${VELLORA_BUILD_DIR:-$root/build}/fuzz}"
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DVELLORA_FUZZ=ON -DVELLORA_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

shopt -s nullglob
sources=(fuzz/*_fuzz.cpp)
if [ ${#sources[@]} -eq 0 ]; then
  echo "no fuzz targets" >&2
  exit 1
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
artifacts="$build/artifacts"
mkdir -p "$artifacts"
failed=()

for src in "${sources[@]}"; do
  target="$(basename "$src" .cpp)"
  name="${target%_fuzz}"
  binary="$build/fuzz/$target"
  corpus="fuzz/corpus/$name"
  scratch="$build/corpus/$name"
  flags=(-timeout=10 -rss_limit_mb=2048 "-artifact_prefix=$artifacts/$name-")
  if [ "$ci" = 1 ]; then
    # The same inputs in the same order on every run: a fixed seed and no
    # inputs left over from earlier runs. (How far a run gets still depends
    # on the machine's speed.)
    rm -rf "$scratch"
    flags+=("-seed=${FUZZ_SEED:-1}")
  fi
  mkdir -p "$scratch"
  if [ ! -x "$binary" ]; then
    echo "=== $name: no binary" >&2
    failed+=("$name")
    continue
  fi
  if [ -d "$corpus" ] && [ -n "$(ls -A "$corpus")" ]; then
    echo "=== $name: corpus replay"
    if ! "$binary" "${flags[@]}" -runs=0 "$corpus"; then
      failed+=("$name (corpus)")
      continue
    fi
  fi
  echo "=== $name: fuzzing for ${seconds}s"
  dirs=("$scratch")
  [ -d "$corpus" ] && dirs+=("$corpus")
  if ! "$binary" "${flags[@]}" -max_total_time="$seconds" -print_final_stats=1 "${dirs[@]}"; then
    failed+=("$name")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing failed: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
echo "fuzzing passed"
