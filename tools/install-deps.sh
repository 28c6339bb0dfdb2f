#!/usr/bin/env bash
# Installs the Debian packages the project builds, tests and benchmarks with.
# A no-op when everything is already there; otherwise apt-get as root or via sudo.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgeographiclib-dev libcli11-dev
  # luctool: GDAL for georef/export, cairo (with fonts-dejavu-core below) for render.
  libgdal-dev libcairo2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # The desktop window: Qt, its X11/Wayland platform plugins, and a font for
  # the offscreen rendering of the window tests and screenshots.
  qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
  clang libclang-rt-14-dev
  proj-bin gdal-bin
  # The install test renders the manual pages; `make deb` computes the
  # package's dependencies with dpkg-shlibdeps.
  man-db groff-base dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
