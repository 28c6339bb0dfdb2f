#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time each.
# Usage: tools/run-fuzzers.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:?build dir}; seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in "$build"/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$root/fuzz/corpus-$name"; mkdir -p "$corpus"
  seeds="$root/fuzz/seeds/${name#fuzz_}"
  echo "== $name: ${seconds}s"
  start=$(date +%s)
  if ! "$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" ${seeds:+$( [ -d "$seeds" ] && echo "$seeds")} \
       >"$build/$name.log" 2>&1; then
    echo "$name FAILED (see $build/$name.log)"; status=1
  fi
  end=$(date +%s)
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$build/$name.log" | sed 's/^/   /' || true
  echo "   ran $((end - start))s"
done
exit $status
