#!/usr/bin/env bash
# Builds a Release engine and plays one short game between two Kestrix
# processes through the referee, printing the board and the result.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target pbrain-kestrix
engine=build/release/pbrain-kestrix
python3 tools/referee.py --engine "$engine" --engine "$engine" --size 15 --timeout-turn 1000 "$@"
