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
source "$(dirname "$0")/lib/prepare.sh"

exec node "$here/templates.js" --vellora "$vellora" "$@"
