#!/usr/bin/env bash
# The program's main job on its embedded default sample: the decoded header of
# the small example file, then of the real sample quadrangle and its first cells.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
"$build/luctool" info "$root/examples/fake_grid_cell"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
gzip -dc "$root/tests/data/LEWISTON_grid_cell.gz" > "$tmp/LEWISTON_grid_cell"
echo
"$build/luctool" info "$tmp/LEWISTON_grid_cell"
echo
"$build/luctool" cells "$tmp/LEWISTON_grid_cell" --first 1 --count 5
