#!/usr/bin/env python3
"""The reader's sweep over large and extreme inputs, to run before a change to the reader lands.

Seeded mixed-content files (runs of zeros, short repeated patterns, incompressible stretches;
tests/sevenzip/mixed_content.py) of many sizes, each packed under install/data the way the
package build packs a client (LZMA2, 16 MB dictionary, solid, compressed header), and 250 MiB of
zeros and of a short pattern behind every method and filter chain. Each archive is extracted by
7zz (the oracle) and by un7z in both modes, and, when a 32-bit or 64-bit build tree with
extractdriver exists and Wine runs it, through ExtractPayload; every output must hash like the
source. Prints one line per failure and "N passed, M failed" last.

usage: sweep.py [--files N] [--first-seed S] [--min-mb A] [--max-mb B] [--no-extreme]
                [--no-wine] [--jobs J] [--verbose]
"""
import argparse
import concurrent.futures
import hashlib
import os
import random
import shutil
import subprocess
import sys
import tempfile
import threading

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
BUILD = os.environ.get("ORVIA_SWEEP_BUILD", os.path.join(ROOT, "build", "sweep"))
GENERATOR = os.path.join(ROOT, "tests", "sevenzip", "mixed_content.py")
PACKAGE_SETTINGS = ["-m0=LZMA2:d=16m", "-mhc=on", "-ms=on"]
EXTREME_CHAINS = {
    "lzma2": ["-m0=LZMA2:d=16m"],
    "lzma": ["-m0=LZMA:d=16m"],
    "delta-lzma2": ["-m0=Delta:4", "-m1=LZMA2:d=16m"],
    "bcj-lzma2": ["-m0=BCJ", "-m1=LZMA2:d=16m"],
    "arm64-lzma2": ["-m0=ARM64", "-m1=LZMA2:d=16m"],
    "bcj2": ["-mf=BCJ2"],
    "ppmd": ["-m0=PPMd:o=6:mem=16m"],
    "copy": ["-m0=Copy"],
}
EXTREME_SIZE = 250 << 20


def run(command, **kwargs):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, **kwargs)


def build_un7z():
    run(["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
         "-DORVIA_SANITIZE=OFF", "-DCMAKE_C_COMPILER=clang", "-DCMAKE_CXX_COMPILER=clang++"],
        check=True)
    run(["cmake", "--build", BUILD, "--target", "un7z"], check=True)
    return os.path.join(BUILD, "tools", "un7z", "un7z")


