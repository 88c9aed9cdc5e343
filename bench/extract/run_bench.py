#!/usr/bin/env python3
"""Extraction benchmark: un7z against 7-Zip on the generated payload.

Builds un7z without sanitizers (build/bench, Release), generates the payload once
(make_payload.py, into build/bench/payload), then extracts it RUNS times with each tool into
fresh folders, alternating the tools, and prints both median times, un7z's peak memory and, as
the last line, "ratio: X.XX" (un7z time / 7-Zip time; lower is better).

usage: run_bench.py [RUNS]
"""
import os
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
    with open(archive, "rb") as f:  # into the page cache for both tools alike
        f.read()
    ours, theirs, peak = [], [], 0
    scratch = tempfile.mkdtemp(prefix="extract-bench-", dir=os.path.dirname(archive))
    try:
        for run in range(runs):
            out = os.path.join(scratch, "ours%d" % run)
            elapsed, rss = timed([un7z, archive, out])
            ours.append(elapsed)
            peak = max(peak, rss)
            shutil.rmtree(out)
            out = os.path.join(scratch, "7zz%d" % run)
            theirs.append(timed(["7zz", "x", "-mmt=1", "-y", "-o" + out, archive])[0])
            shutil.rmtree(out)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    ours_median = statistics.median(ours)
    theirs_median = statistics.median(theirs)
    print("archive: %s (%.1f MB)" % (archive, os.path.getsize(archive) / 2**20))
    print("un7z median: %.3f s over %d runs" % (ours_median, runs))
    print("7zz -mmt=1 median: %.3f s over %d runs" % (theirs_median, runs))
    print("un7z peak memory: %.1f MB" % (peak / 1024))
    print("ratio: %.2f" % (ours_median / theirs_median))


if __name__ == "__main__":
    main()
