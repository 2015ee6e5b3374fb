#!/usr/bin/env bash
# Fault tests of batch mode: a build killed with SIGKILL, a read-only output
# folder, a full disk, too little memory, folders that change under a running
# build, link cycles, links out of the tree, very deep trees and (with
# --heavy) a folder of 500,000 files.
#
# Usage: tests/faults/run.sh [--heavy] [--keep] [PATH/TO/vellora]
# Without a program path, vellora is built in build/faults (-j2).
# Runs as root (the permission tests then run the program as "nobody") or as
# an ordinary user.
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
heavy=0 keep=0 vellora=""
for a in "$@"; do
  case "$a" in
    --heavy) heavy=1 ;;
    --keep) keep=1 ;;
    -*) echo "usage: $0 [--heavy] [--keep] [PATH/TO/vellora]" >&2; exit 2 ;;
    *) vellora="$a" ;;
  esac
done
if [ -z "$vellora" ]; then
  build="${VELLORA_BUILD_DIR:-$root/build}/faults"
  cmake -S "$root" -B "$build" -DVELLORA_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 2
  cmake --build "$build" -j2 --target vellora >/dev/null || exit 2
  vellora="$build/vellora"
fi
[ -x "$vellora" ] || { echo "no program at $vellora" >&2; exit 2; }

pages() { python3 "$here/pages.py" "$@"; }

work="$(mktemp -d /tmp/vellora-faults.XXXXXX)"
chmod 755 "$work"
# A copy of the program that "nobody" can run, wherever the build lives.
cp "$vellora" "$work/vellora"
chmod 755 "$work/vellora"
prog="$work/vellora"

bg_pids=()
cleanup() {
  touch "$work/stop" 2>/dev/null
  for p in "${bg_pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  if ((keep)); then
    echo "work folder kept: $work"
  else
    chmod -R u+rwx "$work" 2>/dev/null
    rm -rf "$work"
  fi
}
trap cleanup EXIT

