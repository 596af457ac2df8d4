#!/usr/bin/env bash
# Installs what the browser build and its tests need on Debian 12, but only
# when something is missing: CMake, Debian's emscripten, node and npm, and
# with --browser also Debian's chromium for the page's tests.
set -euo pipefail

missing=()
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v make >/dev/null 2>&1 || missing+=(make)
command -v python3 >/dev/null 2>&1 || missing+=(python3)
command -v emcc >/dev/null 2>&1 || missing+=(emscripten)
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ "${1:-}" = --browser ]; then
  [ -x /usr/bin/chromium ] || missing+=(chromium)
fi
bash "$(dirname "$0")/install-packages.sh" "${missing[@]}"
