#!/usr/bin/env bash
# Builds the Release engine and the benchmark, then plays one game between
# two Kestrix processes through the referee: the rule, the board and the
# time per move first, one line per move as it is played, then the board
# and the result. Options go to the referee (--watch draws the board after
# every move; python3 tools/referee.py --help lists the others).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target pbrain-kestrix kestrix-bench
engine=build/release/pbrain-kestrix
echo
echo "Kestrix against Kestrix, at most one second per move. The first moves (the"
echo "centre, then squares next to a stone) are drawn at random, so two runs give"
echo "different games."
echo
python3 tools/referee.py --engine "$engine" --engine "$engine" --size 15 --timeout-turn 1000 "$@"
echo
echo "Watch a game move by move: bash tools/demo.sh --watch"
echo "Play against Kestrix:      python3 tools/referee.py --engine $engine --human black"
