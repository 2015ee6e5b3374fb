#!/bin/sh
# Runs a program of the Windows build under Wine, quietly and without asking
# to install Mono or Gecko, unless the caller chose otherwise.
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=}"
export WINEDEBUG WINEDLLOVERRIDES
exec wine "$@"
