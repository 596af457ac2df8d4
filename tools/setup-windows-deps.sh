#!/usr/bin/env bash
# Installs what the Windows build of Kestrix needs on Debian 12, but only
# when something is missing: CMake, the mingw-w64 cross compiler (POSIX
# thread model) and Debian's GoogleTest sources. With --wine, also Wine
# (64-bit only), to run the Windows programs.
set -euo pipefail

want_wine=no
[ "${1:-}" = "--wine" ] && want_wine=yes

missing=()
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v make >/dev/null 2>&1 || missing+=(make)
command -v python3 >/dev/null 2>&1 || missing+=(python3)
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || missing+=(g++-mingw-w64-x86-64-posix)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
if [ "$want_wine" = yes ]; then
  [ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
fi
# Wine's recommended packages (fonts, sound, graphics drivers) serve
# windowed programs; console programs need none of them.
bash "$(dirname "$0")/install-packages.sh" --no-install-recommends "${missing[@]}"
