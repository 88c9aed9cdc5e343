#!/usr/bin/env python3
"""Extraction benchmark: un7z against 7-Zip on a payload of real files of this machine.

Builds un7z without sanitizers (build/bench, Release), makes the payload once (make_payload.py,
into build/bench/payload: the 2-block archive payload.7z and the package layout package.7z),
then extracts each archive RUNS times with each of: un7z (blocks side by side, one thread per
block up to the core count), un7z --threads 1 (one block at a time, decoded on a second thread
while the first writes), 7zz x -mmt=1 and 7zz x (all threads), into fresh folders, taking
turns. Prints the load average before and after, every median time and peak memory (never
below the floor printed with them, this script's own peak), each archive's ratios against
both 7-Zip runs and, as the last line, "ratio: X.XX" (un7z / 7zz x -mmt=1 on payload.7z; lower
is better).

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
ARCHIVES = ["payload.7z", "package.7z"]


def build_un7z():
    subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                    "-DORVIA_SANITIZE=OFF", "-DCMAKE_C_COMPILER=clang",
                    "-DCMAKE_CXX_COMPILER=clang++"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD, "--target", "un7z"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(BUILD, "tools", "un7z", "un7z")


def payload():
    folder = os.path.join(BUILD, "payload")
    if not all(os.path.exists(os.path.join(folder, name)) for name in ARCHIVES):
        subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "make_payload.py"),
                        folder], check=True)
    return folder


def timed(command):
    """Wall time, processor time (user + system) and peak resident memory (KB) of one run."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("failed (%d): %s" % (os.waitstatus_to_exitcode(status), " ".join(command)))
    return elapsed, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def main():
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    un7z = build_un7z()
    folder = payload()
    # Into the page cache for all runs alike, a chunk at a time: a child's peak memory as the
    # kernel reports it includes this process's own peak when the child starts, so this process
    # must stay small.
    for name in ARCHIVES:
        with open(os.path.join(folder, name), "rb") as f:
            while f.read(1 << 20):
                pass
    tools = {
        "un7z": lambda archive, out: [un7z, archive, out],
        "un7z --threads 1": lambda archive, out: [un7z, "--threads", "1", archive, out],
        "7zz x -mmt=1": lambda archive, out: ["7zz", "x", "-mmt=1", "-y", "-o" + out, archive],
        "7zz x": lambda archive, out: ["7zz", "x", "-y", "-o" + out, archive],
    }
    times = {(a, t): [] for a in ARCHIVES for t in tools}
    cpu = {(a, t): [] for a in ARCHIVES for t in tools}
    peaks = {(a, t): 0 for a in ARCHIVES for t in tools}
    load_before = os.getloadavg()[0]
    scratch = tempfile.mkdtemp(prefix="extract-bench-", dir=folder)
    try:
        for run in range(runs):
            for archive in ARCHIVES:
                for index, (name, command) in enumerate(tools.items()):
                    out = os.path.join(scratch, "%d-%d" % (index, run))
                    elapsed, used, rss = timed(command(os.path.join(folder, archive), out))
                    times[archive, name].append(elapsed)
                    cpu[archive, name].append(used)
                    peaks[archive, name] = max(peaks[archive, name], rss)
                    shutil.rmtree(out)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    medians = {key: statistics.median(values) for key, values in times.items()}
    print("load average: %.2f before, %.2f after; %d runs each" %
          (load_before, os.getloadavg()[0], runs))
    floor = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
    print("peak memory floor (this script's own peak): %.1f MB" % (floor / 1024))
    for archive in ARCHIVES:
        path = os.path.join(folder, archive)
        print("%s (%.1f MB):" % (archive, os.path.getsize(path) / 2**20))
        for name in tools:
            print("  %-17s median %.3f s (processor %.3f s), peak %.1f MB" %
                  (name, medians[archive, name], statistics.median(cpu[archive, name]),
                   peaks[archive, name] / 1024))
        for name in ("un7z", "un7z --threads 1"):
            print("  %s ratio: %.2f against 7zz x -mmt=1, %.2f against 7zz x" %
                  (name, medians[archive, name] / medians[archive, "7zz x -mmt=1"],
                   medians[archive, name] / medians[archive, "7zz x"]))
    print("package layout / 2-block un7z time: %.2f" %
          (medians["package.7z", "un7z"] / medians["payload.7z", "un7z"]))
    print("ratio: %.2f" % (medians["payload.7z", "un7z"] / medians["payload.7z", "7zz x -mmt=1"]))


if __name__ == "__main__":
    main()
