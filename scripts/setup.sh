#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, idempotently: a second run only checks.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64 fonts-wine xvfb cmake ninja-build
          googletest python3 dpkg-dev imagemagick x11-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# Debian's 32-bit Wine runs the 32-bit build, the one the system ships as.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  missing+=(wine32:i386)
elif ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
  missing+=(wine32:i386)
fi
install() { apt-get install -y -qq "$@" >/dev/null; }
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in the middle of a sync fails an index now and then (seen: the security suite's i386
  # list), and 32-bit packages must match their 64-bit twins' versions: try a few times, then
  # take both architectures from the release's own archive.
  done=0
  for try in 1 2 3; do
    apt-get update -qq || true
    if install "${missing[@]}" || install -t bookworm "${missing[@]}"; then done=1; break; fi
    sleep 20
  done
  if [ "$done" = 0 ]; then
    rest=()
    for p in "${missing[@]}"; do [ "$p" = wine32:i386 ] || rest+=("$p"); done
    if [ ${#rest[@]} -gt 0 ] && ! install "${rest[@]}"; then
      echo "setup: could not install ${rest[*]}" >&2
      exit 1
    fi
    # Without 32-bit Wine the tests say that the i686 suite is not run, and run the x86_64 one.
    echo "setup: 32-bit Wine (wine32:i386) could not be installed now; the i686 build is built but its suite cannot run here" >&2
  fi
fi

# pugixml: Debian ships no mingw build and its -dev package holds no sources, so the sources come
# from the source package into a cache that git ignores.
cache="$top/.cache/pugixml"
if [ ! -f "$cache/src/pugixml.cpp" ]; then
  srcs=/etc/apt/sources.list.d/hv-deb-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    cat > "$srcs" <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt-get update -qq || true
  fi
  work=$(mktemp -d)
  (cd "$work" && apt-get source -qq pugixml >"$work/apt-source.log" 2>&1) || true
  dir=$(find "$work" -maxdepth 1 -type d -name 'pugixml-*' | head -n 1)
  if [ -z "$dir" ] || [ ! -f "$dir/src/pugixml.cpp" ]; then
    echo "setup: could not fetch the pugixml sources:" >&2
    cat "$work/apt-source.log" >&2
    exit 1
  fi
  rm -rf "$cache"; mkdir -p "$(dirname "$cache")"
  mv "$dir" "$cache"
  rm -rf "$work"
fi
