# Sourced: the environment of one build's private Wine prefix. Argument: the build directory.
# The build's configuration writes which Wine runs its programs ("wine-arch": x86 or x64); a 32-bit
# build gets a 32-bit prefix and Debian's 32-bit Wine, as on the 32-bit Windows the system ships for.
export WINEPREFIX="$1/wine"
if [ "$(cat "$1/wine-arch" 2>/dev/null)" = x86 ]; then
  export WINEARCH=win32
  export WINE=/usr/lib/wine/wine
  # Debian's /usr/lib/wine/wineserver forces -p0, which restarts Wine for every program.
  export WINESERVER=/usr/lib/wine/wineserver32
else
  export WINEARCH=win64
  export WINE=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
