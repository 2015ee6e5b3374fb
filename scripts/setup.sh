#!/usr/bin/env bash
# Installs everything vellora's build and tests need on a fresh Debian machine.
# Safe to run again: packages already present are left as they are.
set -euo pipefail

need_native="cmake g++ make googletest libgtest-dev libgmock-dev python3 clang-14 libclang-rt-14-dev"
need_windows="g++-mingw-w64-i686-posix wine wine32:i386"

missing=()
for p in $need_native $need_windows; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
