#!/usr/bin/env bash
# Soak: runs the command-line front end and the window (under Xvfb), each
# against its own simulated TREKON kit, side by side for a bounded time while
# the kit floods the line with 500 unsolicited answers a second and, now and
# then, sends garbage bytes, over-long lines, sleep and wake lines and other
# unsolicited answers, goes mute for a few seconds, and is unplugged once and
# plugged back. A periodic transmission sequence runs throughout and must go
# on after the front end reconnected; the window also predicts the passes
# again every minute. Beside them, tavcli provisions four simulated kits
# with one configuration file, over and over; every fourth round one kit
# quietly keeps its old position, and that kit must be reported.
# --cli-only and --gui-only still run the provisioning beside their front
# end unless --no-provision is given.
#
#   tools/soak.sh [--minutes N] [--cli-only | --gui-only | --provision-only] [--no-provision] [--keep]
#
# Pass when, for each front end: it did not crash (it ran until stopped and
# exited normally); its resident memory at the end is within the larger of
# 10 % and 5 MiB of the figure at the end of the warm-up (the first fifth of
# the run); every transmission is accounted for (see soak-account.awk); and,
# for the window, no frame interval exceeded 100 ms and a prediction came
# every minute. Provisioning passes when every round ended, every kit of it
# was verified, and exactly the kit that kept its position was reported as
# differing, naming the fields, in the rounds that had one. Prints the figures and
# a one-line verdict; exit status 0 on pass, 1 on fail.
#
# The simulated kits stand in for hardware outside the workstation: they run
# at nice 10, so that their work (the floods above all) waits behind the
# front ends' instead of delaying the window's frames as no real kit would.
#
# Xvfb has no graphics hardware, so the window draws with Qt Quick's software
# renderer, as on a machine without OpenGL. Mesa's software OpenGL costs about
# seven times the CPU and its driver keeps growing under this load; set
# QT_QUICK_BACKEND=rhi to soak the OpenGL path instead.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"

MINUTES=10
RUN_CLI=1
RUN_GUI=1
RUN_PROVISION=1
KEEP=0
while [ $# -gt 0 ]; do
    case "$1" in
    --minutes) MINUTES="${2:?--minutes N}"; shift ;;
    --cli-only) RUN_GUI=0 ;;
    --gui-only) RUN_CLI=0 ;;
    --no-provision) RUN_PROVISION=0 ;;
    --provision-only) RUN_CLI=0; RUN_GUI=0 ;;
    --keep) KEEP=1 ;;
    -h | --help) sed -n '2,30p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "soak: unknown argument '$1' (see --help)" >&2; exit 2 ;;
    esac
    shift
done
if ! [[ "$MINUTES" =~ ^[0-9]+([.][0-9]+)?$ ]] || [ "$(awk -v m="$MINUTES" 'BEGIN { print (m > 0) }')" != 1 ]; then
    echo "soak: --minutes takes a positive number" >&2
    exit 2
fi
DURATION=$(awk -v m="$MINUTES" 'BEGIN { printf "%d", m * 60 }')
WARMUP=$(( DURATION / 5 ))

BUILD_DIR="${TAV_BUILD_DIR:-build}"
./scripts/deps.sh
./scripts/build.sh >/dev/null
SIM="$ROOT/$BUILD_DIR/tools/tavsim/tavsim"
CLI="$ROOT/$BUILD_DIR/tools/tavcli/tavcli"
GUI="$ROOT/$BUILD_DIR/tavgui"

RUN_DIR="$(mktemp -d "${TMPDIR:-/tmp}/tavsoak.XXXXXX")"
# Transcript and log carry times of the day: both in UTC.
export TZ=UTC

# Two payloads of the 24 bytes the kit's modulation carries, each sent 30
# times a second apart, a minute between the bursts.
PAYLOADS=(50AA000000000000000000000000000000000000000000AA 50BB000000000000000000000000000000000000000000BB)
REDUNDANCY=30
DELAY_S=1
PERIOD_MIN=1
FLOOD=500

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

now_s() { date +%s.%N; }
stamp() { date +%H:%M:%S.%3N; }

