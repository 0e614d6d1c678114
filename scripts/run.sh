#!/usr/bin/env bash
# Installs what is missing, builds and starts the application with its demo:
# one simulated module of each variant is listed first in the connection
# page's COM port list ("Demo TREKON (simulated)" and the like). Arguments go
# to the application.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
exec "${TAV_BUILD_DIR:-build}/tavgui" --demo "$@"
