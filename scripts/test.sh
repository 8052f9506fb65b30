#!/usr/bin/env bash
# Sets up, builds both targets and runs every test under Wine: the x86_64 suite and the i686 suite
# (the deliverable) side by side, each with its own prefix, display and simulator registration.
# Fails if either fails. Arguments go to both ctest runs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
"$top/scripts/build.sh" all
. "$top/scripts/runs32.sh"

suite() { # arch
  cd "$top/build/$1" && ctest --output-on-failure -j "$(nproc)" "${@:2}"
}

if [ "$runs32" = 0 ]; then
  echo "test: this machine cannot run 32-bit programs: the i686 suite is NOT run, only the x86_64 suite"
  echo "== x86_64 suite"
  suite x64 "$@"
  exit
fi

log86="$top/build/x86/ctest.log"
suite x86 "$@" >"$log86" 2>&1 &
pid86=$!
echo "== x86_64 suite (the i686 suite runs beside it; its output follows)"
rc64=0
suite x64 "$@" || rc64=$?
rc86=0
wait "$pid86" || rc86=$?
echo "== i686 suite"
cat "$log86"
[ "$rc64" = 0 ] || echo "test: the x86_64 suite failed"
[ "$rc86" = 0 ] || echo "test: the i686 suite failed"
[ "$rc64" = 0 ] && [ "$rc86" = 0 ]
