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
RUN_PREFIX=tavdemo
. scripts/simulators.sh

ports=()
for module in TAV1 TAV2 RIX TREKON; do
    name="$(echo "$module" | tr '[:upper:]' '[:lower:]')"
    extra=()
    # The development kit starts asleep, as it does out of the box; the
    # simulated user presses its wake-up button 1.5 s after it is opened.
    [ "$module" = TREKON ] && extra=(--asleep --auto-wake "${TAV_DEMO_WAKE_MS:-1500}")
    start_simulator "$name" "$module" "${extra[@]}"
    ports+=("$RUN_DIR/$name")
done
for module in tav1 tav2 rix trekon; do
    wait_for_simulator "$module" || exit 1
done

TAV_EXTRA_PORTS="$(IFS=:; echo "${ports[*]}")"
export TAV_EXTRA_PORTS
echo "Simulated modules: $TAV_EXTRA_PORTS"
echo "The TREKON's wake-up button is pressed 1.5 s after it is opened; by hand: $SIM --tell $RUN_DIR/trekon.ctl wake"
echo "Transcripts: $RUN_DIR/<module>.log"
"$BUILD_DIR/tavgui" "$@"
