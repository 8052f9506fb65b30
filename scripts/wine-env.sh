# Sourced: the environment of one build's private Wine prefix. Argument: the build directory.
export WINEPREFIX="$1/wine"
export WINE=/usr/lib/wine/wine64
# Debian's /usr/lib/wine/wineserver forces -p0, which restarts Wine for every program.
export WINESERVER=/usr/lib/wine/wineserver64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
