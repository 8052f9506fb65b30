#!/usr/bin/env bash
# Runs a Windows program of the build in the build's own Wine prefix, on the test display.
# Usage: wine-run.sh <build dir> <program> [args...]
b=$1; shift
. "$(dirname "$0")/wine-env.sh" "$b"
if [ -f "$b/testenv/display" ]; then
  export DISPLAY=$(cat "$b/testenv/display")
fi
# A wineserver that a program starts by itself would inherit the caller's output pipe and hold
# ctest until its timeout: make sure the persistent one runs, with its output elsewhere.
"$WINESERVER" -p </dev/null >/dev/null 2>&1
exec "$WINE" "$@"
