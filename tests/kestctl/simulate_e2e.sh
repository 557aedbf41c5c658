#!/usr/bin/env bash
# kestctl as a user starts it: with KESTATI_SIMULATE naming a board it reports that board's
# adapter without any service; unset, it reaches for the device and says it cannot open it;
# an unknown board is refused with the names of the boards there are.
# Usage: simulate_e2e.sh KESTCTL [RUNNER] (RUNNER runs a Windows kestctl.exe, e.g. wine64).
set -uo pipefail
kestctl=${1:?usage: simulate_e2e.sh KESTCTL [RUNNER]}
runner=${2:-}
[ -f "$kestctl" ] || { echo "missing $kestctl"; exit 1; }
# On Linux, a device socket that cannot exist, so that a running service is never reached.
export KESTATI_DEVICE=/nonexistent/kestati.sock
status=0
fail() { echo "FAIL: $*"; status=1; }

out=$(KESTATI_SIMULATE=9800pro $runner "$kestctl" info 2>&1) || fail "info on 9800pro exited $?: $out"
grep -q '^pciId 0x4E481002 device 0x4E48 vendor 0x1002' <<<"$out" || fail "no 9800 PRO id in: $out"
grep -q '^subsystemId 0x00021002' <<<"$out" || fail "no 9800 PRO subsystem id in: $out"

out=$(env -u KESTATI_SIMULATE $runner "$kestctl" info 2>&1)
code=$?
[ $code -eq 1 ] || fail "info without a device exited $code: $out"
grep -q 'cannot open \\\\.\\kestati' <<<"$out" || fail "no open failure in: $out"

out=$(KESTATI_SIMULATE=9800 $runner "$kestctl" info 2>&1)
code=$?
[ $code -eq 1 ] || fail "info on an unknown board exited $code: $out"
grep -q "unknown board '9800'.*9800pro" <<<"$out" || fail "unknown board not named with the boards: $out"
exit $status
