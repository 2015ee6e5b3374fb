#!/usr/bin/env bash
# Installs everything vellora's build and tests need on a fresh Debian 12
# machine. Safe to run again: packages already present are left as they are.
#
# Native build and tests: cmake, g++, GoogleTest (the sources in
# /usr/src/googletest are also what the Windows build compiles).
# The Linux settings window: Qt 6 Widgets and QTest (its offscreen platform
# comes with the GUI library); its Chinese texts draw with the one CJK font
# installed below for the screenshots (fonts-wqy-microhei), and only that
# one, so that screenshots keep their line heights. desktop-file-utils checks
# its desktop entry.
# Sanitizer and fuzz builds: clang-14 with its runtime libraries.
# Windows build: MinGW-w64 for i686 with posix threads, run under the 32-bit
# Wine (needs the i386 architecture). Wine takes its ANSI code page from the
# name in LANG/LC_ALL (zh_CN.UTF-8 gives 936), but it converts file names to
# the host's charset of that locale: without the zh_CN.UTF-8 locale generated
# that is ASCII, and every non-ASCII file name fails. So the locale is made.
set -euo pipefail

need_native="cmake g++ make googletest libgtest-dev libgmock-dev python3 clang-14 libclang-rt-14-dev qt6-base-dev fonts-wqy-microhei desktop-file-utils"
need_windows="g++-mingw-w64-i686-posix wine wine32:i386 locales"
# The Windows window's UI test: a virtual X display for Wine, and
# ImageMagick to turn its pictures into PNGs (the Chinese font is below).
need_windows="$need_windows xvfb imagemagick"

missing=()
for p in $need_native $need_windows; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf-\?8'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi

# Hostile-name, template and fault tests (tests/hostile, tests/faults):
# Chromium, xmllint and a font with Chinese characters (for the screenshots)
# from Debian, Node and npm unless a Node is already installed, and
# playwright-core and axe-core from the npm registry at the versions the lock
# file pins.
e2e=()
for p in chromium libxml2-utils fonts-wqy-microhei; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || e2e+=("$p")
done
command -v node >/dev/null || e2e+=(nodejs)
command -v npm >/dev/null || e2e+=(npm)
if ((${#e2e[@]})); then
  echo "setup: installing ${e2e[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${e2e[@]}" >/dev/null
fi
hostile="$(cd "$(dirname "$0")/.." && pwd)/tests/hostile"
if ! node "$hostile/lib/modules_current.js" 2>/dev/null; then
  echo "setup: installing the Node packages of tests/hostile"
  (cd "$hostile" && npm ci --no-audit --no-fund --loglevel=error)
fi
