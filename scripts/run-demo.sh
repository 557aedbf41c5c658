#!/bin/sh
# Starts kestatid on a simulated RADEON 9800 PRO with a private socket and service key, shows what
# kestctl reads from it, and stops the service again. Expects the Debug build in build/.
set -eu

BUILD=${BUILD:-build}
KESTATID="$BUILD/host/kestatid"
KESTCTL="$BUILD/tools/kestctl/kestctl"
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

echo "== kestctl info"
"$KESTCTL" info
echo
echo "== kestctl read"
"$KESTCTL" read
