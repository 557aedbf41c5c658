#!/usr/bin/env bash
# Checks that each EXE is a console (cui) or windowed (gui) PE linked statically: it imports only
# DLLs every Windows has (no mingw runtime DLL must ship beside it), the 32-bit one nothing that
# Windows XP lacks, and it carries no manifest asking for the newer common controls' look.
# Usage: check_exe_imports.sh cui|gui EXE...
set -euo pipefail
case ${1:-} in
cui) subsystem='00000003\s+\(Windows CUI\)' ;;
gui) subsystem='00000002\s+\(Windows GUI\)' ;;
*) echo "usage: check_exe_imports.sh cui|gui EXE..."; exit 2 ;;
esac
shift
[ $# -gt 0 ] || { echo "usage: check_exe_imports.sh cui|gui EXE..."; exit 2; }
allowed_dlls="KERNEL32.dll USER32.dll GDI32.dll ADVAPI32.dll SHELL32.dll COMCTL32.dll
VERSION.dll msvcrt.dll WS2_32.dll OLEACC.dll ole32.dll OLEAUT32.dll"
# Kernel routines that came with Vista or later, which the runtime libraries reach for when
# built for a newer system.
newer_than_xp="GetTickCount64 GetSystemTimePreciseAsFileTime InitializeConditionVariable
SleepConditionVariableCS SleepConditionVariableSRW WakeConditionVariable WakeAllConditionVariable
InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive
ReleaseSRWLockShared TryAcquireSRWLockExclusive InitOnceExecuteOnce InitOnceBeginInitialize
CreateSymbolicLinkA CreateSymbolicLinkW GetFileInformationByHandleEx SetFileInformationByHandle
FlsAlloc FlsGetValue FlsSetValue FlsFree CompareStringEx LCMapStringEx GetLocaleInfoEx
CreateEventExW CreateMutexExW CreateSemaphoreExW GetCurrentProcessorNumber"

status=0
for exe in "$@"; do
    [ -f "$exe" ] || { echo "missing $exe (run make windows)"; status=1; continue; }
    headers=$(x86_64-w64-mingw32-objdump -f "$exe")
    if grep -q 'file format pei-i386' <<<"$headers"; then
        objdump=i686-w64-mingw32-objdump xp=1
    elif grep -q 'file format pei-x86-64' <<<"$headers"; then
        objdump=x86_64-w64-mingw32-objdump xp=0
    else
        echo "$exe: not a Windows PE: $headers"; status=1; continue
    fi
    details=$($objdump -p "$exe")
    grep -qE "^Subsystem\s+$subsystem" <<<"$details" ||
        { echo "$exe: not of subsystem $subsystem: $(grep '^Subsystem' <<<"$details")"; status=1; }
    ! grep -qa 'Microsoft.Windows.Common-Controls' "$exe" ||
        { echo "$exe: asks for the common controls' visual styles"; status=1; }
    dll=""
    while read -r line; do
        if [[ $line =~ ^DLL\ Name:\ (.*)$ ]]; then
            dll=${BASH_REMATCH[1]}
            grep -qiw -- "$dll" <<<"$allowed_dlls" || { echo "$exe: imports $dll"; status=1; }
        elif [[ $xp == 1 && -n $dll && $line =~ ^[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+([A-Za-z_0-9@]+)$ ]]; then
            name=${BASH_REMATCH[1]}
            ! grep -qw -- "$name" <<<"$newer_than_xp" || { echo "$exe: needs $dll!$name"; status=1; }
        fi
    done < <(sed -n '/The Import Tables/,/^The Export Tables/p' <<<"$details" | sed 's/^\s*//')
    [ -n "$dll" ] || { echo "$exe: no import table"; status=1; }
done
exit $status
