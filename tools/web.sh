#!/usr/bin/env bash
# Builds the browser page into build/wasm/web/ and serves it on
# http://127.0.0.1:8000 with Python's http.server (Ctrl-C stops it). With
# --bench, builds the same way and runs the WebAssembly kestrix-bench under
# node instead, printing its usual output. Emscripten and node are installed
# first when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=serve
case "${1:-}" in
  --bench) mode=bench ;;
  "") ;;
  *) echo "usage: $0 [--bench]" >&2; exit 2 ;;
esac

bash tools/setup-web-deps.sh
# Debian's emscripten finds its JavaScript parser (acorn) there.
export NODE_PATH=/usr/share/nodejs
cmake --preset wasm >/dev/null
cmake --build --preset wasm -j2
if [ "$mode" = bench ]; then
  exec node build/wasm/kestrix-bench.js
fi
echo
echo "Kestrix in the browser: open http://127.0.0.1:8000/ (Ctrl-C stops the server)"
exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build/wasm/web
