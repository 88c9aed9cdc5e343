#!/usr/bin/python3
"""Writes a client folder of many small files, whose unpacking takes a few seconds under Wine:
long enough for a test to act while the installer is still unpacking.

    make_slow_client.py OUTDIR [FILES]

The same arguments always give the same bytes.
"""
import os
import random
import shutil
import sys

WORDS = ["tamro", "video", "room", "chat", "lobby", "gift", "voice", "camera", "friend", "skin"]


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 6000
    rng = random.Random(20261207)
    shutil.rmtree(out, ignore_errors=True)
    for i in range(count):
        folder = os.path.join(out, "res", f"pack{i % 40:02d}", f"set{i % 9}")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, f"item{i:05d}.txt"), "w") as item:
            item.write(" ".join(rng.choice(WORDS) for _ in range(40)))
    # The client program itself, so that a finished slow install is an ordinary one.
    os.makedirs(os.path.join(out, "tamro"), exist_ok=True)


if __name__ == "__main__":
    main()
