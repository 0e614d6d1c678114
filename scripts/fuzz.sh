#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (plus ASan and UBSan) into
# build-fuzz and runs each for the given number of seconds (default 60),
# starting from its saved corpus. New interesting inputs go to a work copy in
# build-fuzz/corpus/<target> (the saved corpus stays small), crashing, leaking,
# slow or memory-hungry inputs land in build-fuzz/findings, and each run's
# output (executions, coverage) in build-fuzz/logs/<target>.log.
# Usage: scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(response_line config_import orbit_json prepass_csv radio_conf passes config_comparison replay_log)
./scripts/deps.sh clang-14 libclang-rt-14-dev
BUILD_DIR=build-fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$BUILD_DIR" -DTAV_FUZZ=ON -DTAV_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
mkdir -p "$BUILD_DIR/findings" "$BUILD_DIR/logs"
export QT_QPA_PLATFORM=offscreen
# Qt keeps some allocations of its own until exit; they are not leaks of ours.
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
for t in "${TARGETS[@]}"; do
    cmake --build "$BUILD_DIR" --parallel 2 --target "fuzz_$t"
    work="$BUILD_DIR/corpus/$t"
    mkdir -p "$work"
    # The words of a format help where the parser is Qt's, not instrumented.
    dict=()
    [ -f "tests/fuzz/$t.dict" ] && dict=(-dict="tests/fuzz/$t.dict")
    # One input taking over 10 s or 2 GB is a finding, as is a crash or a leak.
    "$BUILD_DIR/tests/fuzz/fuzz_$t" "$work" "tests/fuzz/corpus/$t" "${dict[@]}" -max_total_time="$SECONDS_EACH" \
        -max_len=8192 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$BUILD_DIR/findings/$t-" 2>&1 | tee "$BUILD_DIR/logs/$t.log"
done
echo "fuzzing done: copy any findings into tests/fuzz/corpus/<target>/ once fixed"
