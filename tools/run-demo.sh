#!/usr/bin/env bash
# The program's main job on its embedded default: a synthetic 1 x 2 degree
# land-use quadrangle is generated, converted unattended into LUC tiles, the
# AutoConvert log printed, and every produced tile rendered to PNG beside it
# (and given the VRT through which GDAL and QGIS open it).
# Everything lands in BUILD_DIR/demo (settings too: the real home is untouched).
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
demo="$build/demo"
rm -rf "$demo"
mkdir -p "$demo/tiles" "$demo/home" "$demo/config"
export CTGTILBO_HOME="$demo/home" CTGTILBO_WINDOWS_DIR="$demo/config" CTGTILBO_SUITE_DIR="$demo/home"

echo "== The real sample quadrangle (USGS LEWISTON, ME VT NH)"
gzip -dc "$root/tests/data/LEWISTON_grid_cell.gz" > "$demo/lewiston.ctg"
"$build/luctool" info "$demo/lewiston.ctg"

echo
echo "== A synthetic quadrangle: 40-41 N, 106-104 W, 200 m cells"
"$build/luctool" synth --south 40 --west -106 --title "SAMPLE CITY, CO 1:250,000 QUAD LU" --date 84180 \
  --seed 7 -o "$demo/sample.ctg"
"$build/luctool" info "$demo/sample.ctg" | head -n 12

echo
echo "== Converting it: ctgtilbo /AUTO /SOURCE=... /DEST=... /LOG=..."
status=0
"$build/ctgtilbo" /AUTO "/SOURCE=$demo/sample.ctg" "/DEST=$demo/tiles/" "/LOG=$demo/autoconvert.log" || status=$?
cat "$demo/autoconvert.log"
[ "$status" -eq 0 ] || { echo "ctgtilbo exited with status $status"; exit "$status"; }

echo "== The tiles"
for tile in "$demo"/tiles/*.LUC; do
  "$build/luctool" render "$tile" -o "${tile%.LUC}.png"
  "$build/luctool" georef "$tile" > /dev/null
  "$build/luctool" info "$tile" | head -n 8
  echo "   rendered to ${tile%.LUC}.png; GDAL and QGIS open $tile.vrt"
  echo
done
