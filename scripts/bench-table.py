#!/usr/bin/env python3
"""bench-table.py OUT: prints the one table of `make bench` from the figures scripts/bench.sh
left in OUT (Google Benchmark and hyperfine JSON, memory.txt), as Markdown, and writes
OUT/plot.dat for scripts/bench-plot.sh. Only the standard library."""

import json
import math
import os
import sys

SIZES = [1000, 10000, 100000, 1000000]
OUT = sys.argv[1]


def load(name):
    path = os.path.join(OUT, name)
    if not os.path.exists(path):
        return None
    with open(path) as f:
        return json.load(f)


def google(name):
    """{(family, folders): benchmark} of one Google Benchmark export; times in ms."""
    found = {}
    data = load(name) or {"benchmarks": []}
    for b in data["benchmarks"]:
        parts = b["name"].split("/")
        if b.get("error_occurred") or b.get("run_type", "iteration") != "iteration":
            continue
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        b["ms"] = b["real_time"] * scale
        found[(parts[0], int(parts[1]))] = b
    return found


def hyperfine(kind):
    """{(command, folders): result} of the hyperfine exports of one kind; times in s."""
    found = {}
    for n in SIZES:
        data = load(f"{kind}-{n}.json")
        for r in (data or {"results": []})["results"]:
            found[(r["command"], n)] = r
    return found


engine = google("engine.json")
engine.update(google("add.json"))
listing = hyperfine("list")
renaming = hyperfine("rename")
memory = {}  # (kind, folders) -> (peak kB, seconds)
if os.path.exists(os.path.join(OUT, "memory.txt")):
    with open(os.path.join(OUT, "memory.txt")) as f:
        for line in f:
            kind, n, peak, seconds = line.split()
            memory[(kind, int(n))] = (int(peak), float(seconds))


def seconds(results, command, n, one_run):
    r = results.get((command, n))
    if r is not None:
        return f"{r['mean']:.3f} ± {r['stddev']:.3f}"
    if (one_run, n) in memory:
        return f"{memory[(one_run, n)][1]:.2f} (1 run)"
    return ""


def ratio(a, b):
    """a / b with hyperfine's error propagation, or None."""
    if a is None or b is None:
        return None
    r = a["mean"] / b["mean"]
    error = r * math.sqrt((a["stddev"] / a["mean"]) ** 2 + (b["stddev"] / b["mean"]) ** 2)
    return r, error


def show_ratio(value):
    return "" if value is None else f"{value[0]:.2f} ± {value[1]:.2f}"


def per_row(kind, n):
    if (kind, n) not in memory or (kind, 0) not in memory:
        return None
    return (memory[(kind, n)][0] - memory[(kind, 0)][0]) * 1024 / (n + 1)


rows = []  # (figure, [per size], growth, target, met)


def verdict(ok):
    return "" if ok is None else ("yes" if ok else "**no**")


def whole(label, results, command, one_run=None):
    rows.append((label, [seconds(results, command, n, one_run) for n in SIZES], "", "", ""))


whole("`find TREE -type d` (s)", listing, "find", "find")
whole("`trellisane-cli` listing (s)", listing, "trellisane-cli", "list")
r = [ratio(listing.get(("trellisane-cli", n)), listing.get(("find", n))) for n in SIZES]
ok = None if r[2] is None else r[2][0] - r[2][1] <= 0.9
rows.append(("listing ÷ find", [show_ratio(x) for x in r], "", "≤ 0.9 at 100k", verdict(ok)))
whole("floor: `find -depth` + renameat2 loop (s)", renaming, "floor")
whole("`trellisane-cli --apply` (s)", renaming, "trellisane-cli", "apply")
whole("perl `rename` via `xargs -0` (s)", renaming, "perl-rename")
whole("floor by descriptor: `find -depth` + renameat2 loop in each parent (s)", renaming,
      "floor-dirfd")
r = [ratio(renaming.get(("trellisane-cli", n)), renaming.get(("floor", n))) for n in SIZES]
ok = None if r[2] is None else r[2][0] - r[2][1] <= 1.0
rows.append(("--apply ÷ floor", [show_ratio(x) for x in r], "", "≤ 1.0 at 100k", verdict(ok)))
r = [ratio(renaming.get(("floor-dirfd", n)), renaming.get(("floor", n))) for n in SIZES]
rows.append(("floor by descriptor ÷ floor", [show_ratio(x) for x in r], "", "", ""))
r = [ratio(renaming.get(("perl-rename", n)), renaming.get(("trellisane-cli", n))) for n in SIZES]
ok = None if r[2] is None else r[2][0] >= 3.0
rows.append(("perl rename ÷ --apply", [show_ratio(x) for x in r], "", "≥ 3 at 100k",
             verdict(ok)))

