#!/usr/bin/env bash
# Builds the Debian package in a folder of its own (default build-package/),
# checks it (lintian, the metainfo, the desktop entry) and prints its SHA-256.
# The package is reproducible: the same commit gives the same bytes, in any
# folder, at any time.
#
# Usage: scripts/package.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
SOURCE="$PWD"
BUILD_DIR="$(realpath -m "${1:-build-package}")"
./scripts/deps.sh

export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"
export LC_ALL=C.UTF-8 TZ=UTC
# Files made by the build keep the group and others' read bits whatever the
# caller's umask.
umask 022
cmake -S "$SOURCE" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DTAV_BUILD_TESTS=OFF -DTAV_REPRODUCIBLE=ON >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)" >/dev/null
rm -f "$BUILD_DIR"/tavgui_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
deb="$(ls "$BUILD_DIR"/tavgui_*.deb)"
"$SOURCE/tests/packaging/check_package.sh" "$deb"
sha256sum "$deb"
