#!/usr/bin/env bash
# Installs what is missing, builds and starts the application on the built-in
# module simulator: one simulated module of each variant is listed in the
# connection page's COM port list. Arguments go to the application.
set -euo pipefail
cd "$(dirname "$0")/.."
exec ./scripts/demo.sh "$@"
