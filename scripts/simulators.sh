# Sourced by the scripts that run the application against simulated modules.
# Gives them a run folder ($RUN_DIR), starts simulators in it and, on exit,
# stops every process listed in $pids and removes the folder.
#
#   RUN_PREFIX=tavdemo BUILD_DIR=build; . scripts/simulators.sh

SIM="$BUILD_DIR/tools/tavsim/tavsim"
RUN_DIR="$(mktemp -d "${TMPDIR:-/tmp}/${RUN_PREFIX:-tavsim}.XXXXXX")"
pids=()

stop_started() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$RUN_DIR"
}
trap stop_started EXIT
trap 'exit 130' INT TERM

# start_simulator NAME MODULE [OPTION...]: a simulated MODULE whose device is
# $RUN_DIR/NAME, with its control socket NAME.ctl, transcript NAME.log and
# output NAME.out beside it.
start_simulator() {
    local name="$1" module="$2"
    shift 2
    "$SIM" --module "$module" "$@" --link "$RUN_DIR/$name" --control "$RUN_DIR/$name.ctl" \
        --transcript "$RUN_DIR/$name.log" >"$RUN_DIR/$name.out" 2>&1 &
    pids+=("$!")
}

# wait_for_simulator NAME: returns once its device and control socket exist;
# fails after 5 s.
wait_for_simulator() {
    local link="$RUN_DIR/$1"
    for _ in $(seq 100); do
        [ -L "$link" ] && [ -S "$link.ctl" ] && return 0
        sleep 0.05
    done
    echo "the simulator for $link did not start (see $link.out)" >&2
    return 1
}
