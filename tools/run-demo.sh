#!/usr/bin/env bash
# The program's main job on its embedded default sample.
set -euo pipefail
build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
"$build/luctool" info "$root/examples/fake_grid_cell"