plot = {n: {} for n in SIZES}
for family, label in [("BM_Walk", "walk"), ("BM_Sort", "sort"), ("BM_Preview", "preview pass"),
                      ("BM_Carry", "carrying paths"), ("BM_RenamePass", "rename pass on disk")]:
    cells = []
    for n in SIZES:
        b = engine.get((family, n))
        cells.append("" if b is None else f"{b['ms']:.1f}")
        plot[n][family] = None if b is None else b["ms"]
    small, large = engine.get((family, 100000)), engine.get((family, 1000000))
    growth = None if small is None or large is None else large["ms"] / small["ms"]
    target, ok = ("", None)
    if family != "BM_Carry":
        target, ok = "growth ≤ 11x", None if growth is None else growth <= 11
    if family == "BM_Preview":
        target = "< 1000 ms at 1M, growth ≤ 11x"
        ok = None if large is None else ok and large["ms"] < 1000
    rows.append((f"{label}, in process (ms)", cells,
                 "" if growth is None else f"{growth:.1f}x", target, verdict(ok)))

add = engine.get(("BM_WindowAdd", 100000))
cells = ["", "", "" if add is None else f"{add['ms']:.0f}", ""]
rows.append(("window: add with sub-folders (ms)", cells, "", "", ""))
stall = None if add is None else add.get("longest_stall_ms")
cells = ["", "", "" if stall is None else f"{stall:.0f}", ""]
rows.append(("window: longest event-loop stall in the add (ms)", cells, "", "≤ 50",
             verdict(None if stall is None else stall <= 50)))

run = engine.get(("BM_WindowStartRenaming", 100000))
cells = ["", "", "" if run is None else f"{run['ms']:.0f}", ""]
rows.append(("window: Start Renaming (ms)", cells, "", "", ""))
stall = None if run is None else run.get("longest_stall_ms")
cells = ["", "", "" if stall is None else f"{stall:.0f}", ""]
rows.append(("window: longest event-loop stall in Start Renaming (ms)", cells, "", "≤ 100",
             verdict(None if stall is None else stall <= 100)))

# bench_plan: "variant operation... rows plan-ms cpu-ms kernel-ms cpu-us/row renamed wrong"
plan_cpu = None
if os.path.exists(os.path.join(OUT, "plan.txt")):
    with open(os.path.join(OUT, "plan.txt")) as f:
        for line in f:
            if line.startswith("nested") and "Add x to end" in line:
                plan_cpu = float(line.split()[-5])
                break
cells = ["", "", "" if plan_cpu is None else f"{plan_cpu:.0f}", ""]
rows.append(("planning, every row renamed, processor time (ms)", cells, "", "≤ 300",
             verdict(None if plan_cpu is None else plan_cpu <= 300)))

# bench/window_million.py: the real window adding 1,000,000 folders under Xvfb.
window = load("window.json") if os.path.exists(os.path.join(OUT, "window.json")) else None
listed = memory.get(("list", 1000000))
if window is not None:
    settled = window["settled_s"]
    ratio_text = "" if listed is None else f" ({settled / listed[1]:.2f} × the companion's listing)"
    rows.append(("window, 1M under Xvfb: seconds until the list holds every row",
                 ["", "", "", f"{settled:.1f}{ratio_text}"], "", "≤ 2 × the companion's",
                 verdict(None if listed is None else settled <= 2 * listed[1])))
    rows.append(("window, 1M under Xvfb: longest wait for an answer to _NET_WM_PING (ms)",
                 ["", "", "", f"{window['max_stall_ms']:.0f} ({window['stalls_over_50ms']} over 50)"],
                 "", "≤ 50", verdict(window["max_stall_ms"] <= 50)))
    rows.append(("window, 1M under Xvfb: resident once settled (MB; peak)",
                 ["", "", "", f"{window['rss_settled_mb']} ({window['hwm_mb']})"], "", "< 1,024",
                 verdict(window["rss_settled_mb"] < 1024)))

for kind, label in [("list", "listing"), ("apply", "--apply")]:
    values = [per_row(kind, n) for n in SIZES]
    cells = ["" if v is None else f"{v:.0f}" for v in values]
    known = [v for v in values if v is not None]
    rows.append((f"{label}: peak memory per row (bytes)", cells, "", "≤ 300",
                 verdict(None if not known else max(known) <= 300)))

print("| Figure | 1,000 | 10,000 | 100,000 | 1,000,000 | 100k → 1M | Target | Met |")
print("|---|--:|--:|--:|--:|--:|---|---|")
for label, cells, growth, target, met in rows:
    print(f"| {label} | " + " | ".join(cells) + f" | {growth} | {target} | {met} |")

# Time against folder count, for the plot: "?" where a figure is missing.
def cell(value):
    return "?" if value is None else f"{value:.6g}"


with open(os.path.join(OUT, "plot.dat"), "w") as f:
    f.write("# folders find list floor apply perl walk sort preview carry renamepass"
            " (whole-process in s, in-process in ms)\n")
    for n in SIZES:
        def mean(results, command, one_run=None):
            # hyperfine's mean, else the single timed run of the memory figures (1,000,000)
            r = results.get((command, n))
            if r is not None:
                return r["mean"]
            return memory[(one_run, n)][1] if (one_run, n) in memory else None

        values = [mean(listing, "find", "find"), mean(listing, "trellisane-cli", "list"),
                  mean(renaming, "floor"), mean(renaming, "trellisane-cli", "apply"),
                  mean(renaming, "perl-rename")]
        values += [plot[n].get(k) for k in
                   ["BM_Walk", "BM_Sort", "BM_Preview", "BM_Carry", "BM_RenamePass"]]
        f.write(f"{n} " + " ".join(cell(v) for v in values) + "\n")
