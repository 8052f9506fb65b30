#!/usr/bin/env bash
# Figures of the configuration program under Wine against the simulated middleware, in the test
# environment of a build (its prefix, its virtual display), each next to its yardstick from the same
# run and its limit: start-up next to the empty dialog program's (the one the tray's figures use
# too), each page tab's first and later showings, the windows and private memory after start, the
# middleware calls of a start (repeated ones counted) and of OK with nothing changed, and Apply on the
# mouse and the keyboard (duration until the device is idle, middleware calls). Each figure is the
# median of five runs; a closing list says which limits are met. It runs unattended: a step that does
# not come fails the run, and the whole run is ended after a time limit rather than left hanging.
# Usage: benchmark.sh [x86|x64]   (default: the 32-bit build where this machine runs 32-bit programs)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
. "$top/scripts/runs32.sh"
arch=${1:-}
if [ -z "$arch" ]; then
  if [ "$runs32" = 1 ]; then arch=x86; else arch=x64; fi
fi
"$top/scripts/build.sh" "$arch"
b="$top/build/$arch"
cmake --build "$b" --target vexa_benchmark >/dev/null

"$top/scripts/testenv.sh" start "$b" >/dev/null
trap '"$top/scripts/testenv.sh" stop "$b" >/dev/null' EXIT
data="$b/testdata/vexa_benchmark"
mkdir -p "$data"
log="$data/benchmark.log"
limit=${HV_BENCHMARK_LIMIT_S:-900}
echo "HalvoVexaConfig figures, $arch build (median of 5 runs)"
# The program's own lines only: gtest's progress lines go, its failures stay; Wine's chatter goes to
# the log.
set +e
HV_TEST_DIR="Z:$data" HV_BIN_DIR="Z:$b/bin" HV_SOURCE_DIR="Z:$top" \
  timeout --kill-after=30 "$limit" "$top/scripts/wine-run.sh" "$b" "$b/bin/vexa_benchmark.exe" --gtest_brief=1 \
  2>"$log" | grep --line-buffered -v -e '^\[ *\(RUN\|OK\|PASSED\) *\]' -e '^\[=*\]' -e '^\[-*\]' -e '^$'
rc=${PIPESTATUS[0]}
set -e
if [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
  echo "benchmark.sh: the benchmark did not end within $limit s and was stopped (Wine's output: $log)" >&2
  exit 1
fi
if [ "$rc" != 0 ]; then
  grep -a 'unhandled exception' "$log" >&2 || true
  echo "benchmark.sh: the benchmark failed (exit $rc): see the failures above and $log" >&2
  exit 1
fi