failures=0
started=$SECONDS
section() { printf '\n--- %s\n' "$*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# ini FILE key=value... : a configuration of a per-folder XHTML build with
# the writer's own page skeleton; the pairs given replace the defaults (a
# key given twice would be read at its first place).
ini() {
  local file=$1 pair
  shift
  local -A keys=([custom_html_filename]= [recursive_build]=TRUE [multi_recurse_link]=TRUE
    [multi_recurse_title]=DEFAULT [xml_compliant]=TRUE [include_summary]=TRUE)
  for pair in "$@"; do keys[${pair%%=*}]=${pair#*=}; done
  {
    echo "[VELLORA]"
    for pair in "${!keys[@]}"; do printf '%s=%s\n' "$pair" "${keys[$pair]}"; done
  } >"$file"
}

# Runs the program; sets $status and $output (stdout and stderr together).
run() {
  output="$("$@" 2>&1)"
  status=$?
}

# As an unprivileged user: root ignores file permissions.
as_user() {
  if [ "$(id -u)" = 0 ]; then
    setpriv --reuid=65534 --regid=65534 --clear-groups -- "$@"
  else
    "$@"
  fi
}
# The same, replacing the calling (sub)shell, so that $! of a background
# call is the program itself.
exec_as_user() {
  if [ "$(id -u)" = 0 ]; then
    exec setpriv --reuid=65534 --regid=65534 --clear-groups -- "$@"
  else
    exec "$@"
  fi
}
owned_by_user() {
  if [ "$(id -u)" = 0 ]; then chown -R 65534:65534 "$@"; fi
}

# expect_failure WHAT : status 1 and a one-line message.
expect_failure() {
  if [ "$status" != 1 ]; then
    fail "$1: exit status $status, 1 expected (output: ${output:0:200})"
  elif [ -z "$output" ] || [ "$(printf '%s\n' "$output" | wc -l)" != 1 ]; then
    fail "$1: expected one line of message, got: ${output:0:300}"
  else
    pass "$1: status 1, \"$output\""
  fi
}

same_files() { # same_files A B : two trees hold the same bytes
  diff -r --no-dereference "$1" "$2" >/dev/null 2>&1
}

now_ms() { date +%s%3N; }

# ---------------------------------------------------------------------------
kill_test() {
  local folders=$1 files=$2 kills=$3
  section "SIGKILL during a per-folder build ($folders folders x $files files, $kills kills)"
  local d="$work/kill" cfg="$work/kill.ini"
  pages tree "$d" "$folders" "$files"
  local expected_pages
  expected_pages=$(find "$d" -type d | wc -l)
  ini "$cfg" "path=$d" "title=run 0"
  local t0 t1
  t0=$(now_ms)
  run "$prog" "$cfg"
  t1=$(now_ms)
  local span=$((t1 - t0))
  [ "$status" = 0 ] || fail "first build: status $status: $output"
  pages check "$d" index.html --complete --pages "$expected_pages" >/dev/null || fail "first build left bad pages"
  echo "a full build takes ${span} ms"
  local mixed=0
  for ((k = 1; k <= kills; k++)); do
    pages snapshot "$d" index.html "$work/before.json" >/dev/null
    # Every page changes: the title is on each of them.
    ini "$cfg" "path=$d" "title=run $k"
    local delay=$(((span * (10 + RANDOM % 80)) / 100))
    "$prog" "$cfg" >/dev/null 2>&1 &
    local pid=$!
    sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    local result
    if result=$(pages check "$d" index.html --complete --old-or-new "$work/before.json:<title>run $k</title>" \
      --pages "$expected_pages"); then
      echo "kill $k after ${delay} ms: ${result##*$'\n'}, $(pages temps "$d") temporary file(s) left"
      case "$result" in *" 0 old, "* | *", 0 new)"*) ;; *) mixed=$((mixed + 1)) ;; esac
    else
      fail "kill $k after ${delay} ms left pages that are neither old nor new:"
      echo "$result"
    fi
  done
  ((mixed > 0)) || echo "note: no kill landed in the middle of the build"
  # A later build must not list the temporary files the kills left.
  ini "$cfg" "path=$d" "title=run final"
  echo '{}' >"$work/none.json"
  run "$prog" "$cfg"
  [ "$status" = 0 ] || fail "build after the kills: status $status: $output"
  if pages check "$d" index.html --complete --no-dot-links --old-or-new "$work/none.json:<title>run final</title>" \
    --pages "$expected_pages" >"$work/out.txt"; then
    pass "after $kills kills: every page old or new and complete; the next build lists no temporary file"
  else
    fail "build after the kills:"
    cat "$work/out.txt"
  fi
  rm -rf "$d"
}

# ---------------------------------------------------------------------------
readonly_test() {
  section "read-only output folder"
  local d="$work/ro" cfg="$work/ro.ini"
  mkdir -p "$d/tree/a" "$d/tree/b"
  touch "$d/tree/one.txt" "$d/tree/a/two.txt" "$d/tree/b/three.txt"
  ini "$cfg" "path=$d/tree" "title=old"
  run "$prog" "$cfg"
  [ "$status" = 0 ] || fail "setup build: $output"
  cp -a "$d/tree" "$d/before"
  ini "$cfg" "path=$d/tree" "title=new"
  cp -a "$cfg" "$d/cfg.before"
  chmod -R a-w "$d/tree"
  chmod a+r "$cfg"

  run as_user "$prog" "$cfg"
  expect_failure "whole tree read-only"
  same_files "$d/tree" "$d/before" && pass "old pages intact" || fail "the pages changed"
  cmp -s "$cfg" "$d/cfg.before" && pass "configuration intact" || fail "the configuration changed"

  # One folder read-only, the rest writable: the others are built.
  chmod -R u+w "$d/tree"
  owned_by_user "$d/tree"
  chmod -R u+w "$d/tree"
  if [ "$(id -u)" = 0 ]; then chown root:root "$d/tree/a"; fi
  chmod a-w "$d/tree/a"
  run as_user "$prog" "$cfg"
  expect_failure "one subfolder read-only"
  case "$output" in *"/a/index.html"*) pass "message names the page" ;; *) fail "message does not name a/index.html: $output" ;; esac
  cmp -s "$d/tree/a/index.html" "$d/before/a/index.html" && pass "its old page intact" || fail "a/index.html changed"
  if grep -q "<title>new</title>" "$d/tree/index.html" && grep -q "<title>new</title>" "$d/tree/b/index.html"; then
    pass "the other pages were written"
  else
    fail "the writable folders did not get their new pages"
  fi
  [ "$(pages temps "$d/tree")" = 0 ] || fail "a failed write left a temporary file"
  chmod -R u+w "$d"
  rm -rf "$d"
}

