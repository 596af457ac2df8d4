#!/usr/bin/env bash
# Builds and runs every test twice: a Release build with warnings as errors,
# then a build with the address and undefined-behaviour sanitizers; then the
# reliability checks (thread sanitizer, fuzzer, soak).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup-deps.sh
for preset in ci-release ci-sanitize; do
  echo "=== $preset"
  cmake --preset "$preset" -DKESTRIX_TESTS=ON
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset" -j2
done
bash tools/check-reliability.sh
echo "=== all tests passed"
