#!/usr/bin/env bash
# Builds pbrain-kestrix.zip (the 64-bit Windows engine and a note on adding
# it to a manager) on Debian 12, installing the cross compiler first if it
# is missing. The ZIP lands in build/windows/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup-windows-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target pbrain-zip
echo "built $(pwd)/build/windows/pbrain-kestrix.zip"
