#!/usr/bin/python3
"""Times the text recording imports against pandas.read_csv (C engine) and
numpy.loadtxt on the same files, and prints the ratios.

Run by hand after building the benchmarks (not part of CI):
    /usr/bin/python3 bench/compare_import.py [build/bench/vk_bench]
It runs the BM_ImportText benchmarks first (they write the files into
VK_IMPORT_BENCH_DIR, default /tmp/vk-import-bench), then reads each file
with Debian's pandas and numpy (best of three runs; numpy one run). All times are
processor time. Needs python3-pandas.
"""
import json
import os
import subprocess
import sys
import time

import numpy
import pandas

FORMATS = {3: "ni", 4: "nashville", 5: "auckland", 6: "manchester"}
CHANNELS = 64


def ours(bench):
    out = subprocess.run([bench, "--benchmark_filter=BM_ImportText", "--benchmark_format=json",
                          "--benchmark_repetitions=3", "--benchmark_report_aggregates_only=true"],
                         check=True, capture_output=True, text=True).stdout
    times = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "mean":
            times[int(b["run_name"].split("format:")[1])] = b["cpu_time"] / 1000.0  # ms -> s
    return times


def best(fn, runs=3):
    # Processor time on both sides, so that other work on the machine does not count.
    t = []
    for _ in range(runs):
        start = time.process_time()
        fn()
        t.append(time.process_time() - start)
    return min(t)


def readers(fmt, path):
    if fmt == 5:  # one value per line after ten header lines
        return (lambda: pandas.read_csv(path, header=None, skiprows=10, engine="c").to_numpy(),
                lambda: numpy.loadtxt(path, skiprows=10))
    if fmt == 4:  # tab-separated values after three header lines
        return (lambda: pandas.read_csv(path, sep="\t", header=None, skiprows=3, engine="c").to_numpy(),
                lambda: numpy.loadtxt(path, skiprows=3, delimiter="\t"))
    # NI and Manchester: date and time fields, then the values
    cols = list(range(2, 2 + CHANNELS))
    return (lambda: pandas.read_csv(path, sep=r"\s+", header=None, skiprows=3, usecols=cols, engine="c").to_numpy(),
            lambda: numpy.loadtxt(path, skiprows=3, usecols=cols))


def main():
    bench = sys.argv[1] if len(sys.argv) > 1 else "build/bench/vk_bench"
    folder = os.environ.get("VK_IMPORT_BENCH_DIR", "/tmp/vk-import-bench")
    mine = ours(bench)
    print(f"{'format':<11}{'MB':>7}{'vorelkant s':>13}{'pandas s':>10}{'numpy s':>10}{'x pandas':>10}{'x numpy':>9}")
    for fmt, name in FORMATS.items():
        path = os.path.join(folder, name + ".txt")
        read_csv, loadtxt = readers(fmt, path)
        p, n = best(read_csv), best(loadtxt, runs=1)
        v = mine[fmt]
        mb = os.path.getsize(path) / 1e6
        print(f"{name:<11}{mb:>7.1f}{v:>13.3f}{p:>10.3f}{n:>10.3f}{p / v:>10.1f}{n / v:>9.1f}")


if __name__ == "__main__":
    main()