# tell DIR COMMAND...: the commands go to the kit's input (a FIFO held open
# on CONTROL_FD) back to back; its replies are in sim.out. No process is
# started for it: a tool starting every 1.5 s would take the CPU the window
# needs on a small machine.
tell() {
    local dir="$1"; shift
    local IFS=';'
    printf '%s\n' "$@" >&"$CONTROL_FD"
    printf '%s %s\n' "$(stamp)" "$*" >>"$dir/faults.log"
}

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null || true; }
# CPU time used so far, in clock ticks (user + system).
cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null || true; }

# The fault schedule, until the end of the run. The unplug comes at 45 % of
# it; the front end must find the kit again by itself.
drive_faults() {
    local dir="$1" start="$2"
    local hangup_at=$(( DURATION * 45 / 100 )) unplugged=0 step=0 elapsed muted_until=0
    tell "$dir" "flood $FLOOD"
    while :; do
        elapsed=$(awk -v s="$start" -v n="$(now_s)" 'BEGIN { printf "%d", n - s }')
        [ "$elapsed" -ge "$DURATION" ] && break
        if [ "$unplugged" = 0 ] && [ "$elapsed" -ge "$hangup_at" ]; then
            tell "$dir" "hangup stay"
            sleep 5
            tell "$dir" "replug"
            unplugged=1
            # The flood starts again once the front end has the device open.
            for _ in $(seq 100); do
                [ "$(grep -c 'connected on port' "$dir/device.log")" -ge 2 ] && break
                sleep 0.3
            done
            tell "$dir" "flood $FLOOD"
            continue
        fi
        if [ "$muted_until" -gt 0 ] && [ "$elapsed" -ge "$muted_until" ]; then
            tell "$dir" "mute off"
            muted_until=0
        fi
        case $(( step % 8 )) in
        0) tell "$dir" "garbage $(( RANDOM % 2000 + 50 ))" "send ~" ;;
        1) tell "$dir" "longline $(( RANDOM % 20000 + 5000 ))" "send ~" ;;
        2) tell "$dir" "sleep" ;;
        3) tell "$dir" "rx 0A0B$(printf '%04X' $RANDOM)" "bc 5A$(printf '%02X' $(( RANDOM % 256 )))" ;;
        4) tell "$dir" "wake" ;;
        5) tell "$dir" "send +ID=7E$(printf '%04X' $RANDOM)" "send +ERROR=3" ;;
        6) tell "$dir" "longline 3000" "send ~" "garbage 64" "send ~" ;;
        7) if [ $(( step % 48 )) = 7 ] && [ "$muted_until" = 0 ]; then
               tell "$dir" "mute on"
               muted_until=$(( elapsed + 3 ))
           fi ;;
        esac
        step=$(( step + 1 ))
        sleep 1.5
    done
    tell "$dir" "flood 0"
}

sample_rss() {
    local pid="$1" dir="$2" start="$3"
    while kill -0 "$pid" 2>/dev/null; do
        local rss
        rss="$(rss_kb "$pid")"
        [ -n "$rss" ] && echo "$(awk -v s="$start" -v n="$(now_s)" 'BEGIN { printf "%d", n - s }') $rss $(cpu_ticks "$pid")" >>"$dir/rss"
        sleep 5
    done
}

# begin_job DIR: the set-up of a job run in the background: it stops what it
# started, and has a private home (HOME_ENV points a program at it) and an
# empty fault log in DIR.
begin_job() {
    local dir="$1"
    pids=()
    trap cleanup EXIT
    trap 'exit 143' TERM
    mkdir -p "$dir/home/.config/Norvane"
    chmod 700 "$dir/home"
    HOME_ENV=(HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_RUNTIME_DIR="$dir/home")
    : >"$dir/faults.log"
}

# start_kit CONTROL LINK OUT [OPTION...]: a simulated TREKON kit on LINK
# taking its commands from the FIFO CONTROL, which stays open for reading and
# writing on descriptor KIT_FD so that the kit never reads end of file. Its
# pid is KIT_PID, and among those the job stops.
start_kit() {
    local control="$1" link="$2" out="$3"
    shift 3
    mkfifo "$control"
    exec {KIT_FD}<>"$control"
    nice -n 10 "$SIM" --module TREKON "$@" --link "$link" --control - <"$control" >"$out" 2>&1 &
    KIT_PID=$!
    pids+=("$KIT_PID")
}

