#!/usr/bin/env bash
# Installs what is missing, builds and starts the application.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
BUILD_DIR="${TAV_BUILD_DIR:-build}"
exec "$BUILD_DIR/tavgui" "$@"
