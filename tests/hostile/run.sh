#!/usr/bin/env bash
# Hostile names, end to end: builds a tree of hostile file and folder names
# in every build mode and option mix and checks the pages in headless
# Chromium (see hostile.js).
#
# Usage: tests/hostile/run.sh [PATH/TO/vellora] [hostile.js options]
#   --only REGEX   only the configurations whose name matches
#   --keep         keep the work folder (it is kept anyway on failure)
#   --json FILE    write every failure to FILE
# Without a program path, vellora is built in build/hostile (-j2). The
# program's templates must lie beside it, as the build puts them.
set -euo pipefail
source "$(dirname "$0")/lib/prepare.sh"

exec node "$here/hostile.js" --vellora "$vellora" "$@"
