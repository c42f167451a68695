#!/usr/bin/env bash
# The main job: sets up, builds and shows Buzzel running under Wine.
#   With a display ($DISPLAY set): starts the launcher and returns once every program it started
#   has ended.
#   Without one: starts a virtual display, runs the overlay for a few seconds, saves a screenshot
#   taken while the flies are on screen to build/screenshot.png, prints its path and stops
#   everything it started.
# The programs run in a temporary directory, so their start log does not land in the checkout.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
bash scripts/build.sh
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh

launcher=$repo/build/windows/win32/launcher/buzzel_gui.exe
overlay=$repo/build/windows/win32/overlay/buzzel.exe
screenshot=$repo/build/screenshot.png
workdir=$(mktemp -d /tmp/buzzel-run.XXXXXX)
started_xvfb=
cleanup() {
  wine_server_stop
  [ -n "$started_xvfb" ] && xvfb_stop
  rm -rf "$workdir"
}
trap cleanup EXIT
wine_prefix_ready

if [ -n "${DISPLAY:-}" ]; then
  echo "run: starting the launcher on $DISPLAY"
  (cd "$workdir" && "$WINE" "$launcher")
  # The launcher leaves the overlay running; wait until it has ended too.
  "$WINESERVER" -w
  exit 0
fi

xvfb_start
started_xvfb=1
wine_server_start
echo "run: no display; running the overlay on a virtual display ($DISPLAY): -n 12 -t 6 -s 48"
(cd "$workdir" && exec "$WINE" "$overlay" -n 12 -t 6 -s 48) &
overlay_pid=$!
# Photograph the screen once the first flies show (more than one colour on the white desktop).
shot=
for _ in $(seq 1 40); do
  sleep 0.25
  import -window root "$workdir/shot.png"
  if [ "$(convert "$workdir/shot.png" -format %k info:)" -gt 1 ]; then
    sleep 1
    import -window root "$workdir/shot.png"
    shot=1
    break
  fi
done
wait "$overlay_pid" || { echo "run: the overlay ended with exit code $?" >&2; exit 1; }
if [ -z "$shot" ]; then
  echo "run: no fly appeared on the screen" >&2
  exit 1
fi
mv "$workdir/shot.png" "$screenshot"
echo "$screenshot"
