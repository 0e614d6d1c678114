#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan
# and runs the whole test suite; any sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
BUILD_DIR="${TAV_ASAN_DIR:-build-asan}"
JOBS="${TAV_JOBS:-2}"
cmake -S . -B "$BUILD_DIR" -DTAV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD_DIR" --parallel "$JOBS"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# Qt's own libraries are not instrumented; leaks inside them are not ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd "$BUILD_DIR"
ctest --output-on-failure --parallel "$JOBS" "$@"
