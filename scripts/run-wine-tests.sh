#!/usr/bin/env bash
# Runs the CTest tests of a Windows build tree under wine64, in a wine prefix made for this run
# alone and removed afterwards. Usage: scripts/run-wine-tests.sh build-windows64 [ctest options]
set -euo pipefail
tree=${1:?usage: run-wine-tests.sh BUILD_DIR [ctest options]}
shift
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "run-wine-tests: no $wine (run scripts/install-deps.sh)" >&2; exit 1; }

export WINEDEBUG=-all
# Never look for Mono or Gecko: nothing here needs them and they cannot be fetched.
export WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/kest-wine.XXXXXX")
export WINEPREFIX
cleanup() {
    /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Only the window layer's tests need a display: an X server in DISPLAY (a private Xvfb), else
# wine has none. Their windows stay unmanaged, so wine never waits for a window manager.
unset WAYLAND_DISPLAY
"$wine" wineboot -i >/dev/null 2>&1
if [ -n "${DISPLAY:-}" ]; then
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
# Let the first session end, services and all, so that every test starts from the same state.
/usr/lib/wine/wineserver -w
ctest --test-dir "$tree" --output-on-failure "$@"