# ---------------------------------------------------------------------------
fulldisk_test() {
  section "full disk (file-size limit, SIGXFSZ ignored)"
  local d="$work/full" cfg="$work/full.ini"
  mkdir -p "$d/tree/small"
  for i in $(seq 1 300); do : >"$d/tree/file number $i with a longish name.txt"; done
  : >"$d/tree/small/one.txt"
  ini "$cfg" "path=$d/tree" "title=old"
  run "$prog" "$cfg"
  [ "$status" = 0 ] || fail "setup build: $output"
  ini "$cfg" "path=$d/tree" "title=new"
  cp -a "$d/tree" "$d/before"
  cp -a "$cfg" "$d/cfg.before"
  local big
  big=$(stat -c %s "$d/tree/index.html")
  # 8 KiB: the top page (about $big bytes) does not fit, the small one does.
  run bash -c 'trap "" XFSZ; ulimit -f 8; exec "$0" "$1"' "$prog" "$cfg"
  expect_failure "page larger than the space left ($big bytes, 8 KiB allowed)"
  cmp -s "$d/tree/index.html" "$d/before/index.html" && pass "old page intact" || fail "the top page changed"
  grep -q "<title>new</title>" "$d/tree/small/index.html" && pass "the page that fits was written" ||
    fail "the small page was not written"
  cmp -s "$cfg" "$d/cfg.before" && pass "configuration intact" || fail "the configuration changed"
  [ "$(pages temps "$d/tree")" = 0 ] && pass "no temporary file left" || fail "a failed write left a temporary file"
  rm -rf "$d"
}

# ---------------------------------------------------------------------------
memory_test() {
  section "out of memory (address-space limit)"
  local d="$work/mem" cfg="$work/mem.ini" limit_kb=65536
  if grep -q AddressSanitizer "$prog"; then
    echo "skipped: a sanitizer build reserves more address space than the limit"
    return
  fi
  pages tree "$d/tree" 20 10
  # Fifteen includes of 8 MiB in one section: 120 MiB for the first page's
  # copy, well past the 64 MiB the program may map.
  head -c $((8 << 20)) /dev/zero | tr '\0' 'm' >"$d/big.txt"
  printf '/START\n' >"$d/template.txt"
  for i in $(seq 1 15); do printf '%%%%FILE%s%%\n' "$d/big.txt" >>"$d/template.txt"; done
  ini "$cfg" "path=$d/tree" "title=old"
  run "$prog" "$cfg"
  [ "$status" = 0 ] || fail "setup build: $output"
  # The limit alone is no failure: a build without the includes fits in it.
  run bash -c 'ulimit -v "$0"; exec "$1" "$2"' "$limit_kb" "$prog" "$cfg"
  [ "$status" = 0 ] || fail "a plain build under the limit: status $status ($output)"
  cp -a "$d/tree" "$d/before"
  ini "$cfg" "path=$d/tree" "title=new" "custom_html_filename=$d/template.txt"
  run bash -c 'ulimit -v "$0"; exec "$1" "$2"' "$limit_kb" "$prog" "$cfg"
  expect_failure "build that needs more memory than it may have"
  case "$output" in *"out of memory"*) pass "message says out of memory" ;; *) fail "message: $output" ;; esac
  same_files "$d/tree" "$d/before" && pass "old pages intact" || fail "the pages changed"
  [ "$(pages temps "$d/tree")" = 0 ] && pass "no temporary file left" || fail "a temporary file was left"
  rm -rf "$d"
}

