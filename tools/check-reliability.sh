#!/usr/bin/env bash
# Reliability checks, run by tools/check.sh after the unit and process tests:
#   1. the thread-sanitizer build runs the tests in which commands overlap a
#      running search;
#   2. the command-stream fuzzer (clang, libFuzzer, address and
#      undefined-behaviour sanitizers) replays its seed corpus, then fuzzes
#      for KESTRIX_FUZZ_SECONDS (120 by default);
#   3. a soak of whole games between two engine processes through the
#      referee, for KESTRIX_SOAK_MINUTES (4 by default).
# Any failure stops the script with a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."

fuzz_seconds=${KESTRIX_FUZZ_SECONDS:-120}
soak_minutes=${KESTRIX_SOAK_MINUTES:-4}
started=$(date +%s)

# clang and its libFuzzer runtime (Debian keeps the runtime apart from the
# compiler), and the thread-sanitizer runtime of g++.
missing=()
command -v clang++ >/dev/null 2>&1 || missing+=(clang)
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || missing+=(libclang-rt-14-dev)
dpkg -s libtsan2 >/dev/null 2>&1 || missing+=(libtsan2)
bash tools/install-packages.sh "${missing[@]}"

echo "=== tsan: commands that overlap a running search"
cmake --preset tsan -DKESTRIX_WERROR=ON >/dev/null
cmake --build --preset tsan -j2
# Without address-space randomisation: some kernels place mappings where
# the thread sanitizer cannot work.
setarch "$(uname -m)" -R ctest --preset tsan -j2

echo "=== fuzz: the command stream"
CXX=clang++ cmake -S tests/fuzz -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j2
fuzzer=build/fuzz/kestrix-fuzz-commands
rm -rf build/fuzz/artifacts build/fuzz/scratch
mkdir -p build/fuzz/artifacts build/fuzz/scratch
# The harness makes the allocator refuse blocks above 32 MB on purpose; the
# warning written for each refusal is noise here.
quiet() { sed '/failed to allocate 0x/d' "$1"; }
fuzz() {
  local log=build/fuzz/last.log status=0
  "$fuzzer" -artifact_prefix=build/fuzz/artifacts/ "$@" >"$log" 2>&1 || status=$?
  if [ "$status" -ne 0 ]; then
    quiet "$log" | tail -60
    for input in build/fuzz/artifacts/*; do
      [ -f "$input" ] || continue
      echo "--- failing input $input:"
      od -c "$input" | head -40
    done
    exit "$status"
  fi
  quiet "$log" | grep -E "^(#[0-9]+[[:space:]]+(INITED|DONE)|Done|stat::)" || true
}
fuzz -runs=0 tests/fuzz/corpus
fuzz -dict=tests/fuzz/commands.dict -max_total_time="$fuzz_seconds" -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 build/fuzz/scratch tests/fuzz/corpus

echo "=== soak: games between two engine processes"
cmake --preset ci-release >/dev/null
cmake --build --preset ci-release -j2 --target pbrain-kestrix
seed=$(date +%s)
echo "soak seed $seed"
python3 tools/soak.py --engine build/ci-release/pbrain-kestrix --minutes "$soak_minutes" \
  --seed "$seed" --quiet

echo "=== reliability checks passed in $(($(date +%s) - started)) s"
