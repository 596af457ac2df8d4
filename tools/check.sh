#!/usr/bin/env bash
# The full check, what CI runs: every test twice, in a Release build with
# warnings as errors and in a build with the address and undefined-behaviour
# sanitizers; the build and install without GoogleTest and the Linux
# packages; the reliability checks (thread sanitizer, fuzzer, soak); the
# Windows build, tested under Wine; the browser build, its bench and the
# page in chromium; and last, every command of the README, in a fresh copy of
# the tree.
#
# With --quick, only the first part: the Release build with warnings as
# errors, its tests and the benchmark signature (a few minutes).
set -euo pipefail
cd "$(dirname "$0")/.."

quick=no
case "${1:-}" in
  --quick) quick=yes ;;
  "") ;;
  *) echo "usage: $0 [--quick]" >&2; exit 2 ;;
esac
started=$SECONDS

bash tools/setup-deps.sh
presets=(ci-release ci-sanitize)
[ "$quick" = yes ] && presets=(ci-release)
for preset in "${presets[@]}"; do
  echo "=== $preset"
  # ON: the tests are required, so a missing GoogleTest fails here.
  cmake --preset "$preset" -DKESTRIX_TESTS=ON
  cmake --build --preset "$preset" -j2
  ctest --preset "$preset" -j2
  if [ "$preset" = ci-release ]; then
    # The search must visit exactly the recorded nodes: any change of
    # behaviour shows up here as a different signature.
    "build/$preset/kestrix-bench" --expect "$(cat bench/signature)"
  fi
done
if [ "$quick" = yes ]; then
  echo "=== quick check passed in $((SECONDS - started)) s (left out: the sanitizer builds, the"
  echo "    fuzzer, the soak, the build without GoogleTest, the packages, the Windows build, the"
  echo "    browser build and the README's commands; bash tools/check.sh runs them all)"
  exit 0
fi
bash tools/check-install.sh
bash tools/check-reliability.sh
bash tools/check-windows.sh
bash tools/check-web.sh
python3 tools/check-readme.py
echo "=== all tests passed in $((SECONDS - started)) s"
