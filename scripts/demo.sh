#!/usr/bin/env bash
# Sets up and builds vellora, then builds the demo: one linked index page in
# every folder of a copy of demo/tree (build/demo/site), and the same tree as
# a framed site (build/demo/framed). Prints the address of each top page.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/native -j"$(nproc)" --target vellora
vellora="$root/build/native/vellora"
"$vellora" --version

# The demo's big file is made here rather than stored (demo/.gitignore).
big="$root/demo/tree/big download.bin"
if [ ! -f "$big" ]; then
  head -c $((3 * 1024 * 1024)) /dev/urandom >"$big"
fi

out="$root/build/demo"
mkdir -p "$out"

# file:// address of a local path, with the characters that need it escaped.
file_url() {
  python3 -c 'import pathlib, sys; print(pathlib.Path(sys.argv[1]).as_uri())' "$1"
}

# build_demo NAME INI: copies the tree to build/demo/NAME, writes INI there
# with path set to the copy, runs vellora on it and checks the top page.
build_demo() {
  local name="$1" ini="$2"
  local site="$out/$name" conf="$out/$name.ini"
  rm -rf "$site"
  cp -R "$root/demo/tree" "$site"
  sed "s|^path=.*|path=$site|" "$ini" >"$conf"
  rm -f "$site/index.html"
  local status=0
  "$vellora" "$conf" || status=$?
  if [ ! -f "$site/index.html" ]; then
    echo "demo: vellora $conf wrote no $site/index.html (exit status $status)." >&2
    echo "demo: this vellora cannot build from a configuration file, or its build failed." >&2
    return 1
  fi
  echo "demo: $name: $(file_url "$site/index.html")"
}

failed=0
build_demo site "$root/demo/demo.ini" || failed=1
build_demo framed "$root/demo/framed.ini" || failed=1
exit "$failed"
