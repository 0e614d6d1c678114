#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan
# and runs the whole test suite; any sanitizer report fails the run.
# `scripts/sanitize.sh thread [ctest options]` does the same with
# ThreadSanitizer into build-tsan, for every test that shows no window: a
# window's process starts Qt's own threads (the QML loader, the file
# watcher), whose synchronisation inside Qt's uninstrumented libraries the
# sanitizer cannot see; builds and packaging are left to the other runs.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
JOBS="${TAV_JOBS:-2}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
if [ "${1:-}" = thread ]; then
    shift
    BUILD_DIR="${TAV_TSAN_DIR:-build-tsan}"
    cmake -S . -B "$BUILD_DIR" -DTAV_SANITIZE_THREAD=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$BUILD_DIR" --parallel "$JOBS"
    # The tests start programs from processes that already run threads
    # (the log writer, Qt's own): such a fork is allowed.
    export TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:die_after_fork=0:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp}"
    cd "$BUILD_DIR"
    if [ $# -eq 0 ]; then
        set -- -E '^(tst_launch|ui_quick.*|qml_lint|embed_.*|packaging_.*|bench_(idlerss|logpane|startup)_smoke)$'
    fi
    exec ctest --output-on-failure --parallel "$JOBS" "$@"
fi
BUILD_DIR="${TAV_ASAN_DIR:-build-asan}"
cmake -S . -B "$BUILD_DIR" -DTAV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$BUILD_DIR" --parallel "$JOBS"
# Qt's own libraries are not instrumented; leaks inside them are not ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:halt_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
cd "$BUILD_DIR"
ctest --output-on-failure --parallel "$JOBS" "$@"
