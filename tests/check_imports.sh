#!/usr/bin/env bash
# Checks that each given Windows exe imports only DLLs that ship with Windows, so it runs from a
# plain copy without any MinGW runtime DLL beside it. Usage: check_imports.sh EXE...
set -euo pipefail
allowed='^(kernel32|user32|gdi32|gdiplus|ole32|oleaut32|shell32|comctl32|advapi32|msvcrt|ucrtbase|api-ms-win-.*|ntdll|shlwapi|uxtheme|comdlg32|version|winmm|dwmapi|psapi)\.dll$'
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
status=0
for exe in "$@"; do
  dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z')
  if [ -z "$dlls" ]; then
    echo "FAIL $exe: no import table found"
    status=1
    continue
  fi
  while read -r dll; do
    if ! [[ $dll =~ $allowed ]]; then
      echo "FAIL $exe imports $dll"
      status=1
    fi
  done <<<"$dlls"
  [ $status -eq 0 ] && echo "OK $exe: $(echo $dlls)"
done
exit $status