wait_for_link() {
    for _ in $(seq 100); do
        [ -L "$1" ] && break
        sleep 0.05
    done
}

# run_front_end NAME: one kit, one front end, the faults and the samples.
run_front_end() {
    local name="$1"
    local dir="$RUN_DIR/$name"
    begin_job "$dir"
    cat >"$dir/home/.config/Norvane/TavGUI.conf" <<EOF
[Tx]
profile=0
Periodic\\period=$PERIOD_MIN
Periodic\\redundancy=$REDUNDANCY
Periodic\\delay=$DELAY_S
EOF
    : >"$dir/device.log"
    # The kit sleeps until its button is pressed, as out of the box; the
    # simulated user presses it whenever it sleeps with the device open.
    start_kit "$dir/control" "$dir/device" "$dir/sim.out" \
        --asleep --auto-wake 800 --tx-delay 300 --transcript "$dir/transcript"
    CONTROL_FD=$KIT_FD
    local sim_pid=$KIT_PID
    wait_for_link "$dir/device"

    local fe_pid display_pid=""
    local env=("${HOME_ENV[@]}")
    local options=(--module TREKON --port "$dir/device" --log "$dir/device.log")
    if [ "$name" = cli ]; then
        env "${env[@]}" "$CLI" tx "${PAYLOADS[@]}" --repeat 255 --reconnect --quiet "${options[@]}" \
            >"$dir/frontend.out" 2>&1 &
        fe_pid=$!
    else
        exec 3>"$dir/display"
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$dir/xvfb.out" 2>&1 &
        display_pid=$!
        exec 3>&-
        pids+=("$display_pid")
        for _ in $(seq 100); do
            [ -s "$dir/display" ] && break
            sleep 0.05
        done
        # The orbit data come from a local document; config.ini is read from
        # the working directory.
        printf '[Prepass]\naopWebRequestUrl=file://%s\n' "$ROOT/tests/data/aop_constellation.json" \
            >"$dir/config.ini"
        (cd "$dir" && exec env "${env[@]}" DISPLAY=":$(head -n 1 "$dir/display")" QT_QPA_PLATFORM=xcb \
            QT_QUICK_BACKEND="${QT_QUICK_BACKEND:-software}" \
            TAV_FRAME_REPORT="$dir/frames" "$GUI" "${options[@]}" --reconnect --predict-every 1 \
            --tx "${PAYLOADS[0]}" --tx "${PAYLOADS[1]}" --repeat 255) >"$dir/frontend.out" 2>&1 &
        fe_pid=$!
    fi
    pids+=("$fe_pid")
    local start
    start="$(now_s)"
    echo "$fe_pid" >"$dir/pid"

    for _ in $(seq 200); do
        grep -q "connected on port" "$dir/device.log" && break
        kill -0 "$fe_pid" 2>/dev/null || break
        sleep 0.3
    done
    sample_rss "$fe_pid" "$dir" "$start" &
    local sampler=$!
    pids+=("$sampler")
    drive_faults "$dir" "$start"

    # Results under way come in, then the front end is stopped as a user would.
    sleep 3
    local status=-1 alive=0
    if kill -0 "$fe_pid" 2>/dev/null; then
        alive=1
        date +%H:%M:%S.%3N >"$dir/stopped_at"
        kill -TERM "$fe_pid"
        for _ in $(seq 300); do
            kill -0 "$fe_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$fe_pid" 2>/dev/null && { kill -KILL "$fe_pid"; echo "did not end within 30 s of SIGTERM" >"$dir/crash"; }
    else
        stamp >"$dir/stopped_at"
    fi
    wait "$fe_pid" && status=0 || status=$?
    echo "$alive $status" >"$dir/exit"
    kill "$sampler" 2>/dev/null || true
    kill "$sim_pid" 2>/dev/null || true
    [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
}

# run_provision: four kits, tavcli provisioning them round after round until
# the end of the run. A kit waits for its wake-up button whenever a program
# opens it; the simulated user presses it when tavcli asks. Every fourth
# round the first kit acknowledges the position but keeps the one it had, as
# a kit with a worn-out memory would.
run_provision() {
    local dir="$RUN_DIR/provision"
    begin_job "$dir"
    local ports=() fds=() i
    for i in 0 1 2 3; do
        start_kit "$dir/control$i" "$dir/kit$i" "$dir/sim$i.out"
        fds+=("$KIT_FD")
        ports+=("$dir/kit$i")
    done
    for i in 0 1 2 3; do
        wait_for_link "$dir/kit$i"
    done
    # Two files that differ in the position, taken in turn, so that a kit
    # that keeps its position always differs from the file of the round.
    cp "$ROOT/tests/data/trekon.conf" "$dir/odd.conf"
    sed 's/^AT+POS=.*/AT+POS=12.5,-3.25/' "$ROOT/tests/data/trekon.conf" >"$dir/even.conf"
    local start round=0 elapsed faulty status file cli woken
    start="$(now_s)"
    while :; do
        elapsed=$(awk -v s="$start" -v n="$(now_s)" 'BEGIN { printf "%d", n - s }')
        [ "$elapsed" -ge "$DURATION" ] && break
        round=$(( round + 1 ))
        faulty=0
        file="$dir/odd.conf"
        [ $(( round % 2 )) = 0 ] && file="$dir/even.conf"
        if [ $(( round % 4 )) = 0 ]; then
            faulty=1
            CONTROL_FD="${fds[0]}" tell "$dir" "ignore POS"
        fi
: >"$dir/round$round.out"
        env "${HOME_ENV[@]}" timeout 300 "$CLI" provision "$file" --module TREKON \
            --ports "$(IFS=,; echo "${ports[*]}")" --report "$dir/round$round.jsonl" \
            >"$dir/round$round.out" 2>&1 &
        cli=$!
        woken=""
        while kill -0 "$cli" 2>/dev/null; do
            for i in 0 1 2 3; do
                case "$woken" in *"<$i>"*) continue ;; esac
                if grep -qF "${ports[$i]}: press the wake-up button" "$dir/round$round.out"; then
                    CONTROL_FD="${fds[$i]}" tell "$dir" "wake"
                    woken+="<$i>"
                fi
            done
            sleep 0.3
        done
        status=0
        wait "$cli" || status=$?
        echo "$round $faulty $status" >>"$dir/rounds"
        [ "$faulty" = 1 ] && CONTROL_FD="${fds[0]}" tell "$dir" "ignore POS off"
        # A round every quarter of a minute or so, as a bench of kits would be.
        sleep 10
    done
}

