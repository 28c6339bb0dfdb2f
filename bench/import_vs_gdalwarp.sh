#!/usr/bin/env bash
# luctool import against gdalwarp -r mode, in one run on the same source and
# the same grid: a one-degree tile (44..45 N, 72..71 W) at 200 m from an
# NLCD-like 30 m raster in Albers on NAD 83 (about 3100 x 4000 cells, made
# here: land-cover blocks with 20 % of cells scattered). gdalwarp warps the
# source onto the tile's grid (its UTM zone, extent and 200 m cells, from the
# tile's VRT). Each command runs once to warm the file cache, then RUNS times
# in turn; the medians and their ratio are printed.
# Usage: bench/import_vs_gdalwarp.sh [BUILD_DIR] [RUNS] [extra luctool import options...]
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
shift $(( $# > 2 ? 2 : $# ))
command -v gdalwarp >/dev/null || { echo "gdalwarp not installed (Debian gdal-bin)"; exit 1; }
py=/usr/bin/python3  # Debian's python3-gdal

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$py" - "$work/nlcd30.tif" <<'PY'
import sys
import numpy as np
from osgeo import gdal, osr
albers = osr.SpatialReference(); albers.ImportFromEPSG(5070)
wgs = osr.SpatialReference(); wgs.ImportFromEPSG(4326)
for s in (albers, wgs): s.SetAxisMappingStrategy(osr.OAMS_TRADITIONAL_GIS_ORDER)
x0, y0, x1, y1 = osr.CoordinateTransformation(wgs, albers).TransformBounds(-72.02, 43.98, -70.98, 45.02, 21)
res = 30.0
x0 = np.floor(x0 / res) * res; y1 = np.ceil(y1 / res) * res
nx = int((x1 - x0) / res) + 1; ny = int((y1 - y0) / res) + 1
classes = np.array([11, 21, 22, 23, 24, 31, 41, 42, 43, 52, 71, 81, 82, 90, 95], dtype=np.uint8)
rng = np.random.default_rng(7)
ds = gdal.GetDriverByName("GTiff").Create(sys.argv[1], nx, ny, 1, gdal.GDT_Byte, ["TILED=YES", "COMPRESS=DEFLATE"])
ds.SetSpatialRef(albers); ds.SetGeoTransform([x0, res, 0, y1, 0, -res])
band = ds.GetRasterBand(1); band.SetNoDataValue(0)
xs = x0 + (np.arange(nx) + 0.5) * res
for r0 in range(0, ny, 512):
    ys = y1 - (np.arange(r0, min(ny, r0 + 512)) + 0.5) * res
    X, Y = np.meshgrid(xs, ys)
    a = classes[(np.floor(X / 1700) + 3 * np.floor(Y / 2300)).astype(np.int64) % len(classes)]
    scatter = rng.random(a.shape) < 0.2
    a[scatter] = classes[rng.integers(0, len(classes), scatter.sum())]
    band.WriteArray(a, 0, r0)
print(f"source: {nx} x {ny} cells of 30 m", file=sys.stderr)
PY

mkdir -p "$work/out"
"$build/luctool" import "$work/nlcd30.tif" --classes nlcd --cell 200 --bbox 44.2 -71.8 44.8 -71.2 \
  --dest "$work/out/" "$@"
"$build/luctool" georef "$work/out/L07144NW.LUC" >/dev/null
read -r epsg xmin ymin xmax ymax < <("$py" - "$work/out/L07144NW.LUC.vrt" <<'PY'
import sys
from osgeo import gdal
ds = gdal.Open(sys.argv[1]); g = ds.GetGeoTransform()
epsg = ds.GetSpatialRef().GetAuthorityCode(None)
print(epsg, g[0], g[3] + g[5] * ds.RasterYSize, g[0] + g[1] * ds.RasterXSize, g[3])
PY
)
echo "grid: EPSG:$epsg, $xmin $ymin $xmax $ymax, 200 m"

. "$(dirname "$0")/timing.sh"
import_tile() {
  "$build/luctool" import "$work/nlcd30.tif" --classes nlcd --cell 200 --bbox 44.2 -71.8 44.8 -71.2 \
    --dest "$work/out/" --overwrite "$@"
}
warp() {
  gdalwarp -q -overwrite -r mode -t_srs "EPSG:$epsg" -te "$xmin" "$ymin" "$xmax" "$ymax" -tr 200 200 \
    -ot Int16 "$work/nlcd30.tif" "$work/peer.tif"
}
import_tile "$@" >/dev/null 2>&1; warp >/dev/null 2>&1  # warm-up
: > "$work/a"; : > "$work/b"
for _ in $(seq "$runs"); do
  time_once import_tile "$@" >> "$work/a"
  time_once warp >> "$work/b"
done
a=$(median < "$work/a"); b=$(median < "$work/b")
echo "luctool import: median ${a} s of $(paste -sd' ' "$work/a")"
echo "gdalwarp -r mode: median ${b} s of $(paste -sd' ' "$work/b")"
awk -v a="$a" -v b="$b" 'BEGIN {printf "ratio import / gdalwarp: %.2f\n", a / b}'
