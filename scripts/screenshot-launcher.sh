#!/usr/bin/env bash
# Photographs the launcher window on a virtual display for the README: docs/launcher.png.
# Uses its own Wine prefix (build/wineprefix-shot) in which Wine draws the window frame and title
# bar itself (there is no window manager).
# Everything it starts (Xvfb, Wine server, the launcher) is stopped again by its PID.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
export BUZZEL_WINEPREFIX="$repo/build/wineprefix-shot"
export BUZZEL_SCREEN=1024x600x24
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

gui=build/windows/win32/launcher/buzzel_gui.exe
[ -f "$gui" ] || bash scripts/build.sh

launcher_pid=
scratch=$(mktemp -d)
cleanup() {
  if [ -n "$launcher_pid" ]; then
    kill "$launcher_pid" 2>/dev/null || true
    wait "$launcher_pid" 2>/dev/null || true
  fi
  wine_server_stop
  xvfb_stop
  rm -rf "$scratch"
}
trap cleanup EXIT

xvfb_start
wine_prefix_ready
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
"$WINESERVER" -w
wine_server_start

(cd "$scratch" && exec "$WINE" "$repo/$gui") &
launcher_pid=$!
window=$(xdotool search --sync --name "Buzzel Launcher" | head -n 1)
# Give the first paint time to reach the X server.
sleep 2
eval "$(xdotool getwindowgeometry --shell "$window")"
mkdir -p docs
import -window root "$scratch/root.png"
convert "$scratch/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/launcher.png
echo "wrote docs/launcher.png (${WIDTH}x${HEIGHT})"
