#!/usr/bin/env bash
# Usage: check_package.sh PACKAGE.deb
#        check_package.sh BUILD_DIR OUT_DIR   (makes the package with cpack first)
# Checks the Debian package: lintian says nothing, the metainfo passes the
# software centre's validator, the desktop entry its own, and each program
# has its manual page. Exits 77 (skipped) when lintian or appstreamcli is
# not installed.
set -euo pipefail
for tool in lintian appstreamcli; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/deps.sh installs it)"; exit 77; }
done
fail() { echo "FAIL: $*"; exit 1; }

if [ $# -eq 2 ]; then
    rm -rf "$2"
    SOURCE_DATE_EPOCH="$(cd "$(dirname "$0")" && git log -1 --format=%ct)" \
        cpack --config "$1/CPackConfig.cmake" -B "$2" -G DEB >/dev/null || fail "cpack"
    deb="$(ls "$2"/tavgui_*.deb)"
else
    deb="$1"
fi

# Any tag fails, not only errors and warnings; lintian's note on running as
# root is no tag.
out="$(lintian --fail-on error,warning --tag-display-limit 0 "$deb" 2>&1)" || fail "lintian: $out"
out="$(grep -v '^running with root privileges' <<<"$out" || true)"
[ -z "$out" ] || fail "lintian: $out"

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
out="$(appstreamcli validate --no-net "$root/usr/share/metainfo/com.norvane.TavGUI.metainfo.xml" 2>&1)" \
    || fail "appstreamcli: $out"
out="$(desktop-file-validate "$root/usr/share/applications/com.norvane.TavGUI.desktop" 2>&1)" \
    || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate: $out"
for program in tavgui tavcli tavsim; do
    zcat "$root/usr/share/man/man1/$program.1.gz" | grep -q "^\.TH \"\?${program^^}" \
        || fail "no manual page for $program"
done
[ -f "$root/usr/share/bash-completion/completions/tavcli" ] || fail "no completion for tavcli"
echo "package OK: $(basename "$deb")"
