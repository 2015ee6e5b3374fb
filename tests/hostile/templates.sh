#!/usr/bin/env bash
# The shipped templates in headless Chromium: builds the demo tree with each
# of them in every mode, HTML and XHTML, and checks the pages with axe-core,
# for the order of tiles and file links in every layout, on a phone-sized
# window and in print (see templates.js). Screenshots of the demo pages go
# to OUT/screens (default build/templates/screens).
#
# Usage: tests/hostile/templates.sh [PATH/TO/vellora] [templates.js options]
#   --only REGEX   only the builds whose name matches
#   --out DIR      work folder (default build/templates)
# Without a program path, vellora is built in build/hostile (-j2). The
# program's templates must lie beside it, as the build puts them.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
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

# The Node packages at the versions the lock file pins.
if ! node "$here/lib/modules_current.js"; then
  (cd "$here" && npm ci --no-audit --no-fund --loglevel=error)
fi

exec node "$here/templates.js" --vellora "$vellora" "$@"