# report_provision: every round ended; each kit verified, but for the one
# that kept its position, which must be reported as differing, with the
# fields that differ.
report_provision() {
    local dir="$RUN_DIR/provision" why=()
    local rounds=0 verified=0 caught=0 wrong=0 round faulty status
    while read -r round faulty status; do
        rounds=$(( rounds + 1 ))
        local report="$dir/round$round.jsonl" bad
        bad="$(awk -v faulty="$faulty" -v first="$dir/kit0" -v status="$status" '
            { n++
              port = $0; sub(/.*"port":"/, "", port); sub(/".*/, "", port)
              result = $0; sub(/.*"result":"/, "", result); sub(/".*/, "", result)
              if (faulty == 1 && port == first) {
                  if (result != "differs" || $0 !~ /"differencesLeft":[1-9]/ || $0 !~ /"error":"[^"]*Beacon latitude/)
                      print "kit that kept its position " result
              } else if (result != "verified") print port " " result
            }
            END { if (n != 4) print n + 0 " report lines"
                  if (status != (faulty == 1 ? 1 : 0)) print "status " status }' "$report" 2>/dev/null)"
        if [ -n "$bad" ]; then
            wrong=$(( wrong + 1 ))
            [ "$wrong" -le 5 ] && echo "    - round $round: $(echo "$bad" | paste -sd ';' -)"
        else
            verified=$(( verified + 4 - faulty ))
            caught=$(( caught + faulty ))
        fi
    done <"$dir/rounds" >"$dir/wrong"
    [ "$rounds" -gt 0 ] || why+=("no provisioning round")
    [ "$wrong" = 0 ] || why+=("$wrong provisioning round(s) not as expected")
    echo "== provision =="
    echo "  rounds:             $rounds of four kits, $verified kits verified," \
        "$caught kept positions reported as differing; $wrong round(s) not as expected"
    cat "$dir/wrong"
    SUMMARY+=("provision: $rounds rounds, $wrong wrong")
    if [ ${#why[@]} -gt 0 ]; then
        FAILURES+=("provision: $(IFS=,; echo "${why[*]}")")
        return 1
    fi
    return 0
}

ms_of_day() { awk -F'[:.]' '{ printf "%d", (($1 * 60 + $2) * 60 + $3) * 1000 + $4 }' <<<"$1"; }

# report NAME: prints the figures of one front end; returns 1 on fail.
report() {
    local name="$1" dir="$RUN_DIR/$1" why=()
    local alive status
    read -r alive status <"$dir/exit"
    # tavcli ends a sequence interrupted by SIGTERM with status 130.
    local expected=0
    [ "$name" = cli ] && expected=130
    local crash="no"
    if [ "$alive" != 1 ]; then
        crash="yes (ended by itself with status $status before the end)"
    elif [ -f "$dir/crash" ]; then
        crash="yes ($(cat "$dir/crash"))"
    elif [ "$status" != "$expected" ]; then
        crash="yes (status $status after SIGTERM)"
    fi
    [ "$crash" != no ] && why+=("crashed")

    local warm end peak
    warm="$(awk -v w="$WARMUP" '$1 >= w { print $2; exit }' "$dir/rss" 2>/dev/null)"
    end="$(tail -n 1 "$dir/rss" 2>/dev/null | awk '{ print $2 }')"
    peak="$(awk 'BEGIN { m = 0 } $2 > m { m = $2 } END { print m }' "$dir/rss" 2>/dev/null)"
    local cpu
    cpu="$(awk -v hz="$(getconf CLK_TCK)" 'NR == 1 { t0 = $1; c0 = $3 } { t = $1; c = $3 }
        END { if (t > t0) printf "%.0f", 100 * (c - c0) / hz / (t - t0); else print "?" }' "$dir/rss" 2>/dev/null)"
    local rss_ok
    rss_ok="$(awk -v w="${warm:-0}" -v e="${end:-0}" 'BEGIN {
        margin = w * 0.10; if (margin < 5120) margin = 5120
        print (w > 0 && e > 0 && e <= w + margin) ? "yes" : "no" }')"
    [ "$rss_ok" = yes ] || why+=("memory grew")

    awk -v end_ms="$(ms_of_day "$(cat "$dir/stopped_at")")" -f "$ROOT/tools/soak-account.awk" \
        "$dir/transcript" "$dir/device.log" >"$dir/account"
    local val
    val() { awk -v k="$1" '$1 == k { print $2; exit }' "$dir/account"; }
    [ "$(val unaccounted)" = 0 ] || why+=("$(val unaccounted) transmission fact(s) unaccounted")
    [ "$(val tx_after_replug)" -gt 0 ] || why+=("no sequence after the reconnection")

    echo "== $name =="
    echo "  crash:              $crash"
    printf '  RSS:                %s kB at the end of the warm-up (%d s), %s kB at the end, %s kB peak: %s\n' \
        "${warm:-?}" "$WARMUP" "${end:-?}" "${peak:-?}" \
        "$([ "$rss_ok" = yes ] && echo flat || echo GROWN)"
    echo "  CPU:                ${cpu:-?} % of one core on average"
    echo "  transmissions:      $(val tx_attempts) started, $(val tx_reached_module) reached the module," \
        "$(val tx_not_written) not written; $(val tx_sent_ok) reported sent, $(val tx_not_sent) not sent"
    echo "  module results:     $(val tx_results_module) sent, $(val tx_results_delivered) logged by the front end;" \
        "$(val tx_ignored_muted) requests lost while muted, $(val tx_ignored_asleep) while asleep"
    echo "  reconnection:       $(val connections) connections, sequence on $(val reconnect_after_ms) ms after the replug," \
        "$(val tx_after_replug) Tx after it; longest gap between Tx $(val max_tx_gap_s) s"
    echo "  unaccounted:        $(val unaccounted)"
    awk '$1 == "note" { sub(/^note /, "    - "); print }' "$dir/account"
    if [ "$name" = gui ]; then
        local frames max stalls lag
        frames="$(awk '$1 == "frames" { print $2 }' "$dir/frames" 2>/dev/null)"
        max="$(awk '$1 == "max_interval_ms" { print $2 }' "$dir/frames" 2>/dev/null)"
        stalls="$(awk '$1 == "stalls" { print $2 }' "$dir/frames" 2>/dev/null)"
        lag="$(awk '$1 == "max_request_lag_ms" { print $2 }' "$dir/frames" 2>/dev/null)"
        echo "  frames:             ${frames:-?} frames, longest interval ${max:-?} ms, ${stalls:-?} over 100 ms;" \
            "frame requests at most ${lag:-?} ms late (the GUI thread's share)"
        awk '$1 == "stall" { print "    - stall at " $2 ": " $3 " ms" }' "$dir/frames" 2>/dev/null | head -n 10
        if [ -z "$max" ] || [ "$(awk -v m="$max" 'BEGIN { print (m <= 100) }')" != 1 ]; then
            why+=("frame interval ${max:-unknown} ms")
        fi
        # The planner predicts at the start and every minute after.
        local predicted refused expected
        predicted="$(grep -c 'satellite pass(es) predicted' "$dir/device.log" || true)"
        refused="$(grep -c 'Unable to predict passes\|No satellite pass predicted' "$dir/device.log" || true)"
        expected=$(( DURATION / 60 ))
        echo "  planner:            $predicted predictions, $refused refused (one a minute: $expected expected)"
        [ "$predicted" -ge "$expected" ] && [ "$refused" = 0 ] || why+=("$predicted predictions, $refused refused")
        SUMMARY+=("gui: RSS ${warm:-?}->${end:-?} kB, $(val tx_attempts) Tx, max frame ${max:-?} ms, $predicted predictions")
    else
        SUMMARY+=("cli: RSS ${warm:-?}->${end:-?} kB, $(val tx_attempts) Tx")
    fi
    if [ ${#why[@]} -gt 0 ]; then
        FAILURES+=("$name: $(IFS=,; echo "${why[*]}")")
        return 1
    fi
    return 0
}

echo "Soak of $MINUTES min in $RUN_DIR ($([ $RUN_CLI = 1 ] && echo "tavcli ")$([ $RUN_GUI = 1 ] && echo "tavgui ")$([ $RUN_PROVISION = 1 ] && echo "provisioning ")side by side)"
[ $RUN_CLI = 1 ] && { run_front_end cli & pids+=("$!"); }
[ $RUN_GUI = 1 ] && { run_front_end gui & pids+=("$!"); }
[ $RUN_PROVISION = 1 ] && { run_provision & pids+=("$!"); }
for job in "${pids[@]}"; do wait "$job" || true; done
pids=()

FAILURES=()
SUMMARY=()
[ $RUN_CLI = 1 ] && { report cli || true; }
[ $RUN_GUI = 1 ] && { report gui || true; }
[ $RUN_PROVISION = 1 ] && { report_provision || true; }
summary="$(IFS=';'; echo "${SUMMARY[*]}" | sed 's/;/; /g')"
if [ ${#FAILURES[@]} -eq 0 ]; then
    echo "SOAK PASS ($MINUTES min): $summary"
    if [ $KEEP = 1 ]; then echo "Run kept in $RUN_DIR"; else rm -rf "$RUN_DIR"; fi
    exit 0
fi
echo "SOAK FAIL ($MINUTES min): $(IFS=';'; echo "${FAILURES[*]}" | sed 's/;/; /g') -- run kept in $RUN_DIR"
exit 1
