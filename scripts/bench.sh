#!/usr/bin/env bash
# Measures what a frame costs and prints one table with the targets: builds the benchmarks, runs the
# native micro-benchmarks (release build, no sanitizers) and the frame bench under Wine on a virtual
# display of its own, sized for the largest frame measured. Stops everything it starts.
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
cmake -S . -B build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/windows -j 2 --target frame_bench >/dev/null
cmake -S . -B build/bench-native -DCMAKE_BUILD_TYPE=Release -DBUZZEL_SANITIZE=OFF >/dev/null
cmake --build build/bench-native -j 2 --target core_bench >/dev/null

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
python3 - "$out/native.json" "$out/frames.tsv" "$machine" <<'EOF'
# Prints the table: frame ticks against the floor, the native passes, the targets.
import json, sys

native_path, frames_path, machine = sys.argv[1:4]

frames = {}
for line in open(frames_path):
    f = line.rstrip("\n").split("\t")
    if len(f) != 11 or f[0] != "frame":
        continue
    size, path, flies, samples = f[1], f[2], int(f[3]), int(f[4])
    sim, acquire, paint, present, release, tick = map(float, f[5:11])
    frames[(size, path, flies)] = dict(samples=samples, sim=sim, compose=acquire + paint + release,
                                       present=present, tick=tick)

medians = {}
for b in json.load(open(native_path))["benchmarks"]:
    if b.get("aggregate_name") == "median":
        medians[b["run_name"]] = b

def native_ns(name):
    b = medians[name]
    scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[b["time_unit"]]
    return b["real_time"] * scale

print(f"Frame cost under Wine (medians of {max(v['samples'] for v in frames.values())} ticks each; "
      "floor measured in the same run)")
print("  compose: create, clear, draw and release the frame; present: SetWindowPos and UpdateLayeredWindow;")
print("  us/fly: what each fly adds to the floor's tick (from 50 flies on; one fly is within the noise)")
print(f"{'frame':>10} {'path':>9} {'flies':>5} {'sim ms':>8} {'compose ms':>10} {'present ms':>10} "
      f"{'tick ms':>8} {'x floor':>7} {'us/fly':>7}")
for size in sorted({k[0] for k in frames}, key=lambda s: int(s.split("x")[0])):
    floor = frames[(size, "floor", 0)]["tick"]
    for (s, path, flies), v in sorted(frames.items(), key=lambda kv: (["floor", "image", "fallback"].index(kv[0][1]), kv[0][2])):
        if s != size:
            continue
        # One fly's share is lost in the noise of the floor; from 50 on it shows.
        extra = f"{(v['tick'] - floor) * 1e3 / flies:7.1f}" if flies >= 50 else f"{'-':>7}"
        print(f"{size:>10} {path:>9} {flies if flies else '-':>5} {v['sim']:8.3f} {v['compose']:10.3f} "
              f"{v['present']:10.3f} {v['tick']:8.3f} {v['tick'] / floor:7.3f} {extra}")

print()
print("Native passes (medians of repeated runs)")
print(f"{'pass':>28} {'1920x1080 us':>13} {'3840x2160 us':>13} {'us / MP':>8} {'x memset':>9}")
passes = [("memset", "BM_memset"), ("memcpy", "BM_memcpy"),
          ("fix-up, fallback frame", "BM_fixup/fallback"), ("fix-up, random frame", "BM_fixup/random"),
          ("reference fix-up, fallback", "BM_fixup_reference/fallback"),
          ("reference fix-up, random", "BM_fixup_reference/random"),
          ("clear, zero frame", "BM_clear/zero"), ("clear, fallback frame", "BM_clear/fallback")]
for label, name in passes:
    row = []
    for w, h in ((1920, 1080), (3840, 2160)):
        key = f"{name}/{w}/{h}/manual_time"
        row.append(native_ns(key) / 1e3 if key in medians else float("nan"))
    memset_1080 = native_ns("BM_memset/1920/1080/manual_time") / 1e3
    print(f"{label:>28} {row[0]:13.1f} {row[1]:13.1f} {row[0] / 2.0736:8.1f} {row[0] / memset_1080:9.2f}")
per_fly = {n: native_ns(f"BM_swarm_tick/{n}") / n for n in (1, 50, 500)}
print(f"{'update_fly ns per fly':>28} " + "  ".join(f"{n} flies: {per_fly[n]:.1f}" for n in (1, 50, 500)))

print()
print("Targets")
def target(text, value, limit, unit=""):
    print(f"  {text:<58} {value:9.3f}{unit} <= {limit}{unit}  {'PASS' if value <= limit else 'MISS'}")
image = frames[("1920x1080", "image", 50)]["tick"] / frames[("1920x1080", "floor", 0)]["tick"]
target("image path, 50 flies, 1920x1080: tick / floor", image, 1.10)
fixup = native_ns("BM_fixup/fallback/1920/1080/manual_time") / native_ns("BM_memset/1920/1080/manual_time")
target("fallback fix-up pass / memset, 1920x1080 fallback frame", fixup, 1.5)
target("update_fly per fly (500 flies), ns", per_fly[500], 60)
target("500 flies simulated, ms", native_ns("BM_swarm_tick/500") / 1e6, 0.1)
print()
print(f"Machine: {machine}")
EOF
