#!/usr/bin/env python3
"""The table `make bench` ends with: the native build against its floor, the
Windows build under Wine, peak memory and a studio preview redraw, each with
its goal.

  bench_table.py --summary FILE --redraw-bench PROGRAM --wine-run SCRIPT --exe QZFFONT_EXE [--runs N]

FILE is what build_floor wrote (BENCH_SUMMARY). The Wine figures are wall
times with a wineserver kept running, as a player's second and later runs
have it: the program's start (`--version`) and a whole `build`.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

FACE = "Noto Sans CJK SC"


def wall(command, env=None):
    started = time.monotonic()
    r = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    return time.monotonic() - started if r.returncode == 0 else None


def wine_figures(wine_run, exe, runs):
    if not os.path.exists(exe):
        return None, None, f"no {exe} (make build-windows)"
    subprocess.run([wine_run, "wineserver", "-p"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    work = tempfile.mkdtemp(prefix="qzf-bench-wine-")
    out = "Z:" + os.path.join(work, "F_FONTJ.qzf").replace("/", "\\")
    build = [wine_run, exe, "build", "--face", FACE, "--out", out, "--quiet"]
    wall(build)  # the first run fills Wine's caches
    starts = [wall([wine_run, exe, "--version"]) for _ in range(runs)]
    builds = [wall(build) for _ in range(runs)]
    if None in starts or None in builds:
        return None, None, "the Windows build failed under Wine"
    return statistics.median(builds), statistics.median(starts), ""


def redraw_ms(program):
    """The studio benchmarks' times in ms by name (without the "/min_time" part)."""
    r = subprocess.run([program, "--benchmark_format=json"], capture_output=True, text=True)
    if r.returncode != 0:
        return {}
    times = {}
    for bench in json.loads(r.stdout)["benchmarks"]:
        scale = {"ms": 1, "us": 1e-3, "ns": 1e-6, "s": 1e3}[bench["time_unit"]]
        times[bench["name"].split("/")[0]] = bench["real_time"] * scale
    return times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--summary", required=True)
    parser.add_argument("--redraw-bench", required=True)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    figures = {}
    with open(args.summary) as f:
        for line in f:
            key, value = line.split()
            figures[key] = float(value)
    wine_build, wine_start, wine_note = wine_figures(args.wine_run, args.exe, args.runs)
    redraw = redraw_ms(args.redraw_bench)

    rows = []

    def row(what, value, goal, met):
        rows.append((what, value, goal, "" if met is None else ("met" if met else "MISSED")))

    row("native build, every core (wall)", f"{figures['build_wall']:.3f} s", "", None)
    row("native build on one thread (wall)", f"{figures['one_thread_wall']:.3f} s", "", None)
    row("floor: FreeType alone, one thread", f"{figures['floor']:.3f} s", "", None)
    row("build / floor", f"{figures['ratio']:.2f}", "<= 0.8", figures["ratio"] <= 0.8)
    if wine_build is None:
        row("qzffont.exe build under Wine (wall)", wine_note, "<= 0.8 s", None)
    else:
        row("qzffont.exe build under Wine (wall)", f"{wine_build:.3f} s", "<= 0.8 s", wine_build <= 0.8)
        row("  of it, the program's start under Wine", f"{wine_start:.3f} s", "", None)
    row("peak memory of a native build", f"{figures['peak_mib']:.1f} MiB", "< 64 MiB", figures["peak_mib"] < 64)
    studio_rows = (("BM_PreviewRedraw", "studio preview redraw (3 lines, 3 sizes)", 50),
                   ("BM_PreviewRedrawCentred", "  centred, a new weight per size", 50),
                   ("BM_PreviewRedrawCentredLook", "  centred, gamma/shift/baseline changed", 50),
                   ("BM_Fit", "studio fit button (3 sizes)", 500),
                   ("BM_FitAndRedraw", "  fit, then the centred preview redrawn", 500),
                   ("BM_FitAgain", "  a style fitted before, or measured ahead while the page was idle", 500))
    for name, what, goal in studio_rows:
        if name not in redraw:
            row(what, "did not run", f"<= {goal} ms", None)
        else:
            row(what, f"{redraw[name]:.1f} ms", f"<= {goal} ms", redraw[name] <= goal)

    print(f"\nSummary, median of {args.runs} runs (the window's Save under Wine is timed by the window test)")
    width = max(len(r[0]) for r in rows)
    for what, value, goal, verdict in rows:
        print(f"  {what:<{width}}  {value:>12}  {goal:>9}  {verdict}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
