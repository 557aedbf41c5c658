#!/usr/bin/env bash
# Installs the driver through KestATI.inf as right-click -> Install does, in the wine prefix of
# this run: the file lands in the drivers folder and the service KestATI exists as a kernel
# driver started at boot; DefaultUninstall removes both again.
# Usage: inf_install.sh KestATI.inf WINE (KestATI.sys beside the .inf; WINEPREFIX set)
set -uo pipefail
inf=${1:?usage: inf_install.sh KestATI.inf WINE}
wine=${2:?usage: inf_install.sh KestATI.inf WINE}
sys=$(dirname "$inf")/KestATI.sys
[ -f "$inf" ] && [ -f "$sys" ] || { echo "missing $inf or $sys (run make windows)"; exit 1; }
[ -n "${WINEPREFIX:-}" ] || { echo "WINEPREFIX is not set (run through scripts/run-wine-tests.sh)"; exit 1; }
key='HKLM\System\CurrentControlSet\Services\KestATI'
installed=$WINEPREFIX/drive_c/windows/system32/drivers/KestATI.sys
winpath="Z:$(realpath "$inf" | tr / '\\')"
status=0
fail() { echo "FAIL: $*"; status=1; }

"$wine" rundll32 setupapi.dll,InstallHinfSection DefaultInstall 128 "$winpath"
cmp -s "$sys" "$installed" || fail "KestATI.sys not copied into the drivers folder"
service=$("$wine" reg query "$key" 2>&1 | tr -d '\r') || fail "no service key: $service"
for value in 'Type\s+REG_DWORD\s+0x1$' 'Start\s+REG_DWORD\s+0x2$' 'ErrorControl\s+REG_DWORD\s+0x1$' \
             'ImagePath\s+REG_(EXPAND_)?SZ\s+.*\\drivers\\KestATI\.sys$'; do
    grep -qiE "^\s*$value" <<<"$service" || fail "service key lacks $value: $service"
done

"$wine" rundll32 setupapi.dll,InstallHinfSection DefaultUninstall 128 "$winpath"
[ ! -e "$installed" ] || fail "KestATI.sys left in the drivers folder"
# The service manager deletes the key once the service is gone; asking it first waits for that.
"$wine" sc query KestATI >/dev/null 2>&1 && fail "service KestATI left after uninstall"
"$wine" reg query "$key" >/dev/null 2>&1 && fail "service key left after uninstall"
exit $status
