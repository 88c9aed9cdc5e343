#!/usr/bin/env python3
"""Extraction benchmark: un7z against 7-Zip on the generated payload.

Builds un7z without sanitizers (build/bench, Release), generates the payload once
(make_payload.py, into build/bench/payload), then extracts it RUNS times with each of: un7z
(blocks decoded on a second thread while the first writes), un7z --sequential (one thread) and
7zz x -mmt=1, into fresh folders, taking turns. Prints the load average before and after, each
median time, un7z's peak memory in both modes (never below the floor printed with it, this
script's own peak), the sequential mode's ratio and, as the last line, "ratio: X.XX" (un7z time
/ 7-Zip time; lower is better).

usage: run_bench.py [RUNS]
"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ.get("ORVIA_BENCH_BUILD", os.path.join(ROOT, "build", "bench"))


def build_un7z():
    subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DORVIA_SANITIZE=OFF", "-DCMAKE_C_COMPILER=clang",
                    "-DCMAKE_CXX_COMPILER=clang++"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD, "--target", "un7z"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(BUILD, "tools", "un7z", "un7z")


def payload():
    folder = os.path.join(BUILD, "payload")
    archive = os.path.join(folder, "payload.7z")
    if not os.path.exists(archive):
        subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "make_payload.py"),
                        folder], check=True)
    return archive


def timed(command):
    """Wall time and peak resident memory (KB) of one run."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed (%d): %s" % (os.waitstatus_to_exitcode(status), " ".join(command)))
    return elapsed, usage.ru_maxrss


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    un7z = build_un7z()
    archive = payload()
    # Into the page cache for all runs alike, a chunk at a time: a child's peak memory as the
    # kernel reports it includes this process's own peak when the child starts, so this process
    # must stay small.
    with open(archive, "rb") as f:
        while f.read(1 << 20):
            pass
    tools = {
        "un7z": lambda out: [un7z, archive, out],
        "un7z --sequential": lambda out: [un7z, "--sequential", archive, out],
        "7zz -mmt=1": lambda out: ["7zz", "x", "-mmt=1", "-y", "-o" + out, archive],
    }
    times = {name: [] for name in tools}
    peaks = {name: 0 for name in tools}
    load_before = os.getloadavg()[0]
    scratch = tempfile.mkdtemp(prefix="extract-bench-", dir=os.path.dirname(archive))
    try:
        for run in range(runs):
            for index, (name, command) in enumerate(tools.items()):
                out = os.path.join(scratch, "%d-%d" % (index, run))
                elapsed, rss = timed(command(out))
                times[name].append(elapsed)
                peaks[name] = max(peaks[name], rss)
                shutil.rmtree(out)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    medians = {name: statistics.median(values) for name, values in times.items()}
    print("archive: %s (%.1f MB)" % (archive, os.path.getsize(archive) / 2**20))
    print("load average: %.2f before, %.2f after" % (load_before, os.getloadavg()[0]))
    for name in tools:
        print("%s median: %.3f s over %d runs" % (name, medians[name], runs))
    floor = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    print("peak memory floor (this script's own peak): %.1f MB" % (floor / 1024))
    print("un7z peak memory: %.1f MB" % (peaks["un7z"] / 1024))
    print("un7z --sequential peak memory: %.1f MB" % (peaks["un7z --sequential"] / 1024))
    print("sequential ratio: %.2f" % (medians["un7z --sequential"] / medians["7zz -mmt=1"]))
    print("ratio: %.2f" % (medians["un7z"] / medians["7zz -mmt=1"]))


if __name__ == "__main__":
    main()
