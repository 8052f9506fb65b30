# Sourced: sets runs32=1 when this machine runs 32-bit programs (Debian's 32-bit Wine loader is one;
# a kernel without 32-bit support refuses to start it), else runs32=0.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then runs32=1; else runs32=0; fi
