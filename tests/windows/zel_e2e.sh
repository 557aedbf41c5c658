#!/usr/bin/env bash
# ZEL.exe as a user meets it, under wine in this run's prefix, on a display of its own (Xvfb,
# trayer as the notification area): without a device the box "ZEL ERROR" says "Device access
# deny" and its OK ends the program with 1; the first run on a simulated RADEON 9800 PRO opens the
# main dialog and stores the defaults 380/340 in kest.txt, closing the dialog stores the clocks
# read back from the board (380/341) and the program goes on, and "&Exit" from the tray icon's
# menu ends it with 0. Usage: zel_e2e.sh ZEL.exe WINDOW_TEXTS.exe WINE (WINEPREFIX set)
set -uo pipefail
zel=$(realpath "${1:?usage: zel_e2e.sh ZEL.exe WINDOW_TEXTS.exe WINE}")
texts=${2:?} wine=${3:?}
[ -n "${WINEPREFIX:-}" ] || { echo "WINEPREFIX is not set (run through scripts/run-wine-tests.sh)"; exit 1; }
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zel-e2e.XXXXXX")
pids=()
# A program still up after a failure goes with the shell that started it.
trap 'for p in "${pids[@]}"; do pkill -P $p; kill $p; done 2>/dev/null; rm -rf "$scratch"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }
# Runs the command until it succeeds, for at most 30 s.
poll() {
    local end=$((SECONDS + 30))
    until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.1; done
}

Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$scratch/display" 2>/dev/null &
pids+=($!)
poll test -s "$scratch/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$scratch/display")
trayer --edge top --align right --widthtype pixel --width 100 --height 24 >/dev/null 2>&1 &
pids+=($!)
# Wine's desktop process, which shows the tray icons, starts on the display of the session's first
# program: let an earlier session end first.
"$(dirname "$wine")/wineserver" -w

# ZEL.exe in a new folder $1 with the environment changes that follow; its exit code in $1.exit.
start_zel() {
    mkdir "$scratch/$1"
    (cd "$scratch/$1" && env "${@:2}" "$wine" "$zel" >/dev/null 2>&1; echo $? >"$scratch/$1.exit") &
    pids+=($!)
}
exit_code() { cat "$scratch/$1.exit" 2>/dev/null; }
ended() { [ -s "$scratch/$1.exit" ]; }
window_texts() { "$wine" "$texts" "$@" 2>/dev/null | tr -d '\r'; }
shows() { window_texts "$1" | grep -qxF -- "$2"; }
window_of() { xdotool search --name "^$1\$" | head -1; }
clocks() { od -An -td4 -w8 "$1" 2>/dev/null | xargs; }  # kest.txt's engine and memory clocks
clocks_are() { [ "$(clocks "$1")" = "$2" ]; }
# The tray icon: the window wine docks into trayer's panel.
tray_icon() { xwininfo -root -tree | awk '/\("panel" "trayer"\)/ { p = 1 } p && /"explorer.exe"/ { print $1; exit }'; }

start_zel nodevice -u KESTATI_SIMULATE
poll shows "ZEL ERROR" "Device access deny" || fail "no \"ZEL ERROR\" box saying \"Device access deny\""
xdotool windowfocus --sync "$(window_of "ZEL ERROR")" key Return
poll ended nodevice && [ "$(exit_code nodevice)" = 1 ] || fail "without a device ZEL.exe ended with '$(exit_code nodevice)'"
[ ! -e "$scratch/nodevice/kest.txt" ] || fail "kest.txt made without a device"

start_zel firstrun KESTATI_SIMULATE=9800pro
kest=$scratch/firstrun/kest.txt
poll shows "Pelagon Graphics Monitor" "Pelagon Graphics Monitor" || fail "no main dialog on first run"
poll clocks_are "$kest" "380 340" || fail "first run stored '$(clocks "$kest")', not 380 340"
# A click on the dialog's corner makes it the active window; Alt+F4 closes it.
eval "$(xdotool getwindowgeometry --shell "$(window_of "Pelagon Graphics Monitor")")"
xdotool mousemove $((X + WIDTH - 2)) $((Y + HEIGHT - 2)) click 1 key alt+F4
poll clocks_are "$kest" "380 341" || fail "closing stored '$(clocks "$kest")', not the read-back 380 341"
! ended firstrun || fail "closing the main dialog ended ZEL.exe ($(exit_code firstrun))"

# The tray menu on a right click of the icon; "&Exit" is the lower of its two items.
poll tray_icon >/dev/null && xdotool mousemove --window "$(tray_icon)" 5 5 click 3 || fail "no tray icon"
poll window_texts --popup >/dev/null || fail "no menu on a right click of the tray icon"
read -r x y width height < <(window_texts --popup)
xdotool mousemove $((x + width / 2)) $((y + height * 3 / 4)) click 1
poll ended firstrun && [ "$(exit_code firstrun)" = 0 ] || fail "\"&Exit\" ended ZEL.exe with '$(exit_code firstrun)'"
clocks_are "$kest" "380 341" || fail "after \"&Exit\" kest.txt holds '$(clocks "$kest")'"
exit $status
