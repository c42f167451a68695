#!/usr/bin/env bash
# Sets up, builds and shows the flies natively on Linux (X11), with a release build of buzzel.
#   With a display ($DISPLAY set): runs buzzel there with the arguments given (default -n 12 -t 15)
#   and returns when the flies are gone; Ctrl+C ends them early.
#   Without one: starts a virtual display with a white desktop and a compositing manager
#   (BUZZEL_COMPOSITOR=0 for none), runs the flies for a few seconds, saves a screenshot to
#   build/screenshot-linux.png, prints its path and stops everything it started.
# The program runs in a temporary directory, so its start log does not land in the checkout.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bash scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc 2>/dev/null || echo 2)" --target buzzel_x11 >/dev/null
buzzel=$repo/build/linux/x11/overlay/buzzel
[ $# -gt 0 ] || set -- -n 12 -t 15
workdir=$(mktemp -d /tmp/buzzel-run.XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$workdir"
}
trap cleanup EXIT

if [ -n "${DISPLAY:-}" ]; then
  echo "run-linux: buzzel $* on $DISPLAY"
  cd "$workdir" && exec "$buzzel" "$@"
fi

# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
xvfb_start
pids+=("$XVFB_PID")
# A compositing manager paints a bare root grey: a white window stands in for the desktop.
python3 scripts/white-desktop.py >"$workdir/desktop" &
pids+=("$!")
if [ "${BUZZEL_COMPOSITOR:-1}" = 1 ]; then
  xcompmgr >/dev/null 2>&1 &
  pids+=("$!")
fi
sleep 1
echo "run-linux: no display; running buzzel -n 12 -t 6 -s 48 on a virtual display ($DISPLAY)"
(cd "$workdir" && exec "$buzzel" -n 12 -t 6 -s 48) &
buzzel_pid=$!
sleep 3
import -window root "$workdir/shot.png"
wait "$buzzel_pid" || { echo "run-linux: buzzel ended with exit code $?" >&2; exit 1; }
mv "$workdir/shot.png" build/screenshot-linux.png
echo "$repo/build/screenshot-linux.png"
