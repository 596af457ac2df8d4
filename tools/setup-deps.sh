#!/usr/bin/env bash
# Installs what building and testing Kestrix needs on Debian 12, but only
# when something is missing: a machine that has it all is left alone.
set -euo pipefail

missing=()
command -v cmake >/dev/null 2>&1 || missing+=(cmake)
command -v g++ >/dev/null 2>&1 || missing+=(g++)
command -v make >/dev/null 2>&1 || missing+=(make)
command -v python3 >/dev/null 2>&1 || missing+=(python3)
[ -f /usr/include/gtest/gtest.h ] || missing+=(libgtest-dev)
bash "$(dirname "$0")/install-packages.sh" "${missing[@]}"
