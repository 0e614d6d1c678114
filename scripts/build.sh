#!/usr/bin/env bash
# Configures (once) and builds the project into build/ (or $TAV_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${TAV_BUILD_DIR:-build}"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