# ---------------------------------------------------------------------------
vanish_test() {
  local folders=$1 rounds=$2
  section "folders renamed, removed and made unreadable during builds ($folders folders, $rounds rounds)"
  local d="$work/vanish" cfg="$work/vanish.ini"
  pages tree "$d" "$folders" 10
  owned_by_user "$d"
  chmod a+r "$work"
  local r
  for ((r = 1; r <= rounds; r++)); do
    ini "$cfg" "path=$d" "title=round $r"
    chmod a+r "$cfg"
    # The disturbance runs as the same user as the build, so that folders
    # made unreadable are unreadable to the build (even its owner's). It
    # stops when the stop file appears, or after 10 minutes at the latest.
    rm -f "$work/stop"
    (exec_as_user bash -c '
      end=$((SECONDS + 600))
      while [ ! -e "$1" ] && ((SECONDS < end)); do
        mapfile -t some < <(find "$0" -mindepth 1 -maxdepth 2 -type d 2>/dev/null | shuf -n 4)
        for f in "${some[@]}"; do
          case $((RANDOM % 4)) in
            0) chmod 000 "$f" ;;
            1) mv "$f" "$f.moved" ;;
            2) rm -rf "$f" ;;
            3) mkdir -p "$f/new $RANDOM" ;;
          esac 2>/dev/null
        done
        sleep 0.01
      done' "$d" "$work/stop") &
    local chaos=$!
    bg_pids+=("$chaos")
    run as_user timeout 300 "$prog" "$cfg"
    touch "$work/stop"
    wait "$chaos" 2>/dev/null
    if [ "$status" -ge 2 ]; then
      fail "round $r: exit status $status ($output)"
    else
      echo "round $r: status $status${output:+, \"${output:0:120}\"}"
    fi
    chmod -R u+rwx "$d" 2>/dev/null
    pages check "$d" index.html --complete --no-dot-links >"$work/out.txt" || { fail "round $r left bad pages:"; cat "$work/out.txt"; }
  done
  pass "$rounds builds against a changing tree ended with status 0 or 1 and whole pages"
  rm -rf "$d"
}

# ---------------------------------------------------------------------------
cycle_test() {
  section "link cycles, a double-link ladder and a link out of the tree"
  local d="$work/cycle/tree" out="$work/cycle/outside" cfg="$work/cycle.ini" i
  mkdir -p "$d/a/b" "$d/c" "$out"
  touch "$d/top.txt" "$d/a/in a.txt" "$d/a/b/in b.txt" "$d/c/in c.txt" "$out/beside.txt"
  ln -s ../.. "$d/a/b/up to the top"
  ln -s . "$d/a/itself"
  ln -s "$d" "$d/c/absolute top"
  ln -s ../c "$d/a/b/sideways"
  ln -s nowhere "$d/dangling"
  ln -s "$out" "$d/c/out"
  # 25 folders, each holding two links to the next: 2^25 ways down.
  for i in $(seq 0 25); do mkdir -p "$d/ladder/$i"; touch "$d/ladder/$i/rung $i.txt"; done
  for i in $(seq 0 24); do ln -s "../$((i + 1))" "$d/ladder/$i/x"; ln -s "../$((i + 1))" "$d/ladder/$i/y"; done
  local mode
  for mode in "multi_recurse_link=TRUE" "multi_recurse_link=FALSE"; do
    ini "$cfg" "path=$d" "$mode"
    run timeout 60 "$prog" "$cfg"
    if [ "$status" = 124 ]; then
      fail "$mode: the build did not finish in 60 s"
    elif [ "$status" != 0 ]; then
      fail "$mode: status $status ($output)"
    elif [ -e "$out/index.html" ] || grep -q "beside.txt" "$d/index.html"; then
      fail "$mode: the link out of the tree was entered"
    elif [ "$mode" = "multi_recurse_link=FALSE" ] && [ "$(grep -o 'rung 7.txt' "$d/index.html" | wc -l)" != 1 ]; then
      fail "$mode: a folder of the ladder is not listed exactly once"
    else
      pages check "$d" index.html --complete >"$work/out.txt" && pass "$mode: finished, pages whole" ||
        { fail "$mode: bad pages"; cat "$work/out.txt"; }
    fi
  done
}

