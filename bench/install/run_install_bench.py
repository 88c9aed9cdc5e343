#!/usr/bin/python3
"""Install benchmark: setup packages installed under Wine by a click on 极速安装, timed from the
click to the finish page.

    run_install_bench.py --build BUILD_TREE --source SOURCE_DIR --session SESSION_DIR
                         [--runs N] PACKAGE.exe [PACKAGE.exe ...]

BUILD_TREE is the Windows tree whose e2e tools (e2eprobe, skinshot, the installer's skin) drive
the window; SESSION_DIR a Wine session of tools/wine/wine-session.sh. Each package is
installed RUNS times (default 3) into the default folder, the packages taking turns, the folder
and everything else an installation leaves removed before each run. Prints each run's time,
the median per package and the load average before and after. Run with Debian's
/usr/bin/python3 (python3-pil); make the packages with tools/package.sh, for example from the
extraction benchmark's tree (bench/extract/make_payload.py) with a tamro/ folder added.
"""

import argparse
import os
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))

from installer_flow import InstallerEnv, edition_page, fast_page, finish_page  # noqa: E402

FINISH_TIMEOUT = 600.0


def install_once(env, package):
    folder = env.default_folder
    env.clean([folder])
    run = env.start(package)
    try:
        run.expect(edition_page(folder), "the edition page", timeout=60)
        run.click(edition_page(folder), "nextbtn")
        run.expect(fast_page(folder), "the fast install page")
        start = time.monotonic()
        run.click(fast_page(folder), "fastbtn")
        run.expect(finish_page(folder), "the finish page", timeout=FINISH_TIMEOUT, interval=0.1)
        return time.monotonic() - start
    finally:
        run.kill()
        env.clean([folder])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--session", required=True)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("packages", nargs="+")
    args = parser.parse_args()
    env = InstallerEnv(args.build, args.source, artifact_prefix="bench", session=args.session)
    times = {package: [] for package in args.packages}
    load_before = os.getloadavg()[0]
    try:
        for run in range(args.runs):
            for package in args.packages:
                seconds = install_once(env, env.session.windows_path(package))
                times[package].append(seconds)
                print("run %d %s: %.2f s" % (run + 1, package, seconds), flush=True)
    finally:
        env.close()
    print("load average: %.2f before, %.2f after" % (load_before, os.getloadavg()[0]))
    for package, values in times.items():
        print("%s: median %.2f s over %d runs" % (package, statistics.median(values), len(values)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
