#!/usr/bin/env bash
# Whole-conversion timing against a peer, in one run on the same files:
#   ctgtilbo /AUTO (plan, create the tiles, copy every record, save, copy into place)
#   gdal_translate -b 1 (the same CTG file to a GeoTIFF)
# for the real LEWISTON quadrangle and a synthetic 1 x 2 degree quadrangle at
# 200 m. Each command runs once to warm the file cache, then RUNS times in
# turn; the medians and their ratio are printed.
# Usage: bench/convert_vs_gdal.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-7}
root=$(cd "$(dirname "$0")/.." && pwd)
command -v gdal_translate >/dev/null || { echo "gdal_translate not installed (Debian gdal-bin)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CTGTILBO_HOME="$work/home" CTGTILBO_WINDOWS_DIR="$work/windows" CTGTILBO_SUITE_DIR="$work/home"
mkdir -p "$work/home" "$work/windows"

gzip -dc "$root/tests/data/LEWISTON_grid_cell.gz" > "$work/lewiston"
"$build/luctool" synth --south 40 --west -106 --seed 7 -o "$work/synth" >/dev/null

. "$(dirname "$0")/timing.sh"

for name in lewiston synth; do
  src="$work/$name"
  convert() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    "$build/ctgtilbo" /AUTO "/SOURCE=$src" "/DEST=$work/out/" "/LOG=$work/auto.log"
  }
  translate() { gdal_translate -q -b 1 "$src" "$work/peer.tif"; }
  convert >/dev/null 2>&1; translate >/dev/null 2>&1   # warm-up
  : > "$work/a"; : > "$work/b"
  for _ in $(seq "$runs"); do
    time_once convert >> "$work/a"
    time_once translate >> "$work/b"
  done
  a=$(median < "$work/a"); b=$(median < "$work/b")
  records=$("$build/luctool" info "$src" --json | tr ',' '\n' | grep -m1 '"recordCount"' | tr -dc '0-9')
  printf '%-9s %8s records  ctgtilbo %.3f s  gdal_translate %.3f s  ratio %.2f\n' \
    "$name" "$records" "$a" "$b" "$(awk -v a="$a" -v b="$b" 'BEGIN {print a / b}')"
  tail -n 12 "$work/auto.log" | grep -E 'excluded|converted' | sed 's/^/          /' | head -3
done
