#!/usr/bin/env bash
# Fails when a Windows program imports a DLL that Windows does not ship
# itself, or (for the 32-bit release, which runs on XP) a KERNEL32 function
# that XP lacks. Usage: check_imports.sh OBJDUMP PROGRAM [--xp]
set -euo pipefail
objdump=$1 program=$2 xp=${3:-}

allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|advapi32|uxtheme|ole32|oleaut32|msvcrt|version|dwmapi|imm32|winmm|msimg32|ws2_32|rpcrt4|setupapi|crypt32|bcrypt)\.dll$'
# Functions that came with Vista or later and that toolchain runtimes are known to pull in.
not_on_xp='^(GetTickCount64|InitializeSRWLock|AcquireSRWLock(Exclusive|Shared)|ReleaseSRWLock(Exclusive|Shared)|TryAcquireSRWLock(Exclusive|Shared)|InitializeConditionVariable|SleepConditionVariable(CS|SRW)|WakeAllConditionVariable|WakeConditionVariable|InitOnceExecuteOnce|InitOnceBeginInitialize|InitOnceComplete|CreateSymbolicLink[AW]|GetFinalPathNameByHandle[AW]|SetDefaultDllDirectories|AddDllDirectory|GetFileInformationByHandleEx|SetFileInformationByHandle|CompareStringEx|LCMapStringEx|GetLocaleInfoEx|GetUserDefaultLocaleName|FlsAlloc|FlsGetValue|FlsSetValue|FlsFree|CreateEventExW|CreateSemaphoreExW|CreateMutexExW|GetSystemTimePreciseAsFileTime|QueryFullProcessImageName[AW]|GetErrorMode|Wow64DisableWow64FsRedirection)$'

dump=$("$objdump" -p "$program")
status=0
while read -r dll; do
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  if ! grep -Eq "$allowed" <<<"$lower"; then
    echo "$program imports $dll, which Windows does not ship" >&2
    status=1
  fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")

if [[ $xp == --xp ]]; then
  functions=$(awk '/DLL Name: (KERNEL32|kernel32)/{f=1;next} /DLL Name/{f=0} f && NF>=3 && $1 ~ /^[0-9a-f]+$/ {print $3}' <<<"$dump")
  while read -r fn; do
    [[ -n $fn ]] || continue
    if grep -Eq "$not_on_xp" <<<"$fn"; then
      echo "$program imports KERNEL32!$fn, which Windows XP lacks" >&2
      status=1
    fi
  done <<<"$functions"
  [[ -n $functions ]] || { echo "no KERNEL32 imports read from $program" >&2; status=1; }
fi
exit $status
