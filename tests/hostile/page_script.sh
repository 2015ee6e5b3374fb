#!/usr/bin/env bash
# The default template's sort and filter script in headless Chromium (see
# page_script.js): each heading sorts by its key both ways, by click and by
# keyboard, with aria-sort and a spoken status; exact values in attributes
# win; the filter hides files whose names do not match.
#
# Usage: tests/hostile/page_script.sh [PATH/TO/vellora] [--out DIR]
# Without a program path, vellora is built in build/hostile (-j2).
set -euo pipefail
source "$(dirname "$0")/lib/prepare.sh"

exec node "$here/page_script.js" --vellora "$vellora" "$@"
