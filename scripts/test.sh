#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
BUILD_DIR="${TAV_BUILD_DIR:-build}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
cd "$BUILD_DIR"
ctest --output-on-failure --parallel "$(nproc)" "$@"
