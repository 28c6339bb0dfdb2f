#!/bin/sh
# Installs the build tree into a temporary prefix (no rebuild) and uses what
# was installed as a user would: ctgtilbo /AUTO on the real sample, luctool
# info on a tile it made, the window module found from the installed
# ctgtilbo, both manual pages rendered without warnings, the completions.
# Usage: install_test.sh BUILD_DIR TEST_DATA_DIR
set -eu
build=$1
data=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$root/usr" >/dev/null
for f in bin/ctgtilbo bin/luctool share/man/man1/ctgtilbo.1 share/man/man1/luctool.1 \
         share/bash-completion/completions/ctgtilbo share/bash-completion/completions/luctool; do
  [ -e "$root/usr/$f" ] || fail "$f not installed"
done

# A user's environment: nothing from the build tree, own temporary home.
mkdir -p "$root/home" "$root/config" "$root/suite" "$root/tiles"
export CTGTILBO_HOME="$root/home" CTGTILBO_WINDOWS_DIR="$root/config" CTGTILBO_SUITE_DIR="$root/suite"
export PATH="$root/usr/bin:/usr/bin:/bin"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
cd "$root"
gzip -dc "$data/LEWISTON_grid_cell.gz" > lewiston
ctgtilbo /AUTO /SOURCE=lewiston /DEST=tiles/ /LOG=tiles/convert.log || fail "ctgtilbo /AUTO exited $?"
grep -q "Source file successfully converted." tiles/convert.log || fail "the log does not say converted"
luctool info tiles/L07144NW.LUC tiles/L07044NW.LUC > info.txt || fail "luctool info exited $?"
grep -q "UTM zone         19 (WGS 84 / UTM zone 19N, EPSG:32619" info.txt || fail "luctool info: $(cat info.txt)"

# The window module, where the installed ctgtilbo looks for it: with it, the
# window is still open after a few seconds; without it, ctgtilbo ends at once.
if [ -e "$build/ctgtilbo_ui.so" ]; then
  [ -e "$root/usr/share/applications/ctgtilbo.desktop" ] || fail "no desktop entry"
  [ -e "$root/usr/share/icons/hicolor/scalable/apps/ctgtilbo.svg" ] || fail "no icon"
  status=0
  QT_QPA_PLATFORM=offscreen timeout 5 ctgtilbo > window.txt 2>&1 || status=$?
  [ "$status" -eq 124 ] || fail "the installed window did not open (status $status): $(cat window.txt)"
fi

for page in ctgtilbo luctool; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
for command in ctgtilbo luctool; do
  bash -c ". '$root/usr/share/bash-completion/completions/$command' && complete -p $command" >/dev/null ||
    fail "the $command completion does not load"
done
echo "install test: installed into $root/usr and ran ctgtilbo, luctool, man"
