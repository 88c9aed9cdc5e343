#!/usr/bin/env python3
"""Builds a reproducible stand-in for the installer payload and packs it like the real one.

The tree has the real payload's shape: 1733 files in 55 folders below install/data (plus a few
setup files outside it), about 127.5 MB, of which code-like binaries (x86-ish functions calling
each other, so that BCJ matters), text (resources, scripts, locales), already-compressed images
(incompressible) and many small files. The same seed always gives the same bytes.

usage: make_payload.py OUTDIR   -> OUTDIR/tree/... and OUTDIR/payload.7z
"""
import os
import random
import shutil
import subprocess
import sys

SEED = 20261207
MB = 1 << 20
FOLDERS = 55
FILES = 1733
# Bytes per kind; chosen so that the archive packs to about 40 MB.
TOTAL_BYTES = int(127.5 * MB)
BINARY_BYTES = 56 * MB
IMAGE_BYTES = 23 * MB
SMALL_FILES = 1500
SMALL_SIZES = (200, 15000)
SETUP_BYTES = 2000 + 30000 + 9000
# 7zz 26 puts all 127.5 MB into one block under plain -ms=on (its default block limit for
# a 16 MB dictionary is far larger), so a block size limit is added to get the two blocks.
SEVENZIP_OPTIONS = ["-t7z", "-m0=BCJ", "-m1=LZMA2:d=16m", "-ms=on", "-mhc=on", "-ms=100m"]


def folder_names(rng):
    """55 folders, every parent listed before its children."""
    names = ["install", "install/res", "install/data", "install/data/tamro", "install/data/res",
             "install/data/sites", "install/data/sites/tamr", "install/data/renew",
             "install/data/renew/sites", "install/data/renew/sites/tamr",
             "install/data/tamro/locales", "install/data/tamro/PepperFlash",
             "install/data/res/i18n", "install/data/res/i18n/hans", "install/data/res/i18n/hant"]
    subs = ["skin", "sound", "face", "plugins", "gift", "emotion", "theme", "room", "lobby",
            "config", "web", "image", "script"]
    while len(names) < FOLDERS:
        parent = rng.choice([n for n in names if n.startswith("install/data/")])
        name = parent + "/" + rng.choice(subs) + str(rng.randrange(100))
        if name not in names and name.count("/") < 7:
            names.append(name)
    return names


def make_functions(rng, count):
    # Instruction-like bytes: common opcodes, register bytes, small immediates.
    common = [0x8B, 0x89, 0x83, 0x85, 0x50, 0x51, 0x52, 0x53, 0x55, 0x56, 0x57, 0x5D, 0x5E,
              0x5F, 0xC3, 0x33, 0x3B, 0x74, 0x75, 0xEB, 0x8D, 0xFF, 0x0F, 0x6A, 0x68, 0xC7]
    functions = []
    for _ in range(count):
        body = bytearray([0x55, 0x8B, 0xEC])
        for _ in range(rng.randrange(15, 120)):
            body.append(rng.choice(common))
            body.append(rng.choice((0x45, 0x4D, 0x55, 0x5D, 0xC0, 0xC8, 0xF0, 0x08)))
            if rng.random() < 0.3:
                body.append(rng.randrange(0, 64))
        functions.append(bytes(body))
    return functions


def make_binary(rng, functions, size):
    out = bytearray()
    starts = []
    while len(out) < size:
        index = rng.randrange(len(functions))
        starts.append(len(out))
        out += functions[index]
        # A call to an earlier function (relative, as x86 code has it) closes most functions.
        if starts and rng.random() < 0.8:
            target = rng.choice(starts[-200:])
            relative = (target - (len(out) + 5)) & 0xFFFFFFFF
            out += bytes([0xE8]) + relative.to_bytes(4, "little")
        out.append(0xC3)
    return bytes(out[:size])


def make_text(rng, words, size):
    lines = []
    total = 0
    while total < size:
        line = " ".join(rng.choices(words, k=rng.randrange(4, 16)))
        if rng.random() < 0.3:
            line = "%s=%d;" % (line.replace(" ", "_"), rng.randrange(100000))
        lines.append(line)
        total += len(line) + 2
    return ("\r\n".join(lines)).encode()[:size]


def split(rng, total, count):
    weights = [rng.paretovariate(1.2) for _ in range(count)]
    scale = total / sum(weights)
    return [max(1, int(w * scale)) for w in weights]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = os.path.abspath(sys.argv[1])
    tree = os.path.join(out, "tree")
    shutil.rmtree(tree, ignore_errors=True)
    rng = random.Random(SEED)
    folders = folder_names(rng)
    words = ["".join(rng.choices("abcdefghijklmnopqrstuvwxyz", k=rng.randrange(2, 10)))
             for _ in range(3000)]
    functions = make_functions(rng, 3000)

    small_sizes = [rng.randrange(*SMALL_SIZES) for _ in range(SMALL_FILES)]
    text_bytes = TOTAL_BYTES - BINARY_BYTES - IMAGE_BYTES - sum(small_sizes) - SETUP_BYTES
    data_folders = [f for f in folders if f.startswith("install/data/")]
    large = FILES - SMALL_FILES - 3  # three setup files lie outside install/data
    kinds = ["binary"] * (large * 2 // 5) + ["text"] * (large * 2 // 5)
    kinds += ["image"] * (large - len(kinds))
    sizes = {"binary": iter(split(rng, BINARY_BYTES, kinds.count("binary"))),
             "text": iter(split(rng, text_bytes, kinds.count("text"))),
             "image": iter(split(rng, IMAGE_BYTES, kinds.count("image")))}
    extension = {"binary": ".dll", "text": ".xml", "image": ".png"}
    files = []
    for n, kind in enumerate(kinds):
        size = next(sizes[kind])
        if kind == "binary":
            data = make_binary(rng, functions, size)
        elif kind == "text":
            data = make_text(rng, words, size)
        else:
            data = rng.randbytes(size)
        files.append((rng.choice(data_folders) + "/f%04d%s" % (n, extension[kind]), data))
    for n, size in enumerate(small_sizes):
        data = make_text(rng, words, size) if n % 2 else make_binary(rng, functions, size)
        files.append((rng.choice(data_folders) + "/s%04d.dat" % n, data))
    files.append(("install/res/comskin.conf", make_text(rng, words, 2000)))
    files.append(("install/res/setup.png", rng.randbytes(30000)))
    files.append(("install/Licence.txt", make_text(rng, words, 9000)))
    assert len(files) == FILES

    for folder in folders:
        os.makedirs(os.path.join(tree, folder), exist_ok=True)
    for name, data in files:
        path = os.path.join(tree, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    archive = os.path.join(out, "payload.7z")
    if os.path.exists(archive):
        os.remove(archive)
    subprocess.run(["7zz", "a"] + SEVENZIP_OPTIONS + [archive, "install"], cwd=tree, check=True,
                   stdout=subprocess.DEVNULL)
    unpacked = sum(len(d) for _, d in files)
    print("%d files, %.1f MB unpacked, %.1f MB packed: %s" %
          (len(files), unpacked / MB, os.path.getsize(archive) / MB, archive))


if __name__ == "__main__":
    main()
