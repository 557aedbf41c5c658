#!/bin/sh
# Runs the program on a simulated RADEON 9800 PRO: starts kestatid with a private socket and
# service key, starts zel in a private state directory (where its kest.txt lives) and stops the
# service when zel exits. Without a display it shows what kestctl reads instead. Expects the
# Debug build in build/.
#
#   ZEL_STATE_DIR   where zel keeps kest.txt (default: $XDG_STATE_HOME/zel-demo, i.e.
#                   ~/.local/state/zel-demo); delete it to start again from the first run.
set -eu

BUILD=${BUILD:-build}
KESTATID="$BUILD/host/kestatid"
KESTCTL="$BUILD/tools/kestctl/kestctl"
ZEL="$BUILD/app/shell/zel"
[ -x "$KESTATID" ] || KESTATID="$BUILD/kestatid"
[ -x "$KESTCTL" ] || KESTCTL="$BUILD/kestctl"

RUN_DIR="${XDG_RUNTIME_DIR:-/tmp}/kestati-${USER:-$(id -un)}"
mkdir -p "$RUN_DIR"
chmod 700 "$RUN_DIR"
export KESTATI_DEVICE="$RUN_DIR/kestati.sock"
export KESTATI_SERVICE_KEY="$RUN_DIR/KestATI.reg"

"$KESTATID" --board 9800pro --socket "$KESTATI_DEVICE" --service-key "$KESTATI_SERVICE_KEY" &
PID=$!
stop() {
    kill -TERM "$PID" 2>/dev/null || true
    wait "$PID" 2>/dev/null || true
}
trap stop EXIT INT TERM

# Wait until the device answers (the service needs a moment to load the driver).
tries=0
until "$KESTCTL" raw 0x220514 >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 200 ] || ! kill -0 "$PID" 2>/dev/null; then
        echo "run-demo: kestatid did not come up" >&2
        exit 1
    fi
    sleep 0.05
done
# Another service answering on the same socket would be talking to the program instead.
if ! kill -0 "$PID" 2>/dev/null; then
    echo "run-demo: kestatid did not start (is another one using $KESTATI_DEVICE?)" >&2
    exit 1
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run-demo: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so here is what kestctl reads instead of the program"
    echo "== kestctl info"
    "$KESTCTL" info
    echo
    echo "== kestctl read"
    "$KESTCTL" read
    exit 0
fi

STATE_DIR="${ZEL_STATE_DIR:-${XDG_STATE_HOME:-$HOME/.local/state}/zel-demo}"
mkdir -p "$STATE_DIR"
ZEL=$(realpath "$ZEL")
echo "run-demo: zel runs in $STATE_DIR; choose \"&Exit\" in its tray menu (or close the window where there is no tray) to end the demo"
cd "$STATE_DIR"
status=0
"$ZEL" || status=$?
exit "$status"
