#!/usr/bin/env bash
# Checks that a Windows program is a GUI-subsystem executable importing only DLLs that ship
# with Windows (no GCC, C++ or pthread runtime DLLs).
set -euo pipefail
exe=$1
dump=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q 'Subsystem.*(Windows GUI)' <<<"$dump" || { echo "$exe: not a GUI-subsystem program" >&2; exit 1; }
status=0
while read -r dll; do
  case "${dll,,}" in
    kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|gdiplus.dll|ole32.dll|oleaut32.dll|shell32.dll|advapi32.dll|msvcrt.dll) ;;
    *) echo "$exe imports $dll, which is not a system DLL" >&2; status=1 ;;
  esac
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
exit $status
