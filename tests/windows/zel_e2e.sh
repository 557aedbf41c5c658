#!/usr/bin/env bash
# ZEL.exe as a user meets it, under wine on a screen of its own (Xvfb, with trayer as the
# notification area), in the wine prefix of this run:
#  - no device (KESTATI_SIMULATE unset): the box "ZEL ERROR" says "Device access deny"; its OK
#    ends the program with 1 and no kest.txt;
#  - first run on a simulated RADEON 9800 PRO in an empty folder: the main dialog opens and
#    kest.txt holds the board's defaults 380/340; closing the dialog stores the clocks read back
#    from the board, 380/341, and the program goes on; the tray icon's menu (menu 131: "Show
#    &Config", "&Exit") comes up on a right click, and "&Exit" ends the program with 0.
# Usage: zel_e2e.sh ZEL.exe WINDOW_TEXTS.exe WINE (WINEPREFIX set)
set -uo pipefail
zel=${1:?usage: zel_e2e.sh ZEL.exe WINDOW_TEXTS.exe WINE}
texts=${2:?usage: zel_e2e.sh ZEL.exe WINDOW_TEXTS.exe WINE}
wine=${3:?usage: zel_e2e.sh ZEL.exe WINDOW_TEXTS.exe WINE}
[ -f "$zel" ] && [ -f "$texts" ] || { echo "missing $zel or $texts"; exit 1; }
[ -n "${WINEPREFIX:-}" ] || { echo "WINEPREFIX is not set (run through scripts/run-wine-tests.sh)"; exit 1; }
for tool in Xvfb trayer xdotool xwininfo od; do
    command -v $tool >/dev/null || { echo "no $tool (run scripts/install-deps.sh)"; exit 1; }
done
zel=$(realpath "$zel")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zel-e2e.XXXXXX")
pids=()
cleanup() {
    # A program still up after a failure goes with the shell that started it.
    for pid in "${pids[@]}"; do
        pkill -P "$pid" 2>/dev/null
        kill "$pid" 2>/dev/null
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }
# Runs the command until it succeeds, for at most 30 s.
poll() {
    local end=$((SECONDS + 30))
    until "$@"; do
        [ $SECONDS -lt $end ] || return 1
        sleep 0.1
    done
}

# A display of this run's own, numbered by the server.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$scratch/display" 2>/dev/null &
pids+=($!)
poll test -s "$scratch/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$scratch/display")
trayer --edge top --align right --widthtype pixel --width 100 --height 24 >/dev/null 2>&1 &
pids+=($!)

# ZEL.exe started in folder $1 (made here) with the rest as its environment; its exit code lands
# in $1.exit.
start_zel() {
    local dir=$scratch/$1
    shift
    mkdir -p "$dir"
    (cd "$dir" && env "$@" "$wine" "$zel" >/dev/null 2>&1; echo $? >"$dir.exit") &
    pids+=($!)
}
exit_code() { cat "$scratch/$1.exit" 2>/dev/null; }
ended() { [ -s "$scratch/$1.exit" ]; }
window_texts() { "$wine" "$texts" "$@" 2>/dev/null | tr -d '\r'; }
shows() { window_texts "$1" | grep -qxF -- "$2"; }
window_of() { xdotool search --name "^$1\$" 2>/dev/null | head -1; }
# The engine and memory clocks in a kest.txt, as "E M".
clocks() { od -An -td4 -w8 "$1" 2>/dev/null | xargs; }
clocks_are() { [ "$(clocks "$1")" = "$2" ]; }
# The tray icon: the window wine docks into trayer's panel.
tray_icon() {
    xwininfo -root -tree | awk '/\("panel" "trayer"\)/ { p = 1 } p && /"explorer.exe"/ { print $1; exit }'
}

# No device: the box, OK, exit code 1.
start_zel nodevice -u KESTATI_SIMULATE
if poll shows "ZEL ERROR" "Device access deny"; then
    xdotool windowfocus --sync "$(window_of "ZEL ERROR")" key Return
else
    fail "no \"ZEL ERROR\" box saying \"Device access deny\": $(window_texts "ZEL ERROR")"
fi
poll ended nodevice || fail "ZEL.exe without a device did not end"
[ "$(exit_code nodevice)" = 1 ] || fail "ZEL.exe without a device exited $(exit_code nodevice)"
[ ! -e "$scratch/nodevice/kest.txt" ] || fail "kest.txt made without a device"

# First run on the simulated board.
start_zel firstrun KESTATI_SIMULATE=9800pro
poll shows "Pelagon Graphics Monitor" "Pelagon Graphics Monitor" || fail "no main dialog on first run"
kest=$scratch/firstrun/kest.txt
poll clocks_are "$kest" "380 340" || fail "first run stored $(clocks "$kest"), not 380 340"

# Closing the dialog (a click on its corner makes it the active window, Alt+F4 closes it).
dialog=$(window_of "Pelagon Graphics Monitor")
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + WIDTH - 2)) $((Y + HEIGHT - 2)) click 1 key alt+F4
poll clocks_are "$kest" "380 341" || fail "closing stored $(clocks "$kest"), not the read-back 380 341"
! ended firstrun || fail "closing the main dialog ended ZEL.exe ($(exit_code firstrun))"

# The tray menu: its items, then "&Exit" clicked where the popup shows it.
items=$(window_texts --menu "Z:$(tr / '\\' <<<"$zel")" 131)
[ "$items" = $'Show &Config 32774\n&Exit 32773' ] || fail "menu 131 holds: $items"
poll tray_icon >/dev/null || fail "no tray icon"
xdotool mousemove --window "$(tray_icon)" 5 5 click 3
if poll window_texts --popup >/dev/null; then
    read -r x y width height < <(window_texts --popup)
    count=$(wc -l <<<"$items")
    index=$(grep -n '^&Exit ' <<<"$items" | cut -d: -f1)
    xdotool mousemove $((x + width / 2)) $((y + height * (2 * index - 1) / (2 * count))) click 1
else
    fail "no menu on a right click of the tray icon"
fi
poll ended firstrun || fail "\"&Exit\" did not end ZEL.exe"
[ "$(exit_code firstrun)" = 0 ] || fail "\"&Exit\" ended ZEL.exe with $(exit_code firstrun)"
clocks_are "$kest" "380 341" || fail "after \"&Exit\" kest.txt holds $(clocks "$kest")"
exit $status
