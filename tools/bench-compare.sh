#!/usr/bin/env bash
# Speed of the working tree against an earlier commit, measured side by side.
#
# Usage: tools/bench-compare.sh [-n RUNS] REV
#
# Builds REV in a temporary worktree and the working tree (with its
# uncommitted changes) in build/bench-compare, both Release, then runs the
# two kestrix-bench programs alternately, RUNS times each (default 5), so
# that the machine's drift from hour to hour falls on both alike. Prints
# every run, both medians and the ratio of the medians (new / old nodes per
# second, above 1 when the working tree is faster). Fails when the two
# programs report different signatures: they then search different nodes,
# and their speeds do not compare.
set -euo pipefail

usage() {
  echo "usage: $0 [-n RUNS] REV" >&2
  exit 2
}

if [ "${1:-}" = --help ] || [ "${1:-}" = -h ]; then
  # The notes at the top of this file, without their comment marks.
  sed -n '2,/^set /{/^#/s/^# \{0,1\}//p}' "$0"
  exit 0
fi
runs=5
while getopts "n:" option; do
  case "$option" in
    n) runs="$OPTARG" ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -eq 1 ] || usage
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || usage

root="$(cd "$(dirname "$0")/.." && pwd)"
rev="$(git -C "$root" rev-parse --verify --quiet "$1^{commit}")" || {
  echo "$0: no commit named $1" >&2
  exit 2
}

mkdir -p "$root/build"
scratch="$(mktemp -d "$root/build/bench-compare-old.XXXXXX")"
worktree=""
cleanup() {
  # Only the worktree made here is removed.
  if [ -n "$worktree" ]; then git -C "$root" worktree remove --force "$worktree" || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT

build() {  # source directory, build directory
  mkdir -p "$2"
  if ! { cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DKESTRIX_TESTS=OFF &&
    cmake --build "$2" --target kestrix-bench -j2; } >"$2/build.log" 2>&1; then
    echo "$0: the build in $2 failed; its log:" >&2
    tail -n 30 "$2/build.log" >&2
    exit 1
  fi
}

echo "Building $1 ($(git -C "$root" log -1 --format='%h %s' "$rev"))"
git -C "$root" worktree add --quiet --detach "$scratch/source" "$rev"
worktree="$scratch/source"
build "$worktree" "$scratch/build"
echo "Building the working tree ($(git -C "$root" log -1 --format='%h' HEAD)$(
  [ -z "$(git -C "$root" status --porcelain --untracked-files=no)" ] || echo ' with changes'))"
build "$root" "$root/build/bench-compare"

old_bench="$scratch/build/kestrix-bench"
new_bench="$root/build/bench-compare/kestrix-bench"

# Prints "ms nodes_per_s signature" of one bench run.
bench_once() {
  local output
  output="$("$1")" || {
    echo "$0: $1 failed" >&2
    exit 1
  }
  local total signature
  total="$(sed -n 's/^Total time: \([0-9]*\) ms, \([0-9]*\) nodes\/s$/\1 \2/p' <<<"$output")"
  signature="$(sed -n 's/^Signature (total nodes): \([0-9]*\)$/\1/p' <<<"$output")"
  if [ -z "$total" ] || [ -z "$signature" ]; then
    echo "$0: no total time or signature in the output of $1" >&2
    exit 1
  fi
  echo "$total $signature"
}

old_ms=() old_speed=() old_signatures=()
new_ms=() new_speed=() new_signatures=()
printf '%-4s %10s %12s %10s %12s\n' run "old ms" "old nodes/s" "new ms" "new nodes/s"
for ((i = 1; i <= runs; ++i)); do
  result="$(bench_once "$old_bench")"
  read -r ms speed signature <<<"$result"
  old_ms+=("$ms") old_speed+=("$speed") old_signatures+=("$signature")
  result="$(bench_once "$new_bench")"
  read -r ms speed signature <<<"$result"
  new_ms+=("$ms") new_speed+=("$speed") new_signatures+=("$signature")
  printf '%-4s %10s %12s %10s %12s\n' "$i" "${old_ms[-1]}" "${old_speed[-1]}" "${new_ms[-1]}" \
    "${new_speed[-1]}"
done

python3 - "${old_ms[*]}" "${old_speed[*]}" "${new_ms[*]}" "${new_speed[*]}" <<'EOF'
import statistics
import sys

old_ms, old_speed, new_ms, new_speed = ([int(v) for v in arg.split()] for arg in sys.argv[1:])
old = statistics.median(old_speed)
new = statistics.median(new_speed)
print(f"median old: {statistics.median(old_ms):.0f} ms, {old:.0f} nodes/s")
print(f"median new: {statistics.median(new_ms):.0f} ms, {new:.0f} nodes/s")
print(f"ratio new/old (nodes/s): {new / old:.3f}")
EOF

# Each build's signature, or its different signatures if the runs disagreed.
old_signature="$(printf '%s\n' "${old_signatures[@]}" | sort -u | paste -sd ' ')"
new_signature="$(printf '%s\n' "${new_signatures[@]}" | sort -u | paste -sd ' ')"
echo "signature old: $old_signature, new: $new_signature"
if [ "$old_signature" != "$new_signature" ] || [[ "$old_signature" == *" "* ]]; then
  echo "SIGNATURES DIFFER: the two builds search different nodes, so their speeds do not compare." >&2
  exit 1
fi
