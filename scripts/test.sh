#!/usr/bin/env bash
# Sets up, builds both targets and runs every test under Wine (x86_64 build).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" all
cd "$top/build/x64"
ctest --output-on-failure -j "$(nproc)" "$@"
