#!/usr/bin/env bash
# Runs a Windows program of the build in the build's own Wine prefix, on the test display.
# Usage: wine-run.sh <build dir> <program> [args...]
b=$1; shift
. "$(dirname "$0")/wine-env.sh" "$b"
if [ -f "$b/testenv/display" ]; then
  export DISPLAY=$(cat "$b/testenv/display")
fi
exec "$WINE" "$@"
