#!/usr/bin/env bash
# Checks that KestATI.sys is a native-subsystem PE for 32-bit x86 whose imports come only from
# ntoskrnl.exe and HAL.dll, and only the kernel routines the driver is written against (plus the
# C memory routines the kernel exports, should the compiler call them).
set -euo pipefail
sys=${1:?usage: check_sys_imports.sh KestATI.sys}
objdump=i686-w64-mingw32-objdump
[ -f "$sys" ] || { echo "missing $sys (run make windows)"; exit 1; }

# Whole outputs first: grep -q would stop reading early and, under pipefail, fail the pipeline.
headers=$($objdump -f "$sys")
details=$($objdump -p "$sys")
grep -q 'file format pei-i386' <<<"$headers" || { echo "not a 32-bit x86 PE: $headers"; exit 1; }
grep -qE '^Subsystem\s+00000001\s+\(NT native\)' <<<"$details" || { echo "not native subsystem"; exit 1; }

allowed_dlls="HAL.dll ntoskrnl.exe"
allowed="IoCreateDevice IoCreateSymbolicLink IoDeleteSymbolicLink IoDeleteDevice IofCompleteRequest
RtlInitUnicodeString PoStartNextPowerIrp KeInitializeMutex KeWaitForSingleObject KeReleaseMutex
KeDelayExecutionThread READ_PORT_UCHAR WRITE_PORT_UCHAR READ_PORT_ULONG WRITE_PORT_ULONG
memset memcpy memmove"

dll=""
status=0
while read -r line; do
    if [[ $line =~ ^DLL\ Name:\ (.*)$ ]]; then
        dll=${BASH_REMATCH[1]}
        if ! grep -qw -- "$dll" <<<"$allowed_dlls"; then
            echo "unexpected import library: $dll"; status=1
        fi
    elif [[ -n $dll && $line =~ ^[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+([A-Za-z_0-9@]+)$ ]]; then
        name=${BASH_REMATCH[1]}
        if ! grep -qw -- "$name" <<<"$allowed"; then
            echo "unexpected import: $dll!$name"; status=1
        fi
        echo "$dll!$name"
    fi
done < <(sed -n '/The Import Tables/,/^The Export Tables/p' <<<"$details" | sed 's/^\s*//')
[ -n "$dll" ] || { echo "no import table"; exit 1; }
exit $status
