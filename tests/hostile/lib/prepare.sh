# Sourced by the harness scripts beside lib/: takes the program path from the
# front of the script's arguments (building vellora in build/hostile when
# there is none), checks the tools and brings the Node packages to the
# versions the lock file pins. Sets `here`, `root` and `vellora`.
here="$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"

vellora=""
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  vellora="$1"
  shift
fi
if [ -z "$vellora" ]; then
  build="${VELLORA_BUILD_DIR:-$root/build}/hostile"
  cmake -S "$root" -B "$build" -DVELLORA_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" -j2 --target vellora >/dev/null
  vellora="$build/vellora"
fi

for tool in node xmllint; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup.sh" >&2; exit 2; }
done
[ -x "${CHROMIUM:-/usr/bin/chromium}" ] || { echo "chromium is missing: run scripts/setup.sh" >&2; exit 2; }

if ! node "$here/lib/modules_current.js"; then
  (cd "$here" && npm ci --no-audit --no-fund --loglevel=error)
fi
