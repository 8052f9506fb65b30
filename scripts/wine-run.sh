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
# A fault of the program itself ends it with an exception code, never with a signal: Wine turns the
# program's faults into exceptions. A Linux signal that kills the loader is Wine's own (seen once on
# the 32-bit loader as a test program ended, after every test had passed). Such a run is said, and
# made once more; a second such end stands.
"$WINE" "$@"
rc=$?
case "$rc" in
  132|135|139)
    echo "wine-run: the Wine loader died of signal $((rc - 128)) running $(basename "$1"); running it again" >&2
    exec "$WINE" "$@" ;;
esac
exit "$rc"
