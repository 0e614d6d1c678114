#!/usr/bin/env bash
# Builds the benchmarks and runs each one in turn, printing its last line
# (its figure); the whole output of each goes to $BUILD_DIR/bench-logs/
# (standard error to a .err file beside it).
# Arguments name the benchmarks to run (folders of bench/), all by default.
# BENCH_REPEAT=N runs each N times. The figures depend on the load of the
# machine: the load average is printed before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
BUILD_DIR="${TAV_BUILD_DIR:-build}"
REPEAT="${BENCH_REPEAT:-1}"
export QT_QPA_PLATFORM=offscreen

if [ $# -gt 0 ]; then
    names=("$@")
else
    names=()
    for dir in bench/*/; do
        [ -f "$dir/CMakeLists.txt" ] && names+=("$(basename "$dir")")
    done
fi
[ ${#names[@]} -gt 0 ] || { echo "no benchmark found under bench/" >&2; exit 1; }
targets=()
for name in "${names[@]}"; do
    [ -f "bench/$name/CMakeLists.txt" ] || { echo "no benchmark named $name" >&2; exit 2; }
    targets+=("bench_$name")
done

if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target "${targets[@]}" >/dev/null

mkdir -p "$BUILD_DIR/bench-logs"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
status=0
for name in "${names[@]}"; do
    for ((run = 1; run <= REPEAT; run++)); do
        log="$BUILD_DIR/bench-logs/$name-$run.log"
        if "$BUILD_DIR/bench/$name/bench_$name" >"$log" 2>"${log%.log}.err"; then
            echo "$name: $(tail -n 1 "$log")"
        else
            echo "$name: FAILED (see $log)"
            status=1
        fi
    done
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
