#!/usr/bin/env bash
# Starts four simulated modules, one per variant (TAV1, TAV2, RIX, TREKON),
# then the application with their devices listed in TAV_EXTRA_PORTS. The
# simulators are stopped when the application exits (or this script is
# interrupted). Arguments are passed to the application.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
./scripts/build.sh
BUILD_DIR="${TAV_BUILD_DIR:-build}"
SIM="$BUILD_DIR/tools/tavsim/tavsim"

RUN_DIR="$(mktemp -d "${TMPDIR:-/tmp}/tavdemo.XXXXXX")"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$RUN_DIR"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

ports=()
for module in TAV1 TAV2 RIX TREKON; do
    name="$(echo "$module" | tr '[:upper:]' '[:lower:]')"
    extra=()
    # The development kit starts asleep, as it does out of the box; the
    # simulated user presses its wake-up button 1.5 s after it is opened.
    [ "$module" = TREKON ] && extra=(--asleep --auto-wake "${TAV_DEMO_WAKE_MS:-1500}")
    "$SIM" --module "$module" "${extra[@]}" --link "$RUN_DIR/$name" \
        --control "$RUN_DIR/$name.ctl" --transcript "$RUN_DIR/$name.log" >"$RUN_DIR/$name.out" &
    pids+=("$!")
    ports+=("$RUN_DIR/$name")
done
for port in "${ports[@]}"; do
    for _ in $(seq 100); do
        [ -L "$port" ] && [ -S "$port.ctl" ] && break
        sleep 0.05
    done
    [ -L "$port" ] || { echo "demo: the simulator for $port did not start" >&2; exit 1; }
done

TAV_EXTRA_PORTS="$(IFS=:; echo "${ports[*]}")"
export TAV_EXTRA_PORTS
echo "Simulated modules: $TAV_EXTRA_PORTS"
echo "The TREKON's wake-up button is pressed 1.5 s after it is opened; by hand: $SIM --tell $RUN_DIR/trekon.ctl wake"
echo "Transcripts: $RUN_DIR/<module>.log"
"$BUILD_DIR/tavgui" "$@"
