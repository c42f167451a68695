# Sourced by the scripts: where Wine lives, the private prefix, and helpers to start and stop
# the virtual display and the Wine server. Everything started here is stopped by its PID.

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${BUZZEL_WINEPREFIX:-$repo_root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko download prompts: the programs need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
WINE=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# Creates the prefix once: about ten seconds. Crash dialogs are switched off so that a crashing
# program just exits and a test sees its code instead of hanging on a dialog. Wine has no
# "Segoe UI", the programs' font: DejaVu Sans stands in, so the launcher's header shows its text.
wine_prefix_ready() {
  [ -f "$WINEPREFIX/.buzzel-ready" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  ( exec 9>"$WINEPREFIX.lock"; flock 9
    if [ ! -f "$WINEPREFIX/.buzzel-ready" ]; then
      "$WINE" wineboot -i >/dev/null 2>&1 || true
      "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 || true
      "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Segoe UI' /t REG_SZ /d 'DejaVu Sans' /f >/dev/null 2>&1 || true
      "$WINESERVER" -w
      touch "$WINEPREFIX/.buzzel-ready"
    fi )
}

# Starts Xvfb on a free display number (white root, 1920x1080 unless BUZZEL_SCREEN says otherwise)
# and exports DISPLAY; XVFB_PID holds its PID.
xvfb_start() {
  local geometry=${BUZZEL_SCREEN:-1920x1080x24} fifo
  fifo=$(mktemp -u /tmp/buzzel-xvfb.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$geometry" -wr -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local n
  read -r -t 20 n <"$fifo" || { rm -f "$fifo"; echo "Xvfb did not start" >&2; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$n"
}

xvfb_stop() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# Keeps one Wine server alive for the prefix so each program starts fast; ended by wine_server_stop.
# Also starts Wine's own background services now, detached from any pipe: started later by a test
# whose output CTest reads, they would inherit that pipe and keep CTest waiting for its end.
# When the Windows tree has it (target desktop_keeper, built by scripts/build.sh from
# tests/win32/reliability/), it also starts the desktop keeper for the whole session: Wine ends its
# desktop process (explorer) once no program uses the desktop, and the next program with a
# window starts it again. If that program runs in a test's job object, the desktop process joins
# the job: the test counts it as a process the program started, and ending the job kills the
# desktop under every other program's windows. WINE_DESKTOP_PID holds the keeper's PID.
wine_server_start() {
  "$WINESERVER" -p
  "$WINE" wineboot </dev/null >/dev/null 2>&1 || true
  local keeper="$repo_root/build/windows/tests/win32/reliability/desktop_keeper.exe"
  if [ -f "$keeper" ]; then
    "$WINE" "$keeper" </dev/null >/dev/null 2>&1 &
    WINE_DESKTOP_PID=$!
    # A program with a window returns only once the desktop is there to take it.
    "$WINE" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
  fi
}

wine_server_stop() {
  if [ -n "${WINE_DESKTOP_PID:-}" ]; then kill "$WINE_DESKTOP_PID" 2>/dev/null || true; fi
  WINE_DESKTOP_PID=
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
}
