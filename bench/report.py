#!/usr/bin/env python3
# The table of scripts/bench.sh: frame ticks under Wine against the floor, the native passes and
# the targets. Arguments: core_bench's JSON, frame_bench's TSV output and a line on the machine.
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
