#!/usr/bin/env bash
# Measures what the flies cost on an X display (bench/overlay_cpu.py): the Linux buzzel (release
# build, no sanitizers) and buzzel.exe under Wine, each on a fresh 1920x1080 Xvfb with and without
# xcompmgr, for 1, 50 and 500 flies. Prints one table with the targets; stops everything it starts.
#   BUZZEL_BENCH_QUICK=1   2 s a case instead of 10: checks that the rig works, figures are rough
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
seconds=10
[ "${BUZZEL_BENCH_QUICK:-0}" = 1 ] && seconds=2

echo "bench: building" >&2
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 --target buzzel >/dev/null
cmake --preset bench-native >/dev/null
cmake --build --preset bench-native -j 2 --target buzzel_x11 >/dev/null

# A prefix of its own with Wine's default settings: the Windows program as a user would run it.
export BUZZEL_WINEPREFIX=${BUZZEL_BENCH_X11_WINEPREFIX:-$repo/build/bench-x11-wineprefix}
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT
wine_prefix_ready

machine="$(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores, $(uname -sr), $("$WINE" --version)"
python3 bench/overlay_cpu.py build/bench-native/x11/overlay/buzzel build/windows/win32/overlay/buzzel.exe \
  "$WINE" "$WINESERVER" --prefix "$WINEPREFIX" --seconds "$seconds"
echo
echo "Machine: $machine; load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