def file_hash(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


class WineDriver:
    """ExtractPayload through extractdriver, in a Wine session of its own."""

    def __init__(self):
        arch = subprocess.run([os.path.join(ROOT, "tools", "wine", "test-arch.sh")],
                              capture_output=True, text=True).stdout.strip()
        self.driver = os.path.join(ROOT, "build", arch, "tools", "extractdriver",
                                   "extractdriver.exe")
        self.session = tempfile.mkdtemp(prefix="sweep-wine-")
        self.arch = arch
        self.started = False

    def start(self):
        if not os.path.exists(self.driver):
            return False
        script = os.path.join(ROOT, "tools", "wine", "wine-session.sh")
        self.started = run([script, "start", self.session, self.arch], timeout=600).returncode == 0
        return self.started

    def extract(self, archive, folder):
        result = run([os.path.join(ROOT, "tools", "wine", "wine-run.sh"), "--session",
                      self.session, self.driver, "Z:" + archive, "Z:" + folder])
        return result.returncode

    def stop(self):
        if self.started:
            run([os.path.join(ROOT, "tools", "wine", "wine-session.sh"), "stop", self.session])
        shutil.rmtree(self.session, ignore_errors=True)


def check(name, work, source, archive, un7z, wine, lock):
    """Extracts `archive` every way; returns the failures as text lines."""
    expected = file_hash(source)
    relative = os.path.join("install", "data", os.path.basename(source))
    failures = []
    outputs = {
        "7zz": ["7zz", "x", "-y", "-bd", "-o" + os.path.join(work, "7zz"), archive],
        "un7z": [un7z, archive, os.path.join(work, "un7z")],
        "un7z --sequential": [un7z, "--sequential", archive, os.path.join(work, "sequential")],
    }
    for way, command in outputs.items():
        folder = os.path.join(work, way.split()[-1].strip("-"))
        code = run(command).returncode
        path = os.path.join(folder, relative)
        if code != 0 or not os.path.exists(path) or file_hash(path) != expected:
            size = os.path.getsize(path) if os.path.exists(path) else 0
            failures.append(f"{name}: {way} gave {code} after {size} bytes")
        shutil.rmtree(folder, ignore_errors=True)
    if wine is not None:
        folder = os.path.join(work, "payload")
        os.makedirs(folder)
        with lock:
            code = wine.extract(archive, folder)
        path = os.path.join(folder, os.path.basename(source))
        if code != 0 or not os.path.exists(path) or file_hash(path) != expected:
            failures.append(f"{name}: ExtractPayload gave {code}")
        shutil.rmtree(folder, ignore_errors=True)
    return failures


def pack(tree, archive, options):
    return run(["7zz", "a", "-t7z", "-mmt=1", "-bd", *options, archive, "install"],
               cwd=tree).returncode == 0


def mixed_case(seed, size, un7z, wine, lock):
    work = tempfile.mkdtemp(prefix=f"sweep-{seed}-")
    try:
        data = os.path.join(work, "src", "install", "data")
        os.makedirs(data)
        source = os.path.join(data, f"mixed-{seed}.bin")
        subprocess.run([sys.executable, GENERATOR, str(seed), str(size), source], check=True)
        archive = os.path.join(work, "a.7z")
        if not pack(os.path.join(work, "src"), archive, PACKAGE_SETTINGS):
            return [f"mixed seed {seed}: 7zz could not pack it"]
        return check(f"mixed seed {seed} ({size} bytes)", work, source, archive, un7z, wine, lock)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def extreme_case(content, chain, un7z, wine, lock):
    work = tempfile.mkdtemp(prefix=f"sweep-{content}-{chain}-")
    try:
        data = os.path.join(work, "src", "install", "data")
        os.makedirs(data)
        source = os.path.join(data, f"{content}.bin")
        subprocess.run([sys.executable, GENERATOR, "--" + content, str(EXTREME_SIZE), source],
                       check=True)
        archive = os.path.join(work, "a.7z")
        if not pack(os.path.join(work, "src"), archive, EXTREME_CHAINS[chain]):
            return [f"{content} {chain}: 7zz could not pack it"]
        return check(f"250 MiB of {content}, {chain}", work, source, archive, un7z, wine, lock)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--files", type=int, default=200)
    parser.add_argument("--first-seed", type=int, default=1)
    parser.add_argument("--min-mb", type=int, default=5)
    parser.add_argument("--max-mb", type=int, default=65)
    parser.add_argument("--no-extreme", action="store_true")
    parser.add_argument("--no-wine", action="store_true")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    parser.add_argument("--verbose", action="store_true", help="a line for every case passed")
    args = parser.parse_args()

    un7z = build_un7z()
    wine = None if args.no_wine else WineDriver()
    if wine is not None and not wine.start():
        print("sweep: no extractdriver build or Wine session; ExtractPayload is not checked")
        wine = None
    sizes = random.Random(args.first_seed)
    cases = []
    for seed in range(args.first_seed, args.first_seed + args.files):
        size = sizes.randrange(args.min_mb << 20, (args.max_mb << 20) + 1)
        cases.append((mixed_case, (seed, size)))
    if not args.no_extreme:
        for content in ("zeros", "pattern"):
            for chain in EXTREME_CHAINS:
                cases.append((extreme_case, (content, chain)))

    lock = threading.Lock()
    passed = failed = 0
    try:
        with concurrent.futures.ThreadPoolExecutor(args.jobs) as pool:
            futures = [pool.submit(f, *a, un7z, wine, lock) for f, a in cases]
            for future in concurrent.futures.as_completed(futures):
                failures = future.result()
                for line in failures:
                    print("FAIL", line, flush=True)
                if args.verbose and not failures:
                    print("ok", futures.index(future), flush=True)
                failed += 1 if failures else 0
                passed += 0 if failures else 1
    finally:
        if wine is not None:
            wine.stop()
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
