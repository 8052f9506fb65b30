#!/usr/bin/env bash
# The shared test environment of one build: one Xvfb on a free display, one persistent wineserver,
# the private prefix (created once) and the simulated middleware registered in it.
# Several test runs of one build may overlap (ctest in two shells): each run registers its ctest
# process as a user; the environment is started by the first and stopped after the last.
# Usage: testenv.sh start|stop <build dir>
set -u
cmd=$1; b=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh" "$b"
env="$b/testenv"
mkdir -p "$env"

alive() { # a zombie is not alive: PID 1 here does not reap orphans
  [ -n "${1:-}" ] && [ -d "/proc/$1" ] && ! grep -q '^State:.*Z' "/proc/$1/status" 2>/dev/null
}

# Our Xvfb, not another process that inherited a stale pid.
is_our_xvfb() {
  alive "${1:-}" && tr '\0' ' ' <"/proc/$1/cmdline" 2>/dev/null | grep -q '^Xvfb -displayfd'
}

stop() {
  if [ -d "$WINEPREFIX" ]; then
    "$WINESERVER" -k >/dev/null 2>&1
    "$WINESERVER" -w >/dev/null 2>&1
  fi
  if [ -f "$env/xvfb.pid" ]; then
    pid=$(cat "$env/xvfb.pid")
    is_our_xvfb "$pid" && kill "$pid" 2>/dev/null
    rm -f "$env/xvfb.pid"
  fi
  rm -f "$env/display"
}

env_alive() {
  [ -f "$env/xvfb.pid" ] && is_our_xvfb "$(cat "$env/xvfb.pid")" && [ -f "$env/display" ] \
    && [ -f "$WINEPREFIX/system.reg" ]
}

# Keeps the users file to the ctest processes that still live; prints how many.
prune_users() {
  local live=()
  if [ -f "$env/users" ]; then
    while read -r pid; do alive "$pid" && live+=("$pid"); done <"$env/users"
  fi
  printf '%s\n' "${live[@]}" | grep . >"$env/users.new" || true
  mv "$env/users.new" "$env/users"
  grep -c . "$env/users" || true
}

start() {
  if [ "$(prune_users)" -gt 0 ] && env_alive; then
    echo "$PPID" >>"$env/users"
    export DISPLAY=$(cat "$env/display")
    register_server
    echo "test environment on $DISPLAY shared with a running test run"
    return
  fi
  stop
  # Xvfb writes the display number it chose to fd 3.
  rm -f "$env/display.num"
  # Background processes must not inherit the lock (fd 9), or it would be held for their lifetime.
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$env/display.num" </dev/null >"$env/xvfb.log" 2>&1 9>&- &
  echo $! >"$env/xvfb.pid"
  for _ in $(seq 100); do
    [ -s "$env/display.num" ] && break
    sleep 0.1
  done
  [ -s "$env/display.num" ] || { echo "Xvfb did not start"; cat "$env/xvfb.log"; exit 1; }
  export DISPLAY=":$(head -n 1 "$env/display.num")"
  echo "$DISPLAY" >"$env/display"

  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # No registry: a first run, or one interrupted while it made the prefix. Make it anew.
    # A first boot now and then fails to load kernel32 while another prefix boots beside it (the
    # two suites start together): a second try on a clean prefix goes through.
    for try in 1 2; do
      "$WINESERVER" -k >/dev/null 2>&1
      "$WINESERVER" -w >/dev/null 2>&1
      rm -rf "$WINEPREFIX"
      "$WINE" wineboot -i </dev/null >"$env/wineboot.log" 2>&1 9>&- && break
      [ "$try" = 2 ] && { cat "$env/wineboot.log"; exit 1; }
      echo "wineboot failed, trying once more:"; cat "$env/wineboot.log"
    done
    "$WINESERVER" -w
  fi
  # Exit code 2 means a server already runs for this prefix.
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 9>&-
  # Unmanaged X windows: hiding or destroying a window does not wait for a window manager.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 9>&-

  register_server
  # Keeps the prefix's desktop process alive between tests, so that no test waits for it to end.
  if [ -f "$b/bin/hv_keepdesktop.exe" ]; then
    setsid "$WINE" "$b/bin/hv_keepdesktop.exe" </dev/null >/dev/null 2>&1 9>&- &
  fi
  echo "$PPID" >>"$env/users"
  echo "test environment on $DISPLAY, prefix $WINEPREFIX"
}

register_server() {
  if [ -f "$b/bin/HvMwSim.dll" ]; then
    "$WINE" regsvr32 /s "$b/bin/HvMwSim.dll" </dev/null >"$env/regsvr32.log" 2>&1 9>&- \
      || { echo "registering the simulated middleware failed"; cat "$env/regsvr32.log"; exit 1; }
  fi
}

exec 9>"$env/lock"
flock 9
case "$cmd" in
  start) start ;;
  stop)
    grep -vx "$PPID" "$env/users" >"$env/users.new" 2>/dev/null; mv -f "$env/users.new" "$env/users" 2>/dev/null
    if [ "$(prune_users)" -gt 0 ]; then
      echo "test environment left running for another test run"
    else
      stop; echo "test environment stopped"
    fi ;;
  *) echo "usage: $0 start|stop <build dir>"; exit 2 ;;
esac
