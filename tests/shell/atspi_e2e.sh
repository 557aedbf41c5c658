#!/bin/sh
# zel on a private X display with the accessibility bus on, over a kestatid on a simulated
# RADEON 9500 PRO, first run in an empty directory; atspi_e2e.py then drives it as a screen
# reader would. Usage: atspi_e2e.sh KESTATID ZEL SCRIPT
set -u
KESTATID=$1 ZEL=$2 SCRIPT=$3
DIR=$(mktemp -d)
trap 'kill $ZP $KP $XP $BP 2>/dev/null; wait 2>/dev/null; rm -rf "$DIR"' EXIT

display=77
while [ -e /tmp/.X11-unix/X$display ] || [ -e /tmp/.X$display-lock ]; do
    display=$((display + 1))
done
Xvfb :$display -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
XP=$!
export DISPLAY=:$display
tries=0
until [ -e /tmp/.X11-unix/X$display ]; do
    tries=$((tries + 1)); [ $tries -gt 100 ] && { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.05
done

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
BP=$!
# zel joins the accessibility bus only if it is there when zel starts.
tries=0
until dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.a11y.Bus.GetAddress >/dev/null 2>&1; do
    tries=$((tries + 1)); [ $tries -gt 200 ] && { echo "no accessibility bus" >&2; exit 1; }
    sleep 0.05
done

export KESTATI_DEVICE="$DIR/kestati.sock" KESTATI_SERVICE_KEY="$DIR/KestATI.reg"
"$KESTATID" --board 9500pro --socket "$KESTATI_DEVICE" --service-key "$KESTATI_SERVICE_KEY" \
    2>"$DIR/kestatid.log" &
KP=$!
tries=0
until [ -S "$KESTATI_DEVICE" ]; do
    tries=$((tries + 1)); [ $tries -gt 200 ] && { echo "kestatid did not start" >&2; exit 1; }
    sleep 0.05
done
(cd "$DIR" && exec "$ZEL") 2>"$DIR/zel.log" &
ZP=$!
/usr/bin/python3 "$SCRIPT"
