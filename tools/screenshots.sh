#!/usr/bin/env bash
# Starts the application under Xvfb against simulated modules and writes a
# screenshot of each page to a folder (default: screenshots/).
#
# Usage: tools/screenshots.sh [OUTPUT_DIR] [all|pages|sizes]
#
# "pages" shows each page and dialog in a 1350x850 window. It connects by
# Ctrl+Return; the rest is reached by clicking where the controls sit in that
# window, so the clicks follow the window's layout: after moving a control,
# look at the pictures again and adjust its position below.
# "sizes" opens the window on screens of 1024x600, 1280x720, 1600x1000 and
# 1920x1080 at a scale of 2, with a size saved on a larger screen, and shows
# the connection page, the dashboard and the settings, each at its top and
# scrolled to its end, and the log at its newest and its oldest lines. It
# goes from page to page by keyboard shortcuts, and scrolls with the mouse
# wheel. "all" does both.
set -euo pipefail
cd "$(dirname "$0")/.."
OUT="$(realpath -m "${1:-screenshots}")"
WHICH="${2:-all}"
BUILD_DIR="${TAV_BUILD_DIR:-build}"
./scripts/deps.sh
for tool in xdotool import; do
    command -v "$tool" >/dev/null || {
        SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends xdotool imagemagick >/dev/null
        break
    }
done
./scripts/build.sh >/dev/null
mkdir -p "$OUT"

RUN_PREFIX=tavshots
. scripts/simulators.sh

# A display of our own, of the size given (WIDTHxHEIGHT); XVFB_PID is its server.
start_display() {
    DISPLAY_NUM=$((90 + RANDOM % 100))
    Xvfb ":$DISPLAY_NUM" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    pids+=("$XVFB_PID")
    export DISPLAY=":$DISPLAY_NUM"
    for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
}
stop_display() { kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; }

for module in TREKON TAV2; do
    extra=()
    [ "$module" = TREKON ] && extra=(--asleep --auto-wake 2500)
    start_simulator "$module" "$module" "${extra[@]}" --latency 5 --tx-delay 1500 --pass-in 120
done
for module in TREKON TAV2; do
    wait_for_simulator "$module" || exit 1
done
export TAV_EXTRA_PORTS="$RUN_DIR/TREKON:$RUN_DIR/TAV2"

click() { xdotool mousemove --window "$WIN" "$1" "$2" click 1; sleep "${3:-0.8}"; }
type_text() { xdotool type --delay 20 "$1"; sleep 0.3; }
# The pointer is parked in the window's bottom left corner, in its margin,
# first so that no tooltip shows.
shot() {
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    xdotool mousemove --window "$WIN" 3 $((HEIGHT - 3)); sleep 0.6
    import -window "$WIN" "$OUT/$1.png"; echo "$OUT/$1.png"
}
# Scrolls the page under the middle of the window to its end.
scroll_down() {
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    xdotool mousemove --window "$WIN" $((WIDTH / 2)) $((HEIGHT * 3 / 4)) click --repeat 25 --delay 30 5; sleep 0.5
}

# Scrolls the page or list under the middle of the window to its top.
scroll_up() {
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$WIN")"
    xdotool mousemove --window "$WIN" $((WIDTH / 2)) $((HEIGHT * 3 / 4)) click --repeat 40 --delay 30 4; sleep 0.5
}

# Starts the application with a settings store of its own that preselects
# MODULE (1 TAV1, 2 TAV2, 3 RIX, 4 TREKON), its port, MODE (0 basic, 1 expert),
# RECONNECT (true or false, default false) and the window size saved
# (default 1350x850).
start_app() {
    local module="$1" port="$2" mode="$3" reconnect="${4:-false}" size="${5:-1350x850}"
    local home="$RUN_DIR/home-$module"
    mkdir -p "$home/.config/Norvane"
    printf '[UI]\nfirstVisit=false\nmodule=%s\nlastPort=%s\nmode=%s\nreconnect=%s\nwindowWidth=%s\nwindowHeight=%s\n' \
        "$module" "$port" "$mode" "$reconnect" "${size%x*}" "${size#*x}" >"$home/.config/Norvane/TavGUI.conf"
    (cd "$home" && HOME="$home" XDG_CONFIG_HOME="$home/.config" exec "$OLDPWD/$BUILD_DIR/tavgui") &
    APP_PID=$!
    WIN="$(xdotool search --sync --onlyvisible --name '^TavGUI$' | head -1)"
    sleep 1.5
}
stop_app() { kill "$APP_PID" 2>/dev/null || true; wait "$APP_PID" 2>/dev/null || true; }

