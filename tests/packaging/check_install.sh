#!/usr/bin/env bash
# Usage: check_install.sh BUILD_DIR STAGE_DIR
# Installs BUILD_DIR into STAGE_DIR and checks the executables, the desktop
# entry (with desktop-file-validate) and the icon it names.
set -euo pipefail
build="$1"
stage="$2"
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
for exe in tavgui tavcli tavsim; do
    [ -x "$stage/bin/$exe" ] || fail "bin/$exe not installed"
done
"$stage/bin/tavcli" --help | grep -q "Usage" || fail "installed tavcli does not run"
"$stage/bin/tavsim" --help | grep -q -- "--module" || fail "installed tavsim does not run"

desktop="$stage/share/applications/tavgui.desktop"
[ -f "$desktop" ] || fail "desktop entry not installed"
if command -v desktop-file-validate >/dev/null; then
    out="$(desktop-file-validate "$desktop" 2>&1)" || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
else
    echo "desktop-file-validate missing (package desktop-file-utils)"; exit 1
fi
exec_name="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
[ -x "$stage/bin/$exec_name" ] || fail "Exec=$exec_name is not an installed executable"
icon_name="$(sed -n 's/^Icon=//p' "$desktop")"
icon="$stage/share/icons/hicolor/scalable/apps/$icon_name.svg"
[ -f "$icon" ] || fail "icon $icon_name not installed"
grep -q "<svg" "$icon" || fail "icon is not an SVG"
echo "install layout OK"
