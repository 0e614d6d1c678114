#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (plus ASan and UBSan) into
# build-fuzz and runs each for the given number of seconds (default 60),
# starting from its corpus; new inputs that crash land in build-fuzz/findings.
# Usage: scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH="${1:-60}"
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(response_line config_import orbit_json prepass_csv radio_conf)
command -v clang++-14 >/dev/null || { echo "needs clang-14 and libclang-rt-14-dev"; exit 1; }
BUILD_DIR=build-fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B "$BUILD_DIR" -DTAV_FUZZ=ON -DTAV_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
mkdir -p "$BUILD_DIR/findings"
export QT_QPA_PLATFORM=offscreen
for t in "${TARGETS[@]}"; do
    cmake --build "$BUILD_DIR" --parallel 2 --target "fuzz_$t"
    work="$BUILD_DIR/corpus/$t"
    mkdir -p "$work"
    # New interesting inputs go to the work copy; the saved corpus stays small.
    "$BUILD_DIR/tests/fuzz/fuzz_$t" "$work" "tests/fuzz/corpus/$t" -max_total_time="$SECONDS_EACH" \
        -max_len=8192 -artifact_prefix="$BUILD_DIR/findings/$t-" -detect_leaks=0
done
echo "fuzzing done: copy any findings into tests/fuzz/corpus/<target>/ once fixed"
