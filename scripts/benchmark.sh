#!/usr/bin/env bash
# Figures of the configuration program under Wine against the simulated middleware, in the test
# environment of a build (its prefix, its virtual display): start-up next to an empty dialog
# program's, each page tab, and Apply on the mouse and the keyboard (duration until the device is
# idle, middleware calls). Each figure is the median of five runs.
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
echo "HalvoVexaConfig figures, $arch build (median of 5 runs)"
HV_TEST_DIR="Z:$data" HV_BIN_DIR="Z:$b/bin" HV_SOURCE_DIR="Z:$top" \
  "$top/scripts/wine-run.sh" "$b" "$b/bin/vexa_benchmark.exe" --gtest_brief=1 2>/dev/null \
  | grep -v '^\[' | grep -v '^$' || true
