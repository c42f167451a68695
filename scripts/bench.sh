#!/usr/bin/env bash
# Measures what a frame costs and prints one table with the targets (bench/report.py): builds the
# benchmarks, runs the native micro-benchmarks (release build, no sanitizers) and the frame bench
# under Wine on a virtual display of its own, sized for the largest frame measured. Stops
# everything it starts.
#   BUZZEL_BENCH_QUICK=1   a few samples only: checks that the rig works, figures are rough
#   BUZZEL_SCREEN          Xvfb geometry (default 3840x2160x24, the largest frame measured)
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"

if [ "${BUZZEL_BENCH_QUICK:-0}" = 1 ]; then
  native_args=(--benchmark_repetitions=3 --benchmark_min_time=0.05)
  frame_args=(--rounds 2 --ticks 1)
else
  native_args=(--benchmark_repetitions=9 --benchmark_min_time=0.1)
  frame_args=(--rounds 8 --ticks 4)
fi

echo "bench: building" >&2
cmake --preset windows >/dev/null
cmake --build --preset windows -j 2 --target frame_bench >/dev/null
cmake --preset bench-native >/dev/null
cmake --build --preset bench-native -j 2 --target core_bench >/dev/null

out=$(mktemp -d /tmp/buzzel-bench.XXXXXX)
echo "bench: native micro-benchmarks" >&2
build/bench-native/bench/core_bench "${native_args[@]}" --benchmark_report_aggregates_only=true \
  --benchmark_format=json >"$out/native.json"

# The frame bench gets a prefix of its own: Wine's X driver would otherwise cut every layered
# frame into an X shape of its opaque runs, a cost (and, with hundreds of flies, an X request too
# large for the server) that exists only in Wine on a display without a compositor.
export BUZZEL_SCREEN=${BUZZEL_SCREEN:-3840x2160x24}
export BUZZEL_WINEPREFIX=${BUZZEL_BENCH_WINEPREFIX:-$repo/build/bench-wineprefix}
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
cleanup() { wine_server_stop; xvfb_stop; rm -rf "$out"; }
trap cleanup EXIT
wine_prefix_ready
xvfb_start
wine_server_start
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v ShapeLayeredWindows /t REG_SZ /d N /f >/dev/null 2>&1

echo "bench: frames under Wine" >&2
mkdir "$out/run"
( cd "$out/run" && "$WINE" "$repo/build/windows/bench/frame_bench.exe" "${frame_args[@]}" \
    --size 1920x1080 --size 3840x2160 ) >"$out/frames.tsv"

machine="$(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores, $(uname -sr), $("$WINE" --version)"
python3 bench/report.py "$out/native.json" "$out/frames.tsv" "$machine"
