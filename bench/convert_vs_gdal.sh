#!/usr/bin/env bash
# Whole-conversion timing against a peer, in one run on the same files:
#   ctgtilbo /AUTO (plan, create the tiles, copy every record, save, copy into place)
#   gdal_translate -b 1 (the same CTG file to a GeoTIFF)
# for the real LEWISTON quadrangle unpacked, the same as USGS ships it
# (gzip: ctgtilbo reads the .gz, GDAL reads it through /vsigzip/), and a
# synthetic 1 x 2 degree quadrangle at 200 m. Each command runs once to warm
# the file cache, then RUNS times, the two alternated; the medians of the wall
# time, their ratio, and the largest peak memory (maximum resident set, GNU
# time) of each are printed.
# Usage: bench/convert_vs_gdal.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-7}
root=$(cd "$(dirname "$0")/.." && pwd)
command -v gdal_translate >/dev/null || { echo "gdal_translate not installed (Debian gdal-bin)"; exit 1; }
[ -x /usr/bin/time ] || { echo "GNU time not installed (Debian time)"; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CTGTILBO_HOME="$work/home" CTGTILBO_WINDOWS_DIR="$work/windows" CTGTILBO_SUITE_DIR="$work/home"
mkdir -p "$work/home" "$work/windows"

gzip -dc "$root/tests/data/LEWISTON_grid_cell.gz" > "$work/lewiston"
cp "$root/tests/data/LEWISTON_grid_cell.gz" "$work/lewiston.gz"
"$build/luctool" synth --south 40 --west -106 --seed 7 -o "$work/synth" >/dev/null

. "$(dirname "$0")/timing.sh"

for name in lewiston lewiston.gz synth; do
  src="$work/$name"
  peer="$src"
  [ "${name%.gz}" != "$name" ] && peer="/vsigzip/$src"
  fresh() { rm -rf "$work/out" && mkdir -p "$work/out"; }
  convert=("$build/ctgtilbo" /AUTO "/SOURCE=$src" "/DEST=$work/out/" "/LOG=$work/auto.log")
  translate=(gdal_translate -q -b 1 "$peer" "$work/peer.tif")
  fresh; "${convert[@]}" >/dev/null 2>&1; "${translate[@]}" >/dev/null 2>&1   # warm-up
  : > "$work/a"; : > "$work/b"; : > "$work/ma"; : > "$work/mb"
  for _ in $(seq "$runs"); do
    fresh
    time_and_memory "$work/a" "$work/ma" "${convert[@]}"
    time_and_memory "$work/b" "$work/mb" "${translate[@]}"
  done
  a=$(median < "$work/a"); b=$(median < "$work/b")
  ma=$(largest < "$work/ma"); mb=$(largest < "$work/mb")
  records=$("$build/luctool" info "$src" --json | tr ',' '\n' | grep -m1 '"recordCount"' | tr -dc '0-9')
  printf '%-11s %8s records  ctgtilbo %.3f s %6.1f MB  gdal_translate %.3f s %6.1f MB  ratio %.2f\n' \
    "$name" "$records" "$a" "$(awk -v k="$ma" 'BEGIN {print k / 1024}')" \
    "$b" "$(awk -v k="$mb" 'BEGIN {print k / 1024}')" "$(awk -v a="$a" -v b="$b" 'BEGIN {print a / b}')"
  tail -n 12 "$work/auto.log" | grep -E 'excluded|converted' | sed 's/^/            /' | head -3
done
