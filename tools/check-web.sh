#!/usr/bin/env bash
# The browser build's checks, which tools/check.sh runs in the full check:
# the wasm preset built with warnings as errors, the WebAssembly bench under
# node, whose signature must equal the native one, and the page's tests in
# Debian's chromium, driven by playwright-core as pinned in
# tests/web/package-lock.json. Installs what is missing first (emscripten,
# node and npm, chromium); no browser is ever downloaded.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash tools/setup-web-deps.sh --browser
export NODE_PATH=/usr/share/nodejs
echo "=== wasm"
cmake --preset wasm
cmake --build --preset wasm -j2
echo "=== wasm bench"
node build/wasm/kestrix-bench.js --expect "$(cat bench/signature)"
echo "=== the page in chromium"
# The tests must run here: without chromium or the page they would only
# report themselves skipped.
[ -x /usr/bin/chromium ] || { echo "no /usr/bin/chromium" >&2; exit 1; }
cd tests/web
PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund
node --test
echo "=== browser checks passed in $((SECONDS - started)) s"
