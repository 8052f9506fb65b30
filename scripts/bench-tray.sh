#!/usr/bin/env bash
# Figures of the tray program under Wine against the simulated middleware, in the test environment of
# one build (its prefix and virtual display): start-up, display latency, menu, automatic switch and
# recording, each the median of 20 events. Not a test: it reports, it does not judge.
# Usage: bench-tray.sh [x64|x86]   (default: the 32-bit build where 32-bit programs run)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/runs32.sh"
arch=${1:-$([ "$runs32" = 1 ] && echo x86 || echo x64)}
b="$top/build/$arch"
"$top/scripts/build.sh" "$arch" >/dev/null
cmake --build "$b" --target tray_bench >/dev/null

"$top/scripts/testenv.sh" start "$b" >/dev/null
trap '"$top/scripts/testenv.sh" stop "$b" >/dev/null' EXIT
# The simulator's devices of the figures live apart from the tests'.
data="$b/bench-tray"
mkdir -p "$data"
export HV_TEST_DIR="Z:$(echo "$data" | tr '/' '\\')"
export HV_BIN_DIR="Z:$(echo "$b/bin" | tr '/' '\\')"
export HV_SOURCE_DIR="Z:$(echo "$top" | tr '/' '\\')"
echo "build/$arch"
"$top/scripts/wine-run.sh" "$b" "$b/systray-test/tray_bench.exe"
