#!/usr/bin/env bash
# Configures and builds both targets: build/x64 (the one tests run) and build/x86 (the deliverable).
# Usage: build.sh [x64|x86|all]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
which=${1:-all}
# ccache, where installed, shares compiled objects between work trees and rebuilds.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
build_one() { # arch toolchain
  local dir="$top/build/$1"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/toolchain-$2.cmake" \
      "${launcher[@]}" >/dev/null
  fi
  cmake --build "$dir"
}
case "$which" in
  x64) build_one x64 x86_64 ;;
  x86) build_one x86 i686 ;;
  all) build_one x64 x86_64; build_one x86 i686 ;;
  *) echo "usage: $0 [x64|x86|all]"; exit 2 ;;
esac
