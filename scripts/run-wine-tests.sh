#!/usr/bin/env bash
# Runs the CTest tests of a Windows build tree under wine64, in a wine prefix made for this run
# alone and removed afterwards; with --bench, every program of the tree's bench/ folder instead.
# Usage: scripts/run-wine-tests.sh build-windows64 [--bench | ctest options]
set -euo pipefail
tree=${1:?usage: run-wine-tests.sh BUILD_DIR [--bench | ctest options]}
shift
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "run-wine-tests: no $wine (run scripts/install-deps.sh)" >&2; exit 1; }

export WINEDEBUG=-all
# Never look for Mono or Gecko: nothing here needs them and they cannot be fetched.
export WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kest-wine.XXXXXX")
export WINEPREFIX
xvfb=
cleanup() {
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# The window layer's tests make real windows: they use the X server in DISPLAY, else a private
# Xvfb on a free display of its own choosing. Their windows stay unmanaged, so wine never waits
# for a window manager.
unset WAYLAND_DISPLAY
if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$WINEPREFIX/display" 2>/dev/null &
    xvfb=$!
    for _ in $(seq 50); do
        [ -s "$WINEPREFIX/display" ] && break
        sleep 0.1
    done
    DISPLAY=:$(tr -d '\n' <"$WINEPREFIX/display")
    export DISPLAY
fi
"$wine" wineboot -i >/dev/null 2>&1
# The dialog face: wine finds fonts-wine's Tahoma-metric font only in the prefix's font folder.
# Only the regular face: with fonts-wine's bold file wine measures bold text bold but draws it
# regular, so right-aligned bold headings fall short; a bold wine makes from the regular face is
# drawn as wide as it is measured.
cp /usr/share/wine/fonts/tahoma.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
# Let the first session end, services and all, so that every test starts from the same state.
/usr/lib/wine/wineserver -w
if [ "${1:-}" != "--bench" ]; then
    ctest --test-dir "$tree" --output-on-failure "$@"
    exit
fi
# Every benchmark runs, even after one fails; then the run fails if any did.
status=0
for b in "$tree"/bench/*.exe; do
    [ -f "$b" ] || continue
    "$wine" "$b" || { echo "$b exited with status $?" >&2; status=1; }
done
exit $status
