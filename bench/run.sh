#!/usr/bin/env bash
# vellora's benchmark suite: times every build mode next to peer tools on
# synthetic trees and checks the performance targets.
#
#   bash bench/run.sh            # full: flat 100k, medium, large (if room); ~15 min
#   bash bench/run.sh --quick    # flat 10k and small, 1 round, ~1 min; fails only on errors
#   bash bench/run.sh --trees medium --runs 5     # any option of bench/suite.py
#
# Installs what it lacks (as root, from Debian: cmake g++ make python3 tree fd-find
# lighttpd curl), builds vellora in Release mode with the benchmark programs,
# compiles runstat and walk, makes or reuses the trees and runs bench/suite.py.
# Environment: BUILD (build folder, default build/bench), BASE (trees and
# results, default /tmp/vellora-suite).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${BUILD:-$root/build/bench}")"

need="cmake g++ make python3 tree lighttpd curl fd-find"
missing=()
for p in $need; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" != 0 ]; then
    echo "bench: missing packages: ${missing[*]} (run as root, or apt-get install them)" >&2
    exit 2
  fi
  echo "bench: installing ${missing[*]}" >&2
  # The lighttpd package must not start a system-wide server.
  policy=/usr/sbin/policy-rc.d
  made_policy=
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' >"$policy" && chmod +x "$policy" && made_policy=1
    trap 'rm -f "$policy"' EXIT
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  if [ -n "$made_policy" ]; then
    rm -f "$policy"
    trap - EXIT
  fi
fi

echo "bench: Release build in $build" >&2
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELLORA_TESTS=OFF \
  -DVELLORA_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target vellora vellora_scan_bench >/dev/null

tools="$build/bench-tools"
mkdir -p "$tools"
for t in runstat walk; do
  if [ ! -x "$tools/$t" ] || [ "$root/bench/$t.c" -nt "$tools/$t" ]; then
    cc -O2 -Wall -Wextra -o "$tools/$t" "$root/bench/$t.c"
  fi
done

exec python3 "$root/bench/suite.py" --build "$build" --tools "$tools" "$@"
