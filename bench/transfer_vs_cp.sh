#!/usr/bin/env bash
# One transfer step of a 10 MB file (copy, fsync, verify from storage, delete) against
# `cp` + `sync` + `cmp` of the same file, in one run with the repetitions interleaved.
# Prints the median wall time of each and their ratio; fails when the ratio exceeds 1.3.
#   bench/transfer_vs_cp.sh [BUILD_DIR] [REPETITIONS]
# SORTELIA_BENCH_DIR chooses the work folder (default: the system's temporary folder); put it
# on the disk that pictures are sorted on, not on a tmpfs.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-sort}
reps=${2:-9}
bench=$build/bin/bench_transfer
[ -x "$bench" ] || { echo "missing $bench: build it first (Release or RelWithDebInfo)" >&2; exit 1; }
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$bench" --benchmark_repetitions="$reps" --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.5 --benchmark_format=csv >"$out" 2>/dev/null
# CSV: name,iterations,real_time,cpu_time,time_unit,...
median() { awk -F, -v n="\"$1_median\"" '$1 == n {print $3}' "$out"; }
ours=$(median BM_TransferStep/real_time)
peer=$(median BM_CpSyncCmp/real_time)
[ -n "$ours" ] && [ -n "$peer" ] || { echo "benchmark output incomplete:" >&2; cat "$out" >&2; exit 1; }
ratio=$(awk -v a="$ours" -v b="$peer" 'BEGIN {printf "%.3f", a / b}')
echo "work folder: ${SORTELIA_BENCH_DIR:-$(dirname "$(mktemp -u)")} ($(df -T "${SORTELIA_BENCH_DIR:-/tmp}" | awk 'NR == 2 {print $2}'))"
echo "transfer step (copy, fsync, verify from storage, delete): median ${ours} ms"
echo "cp + sync + cmp:                                          median ${peer} ms"
echo "ratio: ${ratio} (limit 1.3)"
awk -v r="$ratio" 'BEGIN {exit !(r <= 1.3)}'