# ---------------------------------------------------------------------------
# deep_test LEVELS [NAME SECONDS]: a chain of folders (all called NAME when
# given); each build must end within SECONDS (default 120).
deep_test() {
  local levels=$1 name=${2:-} limit=${3:-120}
  section "a branch $levels folders deep (paths longer than PATH_MAX)${name:+, folders named $name}"
  local d="$work/deep/tree" cfg="$work/deep.ini"
  pages deep "$d" "$levels" $name
  ini "$cfg" "path=$d"
  run timeout "$limit" "$prog" "$cfg"
  if [ "$status" = 124 ]; then
    fail "per-folder build: not finished in $limit s"
  elif [ "$status" != 0 ]; then
    fail "per-folder build: status $status ($output)"
  else
    pages check "$d" index.html --complete --pages $((levels + 1)) >"$work/out.txt" &&
      pass "per-folder build: $((levels + 1)) whole pages" || { fail "per-folder build:"; cat "$work/out.txt"; }
  fi
  ini "$cfg" "path=$d" multi_recurse_link=FALSE output_filename=all.html
  run timeout "$limit" "$prog" "$cfg"
  if [ "$status" = 124 ]; then
    fail "one-file build: not finished in $limit s"
  elif [ "$status" != 0 ]; then
    fail "one-file build: status $status ($output)"
  elif pages check "$d" all.html --complete --pages 1 >"$work/out.txt" &&
    grep -q "file $(printf '%03d' $((levels - 1))).txt" "$d/all.html"; then
    pass "one-file build lists the deepest file"
  else
    fail "one-file build:"
    cat "$work/out.txt"
  fi
  rm -rf "$work/deep"
}

# ---------------------------------------------------------------------------
many_test() {
  local files=$1
  section "one folder of $files files"
  local d="$work/many" cfg="$work/many.ini"
  pages many "$d" "$files"
  ini "$cfg" "path=$d" recursive_build=FALSE include_summary=FALSE
  local t0
  t0=$SECONDS
  run timeout 1200 "$prog" "$cfg"
  if [ "$status" != 0 ]; then
    fail "status $status ($output)"
  else
    pages check "$d" index.html --complete --pages 1 --links "$files" >"$work/out.txt" &&
      pass "built in $((SECONDS - t0)) s; the page links all $files files" || { fail "the page:"; cat "$work/out.txt"; }
  fi
  rm -rf "$d"
}

if ((heavy)); then
  kill_test 2000 50 10
else
  kill_test 300 20 4
fi
readonly_test
fulldisk_test
memory_test
if ((heavy)); then vanish_test 2000 5; else vanish_test 300 2; fi
cycle_test
deep_test 300
# Every operation on such paths must not retrace them component by
# component: 4,000 levels take seconds, not minutes.
deep_test 4000 d 60
if ((heavy)); then many_test 500000; fi

echo
if ((failures)); then
  echo "fault tests: $failures failure(s) in $((SECONDS - started)) s"
  exit 1
fi
echo "fault tests: all passed in $((SECONDS - started)) s"
