#!/usr/bin/env bash
# Runs every Google Benchmark program of a release build, then the end-to-end
# comparison scripts in bench/.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
for b in "$build"/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.5
done
for s in "$root"/bench/*.sh; do
  [ -x "$s" ] || continue
  echo "== $(basename "$s")"
  "$s" "$build"
done