pages_shots() {
start_display 1400x900
# Positions in the 1350x850 window.
GEAR=(30 28)
PERIODIC=(869 131); PREPASS=(945 131); ON_MODULE=(1058 131)
IMPORT_PASSES=(885 211); PREDICT_PASSES=(1030 211); TIMELINE_TAB=(698 577); FROM_MODULE=(207 576)
PAYLOAD_FIELD=(369 463); PAYLOAD_ADD=(763 467)
# In the periodic profile the payload list takes the whole left column.
PERIODIC_FIELD=(369 798); PERIODIC_ADD=(760 803); START=(1260 412)
TAB_MODULE=(69 92); TAB_SENSORS=(190 92); TAB_RX=(290 92); TAB_LOG=(369 92)
UTC_EDIT=(1299 772)
BELL=(1266 28); INFO=(1314 28)

# The TREKON kit, in expert mode.
start_app 4 "$RUN_DIR/TREKON" 1
# Shortcuts go to the window that has the keyboard focus.
xdotool windowfocus --sync "$WIN"
shot 01-connection
xdotool key ctrl+Return; sleep 0.3
shot 02-wake-up
sleep 3
click "${ON_MODULE[@]}"
click "${FROM_MODULE[@]}" 2
shot 03-dashboard-prepass-on-module
click "${PAYLOAD_FIELD[@]}"; type_text "0123456789ABCDEF0123456789ABCDEF01234567"; click "${PAYLOAD_ADD[@]}"
click "${PAYLOAD_FIELD[@]}"; type_text "CAFE"; click "${PAYLOAD_ADD[@]}"
click "${PREPASS[@]}"
shot 04-dashboard-prepass
# Passes predicted from the orbit data the module reported, then the
# timeline and the sky plot of the first one.
click "${PREDICT_PASSES[@]}" 1.5
shot 04a-predicted-passes
click "${TIMELINE_TAB[@]}" 1
shot 04b-pass-timeline-sky-plot
click "${IMPORT_PASSES[@]}" 1.5
shot 05-import-passes-dialog
xdotool key Escape; sleep 0.5
click "${PERIODIC[@]}"
shot 06-dashboard-periodic
click "${UTC_EDIT[@]}" 1
shot 07-utc-dialog
xdotool key Escape; sleep 0.5
click "${GEAR[@]}" 1
shot 08-settings-module
click "${TAB_SENSORS[@]}"
shot 09-settings-sensors
"$SIM" --tell "$RUN_DIR/TREKON.ctl" rx 48454C4C4F >/dev/null || true
"$SIM" --tell "$RUN_DIR/TREKON.ctl" bc 0102 >/dev/null || true
sleep 0.5
click "${TAB_RX[@]}"
shot 10-settings-rx
click "${TAB_LOG[@]}"
shot 11-settings-log
stop_app

# The TAV2 module, in basic mode, reconnecting by itself, with a periodic
# sequence under way. Slow answers while connecting show the busy bar.
start_app 2 "$RUN_DIR/TAV2" 0 true
"$SIM" --tell "$RUN_DIR/TAV2.ctl" latency 800 >/dev/null || true
xdotool windowfocus --sync "$WIN"
xdotool key ctrl+Return; sleep 0.3
shot 14-busy-connecting
sleep 4
"$SIM" --tell "$RUN_DIR/TAV2.ctl" latency 5 >/dev/null || true
sleep 1
click "${PERIODIC[@]}"
click "${PERIODIC_FIELD[@]}"; type_text "0123456789ABCDEF0123456789ABCDEF0123456789ABCDEF"; click "${PERIODIC_ADD[@]}"
click "${START[@]}" 3
shot 12-tav2-dashboard
click "${GEAR[@]}" 1
shot 13-tav2-settings-module
"$SIM" --tell "$RUN_DIR/TAV2.ctl" hangup stay >/dev/null || true
sleep 1.5
shot 15-reconnect-banner
click "${BELL[@]}" 1
shot 16-notifications
xdotool key Escape; sleep 0.5
"$SIM" --tell "$RUN_DIR/TAV2.ctl" replug >/dev/null || true
sleep 2
click "${INFO[@]}" 1
shot 17-about
xdotool key Return; sleep 0.5
stop_app

stop_display
}

# At each size: SIZE of the screen, the window size saved and the scale.
sizes_shots() {
    local screen saved scale name
    for setting in 1024x600:1600x1000:1 1280x720:1600x1000:1 1600x1000:1920x1200:1 1920x1080:1600x1000:2; do
        IFS=: read -r screen saved scale <<<"$setting"
        name="size-$screen"
        [ "$scale" != 1 ] && name+="-scale$scale"
        start_display "$screen"
        QT_SCALE_FACTOR="$scale" start_app 4 "$RUN_DIR/TREKON" 1 false "$saved"
        # Shortcuts go to the window that has the keyboard focus.
        xdotool windowfocus --sync "$WIN"
        shot "$name-1-connection"
        scroll_down; shot "$name-1-connection-end"
        xdotool key ctrl+Return; sleep 5
        shot "$name-2-dashboard"
        scroll_down; shot "$name-2-dashboard-end"
        xdotool key ctrl+comma; sleep 1
        shot "$name-3-settings-module"
        scroll_down; shot "$name-3-settings-module-end"
        xdotool key ctrl+l; sleep 1
        shot "$name-4-settings-log"
        scroll_up; shot "$name-4-settings-log-top"
        stop_app
        stop_display
    done
}

case "$WHICH" in
    pages) pages_shots ;;
    sizes) sizes_shots ;;
    *) pages_shots; sizes_shots ;;
esac
echo "screenshots written to $OUT"
