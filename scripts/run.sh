#!/usr/bin/env bash
# Sets up, builds, lays out the install directory as the installer would and starts the
# configuration program under Wine against the simulated middleware.
# With DISPLAY set it runs on that display until the program ends; without one it runs on a
# virtual display, saves a picture of the screen and prints where.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
# The deliverable is the 32-bit build; the 64-bit one stands in where 32-bit programs cannot run.
. "$top/scripts/runs32.sh"
if [ "$runs32" = 1 ]; then
  arch=x86
  echo "run: the 32-bit build (the deliverable), under 32-bit Wine"
else
  arch=x64
  echo "run: this machine cannot run 32-bit programs: the 64-bit build stands in for the deliverable"
fi
"$top/scripts/build.sh" "$arch"

b="$top/build/$arch"
inst="$b/install"
. "$top/scripts/wine-env.sh" "$b"
export WINEPREFIX="$b/run-wine"      # the program's own prefix, apart from the tests'

# The install directory: programs, the middleware, and the default skin when it is generated.
mkdir -p "$inst"
for f in HalvoVexaConfig.exe HalvoVexaSysTray.exe HvMwTestApp.exe HvMwSim.dll mwsim.exe; do
  [ -f "$b/bin/$f" ] && cp -f "$b/bin/$f" "$inst/"
done
if [ -d "$b/skin-image" ]; then
  cp -rf "$b/skin-image/." "$inst/"
fi

xvfb_pid=""
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  rm -f "$b/run-display"
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$b/run-display" </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [ -s "$b/run-display" ] && break; sleep 0.1; done
  [ -s "$b/run-display" ] || { echo "run: the virtual display (Xvfb) did not start" >&2; exit 1; }
  export DISPLAY=":$(head -n 1 "$b/run-display")"
  headless=1
else
  headless=0
fi

"$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX (once)..."
  "$WINESERVER" -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX"
  "$WINE" wineboot -i </dev/null >"$b/run-wineboot.log" 2>&1 \
    || { echo "run: creating the Wine prefix failed, see $b/run-wineboot.log" >&2; exit 1; }
fi
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
if [ -f "$inst/HvMwSim.dll" ]; then
  "$WINE" regsvr32 /s "$inst/HvMwSim.dll" >/dev/null 2>&1
fi
# What the installer writes.
win_inst="Z:$(echo "$inst" | tr '/' '\\')"
"$WINE" reg add 'HKLM\Software\Halvo\VEXA' /v InstallDir /t REG_SZ /d "$win_inst" /f >/dev/null 2>&1
"$WINE" reg add 'HKLM\Software\Halvo\VEXA' /v Language /t REG_SZ /d English /f >/dev/null 2>&1


cd "$inst"
if [ "$headless" = 0 ]; then
  "$WINE" "$inst/HalvoVexaConfig.exe"
else
  "$WINE" "$inst/HalvoVexaConfig.exe" </dev/null >"$b/run.log" 2>&1 &
  program=$!
  # The main window is shown (and named) once the program has read both devices and filled its
  # pages; a first start in a new prefix takes a while.
  for _ in $(seq "${HV_RUN_WAIT_TENTHS:-1200}"); do
    xwininfo -display "$DISPLAY" -name 'Halvo VEXA Configurator' 2>/dev/null | grep -q IsViewable && break
    kill -0 "$program" 2>/dev/null || { echo "run: the program ended early, see $b/run.log" >&2; exit 1; }
    sleep 0.1
  done
  sleep "${HV_RUN_SECONDS:-2}"   # its first painting
  shot="$b/HalvoVexaConfig.png"
  /usr/bin/import -display "$DISPLAY" -window root "$shot"
  echo "No display was set: the program ran on a virtual display; picture of the screen: $shot"
fi
