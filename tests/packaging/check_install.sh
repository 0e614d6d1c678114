#!/usr/bin/env bash
# Usage: check_install.sh BUILD_DIR STAGE_DIR
# Installs BUILD_DIR into STAGE_DIR and checks the executables, the desktop
# entry (with desktop-file-validate), the icon it names, the metainfo, the
# completion and the manual pages.
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

desktop="$stage/share/applications/com.norvane.TavGUI.desktop"
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
[ -f "$stage/share/metainfo/com.norvane.TavGUI.metainfo.xml" ] || fail "metainfo not installed"
[ -f "$stage/share/bash-completion/completions/tavcli" ] || fail "completion not installed"
if command -v help2man >/dev/null; then
    for exe in tavgui tavcli tavsim; do
        [ -f "$stage/share/man/man1/$exe.1.gz" ] || fail "manual page of $exe not installed"
    done
fi
echo "install layout OK"
