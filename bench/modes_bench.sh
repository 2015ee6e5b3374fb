#!/usr/bin/env bash
# Times vellora's one-page-per-folder and all-links-in-one-file builds on a
# benchmark tree next to the peer tools, in the same interleaved rounds, and
# prints the ratios against the targets.
#
#   bench/modes_bench.sh [PRESET] [RUNS]      PRESET: small, medium (default), large
#
# Environment: BENCH_KIT (the peer kit, default /work/shared/bench), BASE
# (where the trees live, default /tmp/vellora-bench), BUILD (the Release
# build folder, default build/h7-rel).
#
# The per-folder build writes a page into every folder, so it runs on a copy
# of the tree made by the same generator (same names, sizes and dates): the
# tree the peers read stays untouched. Its first run is checked (one page per
# folder, all pages new); the timed runs then rebuild the pages in place, as
# a scheduled job would, and the pages are removed at the end. Replacing a
# page costs more than creating it on ext4 (a file renamed over another has
# its data written out at once), so the check run's time is printed too.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
preset="${1:-medium}"
runs="${2:-5}"
kit="${BENCH_KIT:-/work/shared/bench}"
base="${BASE:-/tmp/vellora-bench}"
build="${BUILD:-$root/build/h7-rel}"
tree="$base/$preset"
copy="$base/$preset.pages"
work="$tree.work"

for tool in tree lighttpd curl find python3 cc; do
  command -v "$tool" >/dev/null || { echo "missing tool: $tool (apt-get install -y tree lighttpd curl gcc)" >&2; exit 2; }
done

echo "== Release build in $build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELLORA_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target vellora >/dev/null
vellora="$build/vellora"

for t in "$tree" "$copy"; do
  if [ ! -d "$t" ]; then
    echo "== creating the $preset tree in $t"
    python3 "$kit/gen_tree.py" --preset "$preset" "$t" >/dev/null
  fi
done
mkdir -p "$work"
page=00vellora.html
remove_pages() { find "$copy" -name "$page" -type f -delete; }
trap remove_pages EXIT
remove_pages

# The configuration of each mode: plain pages with sizes, dates and times.
common="custom_html_filename=
file_spec=*.*
include_filesize=TRUE
include_date=TRUE
include_time=TRUE
include_subfolders=TRUE
recursive_build=TRUE"
printf '[VELLORA]\n%s\npath=%s\nmulti_recurse_link=TRUE\noutput_filename=%s\n' \
  "$common" "$copy" "$page" >"$work/per-folder.ini"
printf '[VELLORA]\n%s\npath=%s\nmulti_recurse_link=FALSE\noutput_filename=%s\n' \
  "$common" "$tree" "$work/vellora-one-file.html" >"$work/one-file.ini"

echo "== per-folder build on the copy, checked"
python3 - "$vellora" "$work/per-folder.ini" "$copy" "$page" <<'EOF2'
import os, resource, subprocess, sys, time
vellora, ini, tree, page = sys.argv[1:]
env = dict(os.environ, LC_ALL="C.UTF-8", TZ="UTC")
start = time.monotonic()
rc = subprocess.run([vellora, ini], env=env).returncode
wall = time.monotonic() - start
use = resource.getrusage(resource.RUSAGE_CHILDREN)
folders = pages = 0
for top, _, files in os.walk(tree):
    folders += 1
    pages += page in files
print(f"exit {rc}, {pages} pages for {folders} folders (all new): "
      f"{wall:.3f} s wall, {use.ru_utime + use.ru_stime:.3f} s CPU")
if rc != 0 or pages != folders:
    sys.exit(1)
EOF2

echo "== interleaved rounds ($runs runs)"
json="$work/modes-bench.json"
python3 "$kit/peers.py" "$tree" --label "$preset" --runs "$runs" --json "$json" \
  --peers "find -printf,lighttpd dirlisting" \
  --cmd "tree -H -s -D=tree -H . -s -D -o {work}/tree-sD.html {tree}" \
  --cmd "vellora per-folder=$vellora {work}/per-folder.ini" \
  --cmd "vellora one-file=$vellora {work}/one-file.ini"

python3 - "$json" <<'EOF'
import json, statistics, sys
res = json.load(open(sys.argv[1]))
peers = res["peers"]
def med(name, key):
    p = peers.get(name, {})
    if p.get("dropped") or not p.get("samples"):
        return None
    return statistics.median(key(s) for s in p["samples"])
wall = lambda n: med(n, lambda s: s["wall"])
cpu = lambda n: med(n, lambda s: s["user"] + s["sys"])
rows = [("vellora per-folder", "find -printf", 2.0, "at most 2x"),
        ("vellora per-folder", "lighttpd dirlisting", 1.0, "faster"),
        ("vellora one-file", "tree -H -s -D", 0.5, "at most half")]
print()
print("Targets are on median wall time; the CPU ratio (user+sys; for lighttpd the")
print("server's alone) is shown beside it because wall times drift on a busy machine.")
print(f"{'vellora mode':20} {'peer':20} {'vellora s':>10} {'peer s':>8} {'wall':>6} {'cpu':>6}  target")
ok = True
for mine, peer, limit, words in rows:
    a, b = wall(mine), wall(peer)
    if a is None or b is None:
        print(f"{mine:20} {peer:20} {'-':>10} {'-':>8} {'-':>6} {'-':>6}  {words}: no result")
        ok = False
        continue
    r = a / b
    met = r <= limit if limit != 1.0 else r < 1.0
    ok &= met
    print(f"{mine:20} {peer:20} {a:10.3f} {b:8.3f} {r:6.2f} {cpu(mine) / cpu(peer):6.2f}  "
          f"{words}: {'met' if met else 'MISSED'}")
for mine in ("vellora per-folder", "vellora one-file"):
    if wall(mine) is not None:
        rss = max(s["rss_kb"] for s in peers[mine]["samples"]) / 1024
        print(f"peak RSS {mine}: {rss:.1f} MB")
print(f"load average at the start: {res.get('loadavg_start')}")
sys.exit(0 if ok else 1)
EOF
