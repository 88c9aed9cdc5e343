#!/usr/bin/env python3
"""Builds the benchmark payload from real files of this machine and packs it in two layouts.

The tree has the real payload's shape: 1733 files in 55 folders below install/data (plus three
setup files outside it), about 127.5 MB: stripped executables and shared libraries (Windows DLLs
and programs from Wine's 32-bit tree, ELF programs and libraries), text (C headers, Python
sources, package documentation) and already-compressed files (gzip, PNG, JPEG, zip, xz). The
candidates are every such file below a few system folders, in name order; a fixed seed picks
from them, so the same machine always gives the same bytes.

Archives (in OUTDIR):
  payload.7z    BCJ + LZMA2:d=16m over everything in two solid blocks of about equal size
                (-ms=65m): the layout the targets were first measured on
  package.7z    the layout tools/pack-payload.sh writes (see PACK_OPTIONS there)
  single.7z     the package layout's methods in one solid block, for the size comparison

usage: make_payload.py OUTDIR   -> OUTDIR/tree/... and the archives
"""
import os
import random
import re
import shutil
import subprocess
import sys

SEED = 20261208
MB = 1 << 20
FOLDERS = 55
FILES = 1733
EXECUTABLE_BYTES = int(56 * MB)
COMPRESSED_BYTES = int(23 * MB)
TEXT_BYTES = int(48.5 * MB)
SETUP_FILES = 3
MAX_NAME = 40
ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

KINDS = {
    "executable": {
        "folders": ["/usr/lib/i386-linux-gnu/wine", "/usr/bin", "/usr/lib/x86_64-linux-gnu"],
        "sizes": (20 * 1024, 6 * MB),
        "match": lambda path, head: head.startswith(b"\x7fELF") or head.startswith(b"MZ"),
    },
    "compressed": {
        "folders": ["/usr/share", "/usr/lib/python3", "/usr/lib/jvm", "/opt"],
        "sizes": (8 * 1024, 3 * MB),
        "match": lambda path, head: re.search(r"\.(gz|png|jpg|jpeg|xz|zip|jar|bz2|whl)$", path)
        is not None,
    },
    "text": {
        "folders": ["/usr/include", "/usr/lib/python3", "/usr/lib/python3.11", "/usr/share"],
        "sizes": (200, MB),
        "match": lambda path, head: re.search(
            r"\.(h|hpp|c|py|txt|pm|html|xml|js|css|json|md|rst|po)$|/copyright$", path)
        is not None
        and b"\0" not in head,
    },
}


def candidates(kind):
    """Regular files of the kind, in name order (links left out, so no file comes twice)."""
    spec = KINDS[kind]
    found = []
    for top in spec["folders"]:
        for folder, subfolders, names in os.walk(top):
            subfolders.sort()
            for name in sorted(names):
                path = os.path.join(folder, name)
                if os.path.islink(path) or not os.path.isfile(path):
                    continue
                size = os.path.getsize(path)
                if not spec["sizes"][0] <= size <= spec["sizes"][1]:
                    continue
                try:
                    with open(path, "rb") as f:
                        head = f.read(512)
                except OSError:
                    continue
                if spec["match"](path, head):
                    found.append((path, size))
    return sorted(set(found))


def windows_name(path, n):
    """A file name Windows accepts, short enough that the deepest folder below a long install
    folder stays within MAX_PATH: "NNNN-" and the file's own name, characters Windows refuses
    (Perl's "::" among them) replaced."""
    base = re.sub(r'[<>:"\\|?*\x00-\x1f]', "_", os.path.basename(path))
    stem, dot, extension = base.rpartition(".")
    if len(base) > MAX_NAME:
        base = (stem[:MAX_NAME - len(extension) - 1] + "." + extension) if dot else base[:MAX_NAME]
    return "%04d-%s" % (n, base)


def pick(rng, pool, total_bytes, count=None):
    """Files from the pool in a random order until the bytes are reached; with a count, files
    near the size still needed per file, so that both come out about right."""
    pool = list(pool)
    rng.shuffle(pool)
    chosen, total = [], 0
    for path, size in pool:
        if count is None:
            if total >= total_bytes:
                break
        else:
            if len(chosen) == count:
                break
            left = max(total_bytes - total, 0)
            if size > left or size < left / (count - len(chosen)) / 4:
                continue
        chosen.append(path)
        total += size
    return chosen


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


def pack_options():
    """The options tools/pack-payload.sh passes to 7zz."""
    with open(os.path.join(ROOT, "tools", "pack-payload.sh")) as f:
        match = re.search(r"^PACK_OPTIONS=\((.*)\)$", f.read(), re.M)
    return match.group(1).split()


def pack(tree, archive, options):
    if os.path.exists(archive):
        os.remove(archive)
    subprocess.run(["7zz", "a", "-t7z"] + options + ["-bd", "-bso0", "-bsp0", archive, "install"],
                   cwd=tree, check=True)


def blocks(archive):
    listing = subprocess.run(["7zz", "l", "-slt", archive], check=True, capture_output=True,
                             text=True).stdout
    return int(re.search(r"^Blocks = (\d+)$", listing, re.M).group(1))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = os.path.abspath(sys.argv[1])
    tree = os.path.join(out, "tree")
    shutil.rmtree(tree, ignore_errors=True)
    rng = random.Random(SEED)
    folders = folder_names(rng)
    data_folders = [f for f in folders if f.startswith("install/data/")]
    executables = pick(rng, candidates("executable"), EXECUTABLE_BYTES)
    compressed = pick(rng, candidates("compressed"), COMPRESSED_BYTES)
    text_count = FILES - SETUP_FILES - len(executables) - len(compressed)
    text = pick(rng, candidates("text"), TEXT_BYTES, text_count + SETUP_FILES)
    files = []
    for n, path in enumerate(executables + compressed + text[SETUP_FILES:]):
        files.append((rng.choice(data_folders) + "/" + windows_name(path, n), path))
    for name, path in zip(["install/res/comskin.conf", "install/res/setup.txt",
                           "install/Licence.txt"], text[:SETUP_FILES]):
        files.append((name, path))
    if len(files) != FILES:
        sys.exit("only %d files found of %d" % (len(files), FILES))

    for folder in folders:
        os.makedirs(os.path.join(tree, folder), exist_ok=True)
    for name, path in files:
        shutil.copyfile(path, os.path.join(tree, name))
    unpacked = sum(os.path.getsize(path) for _, path in files)
    print("%d files (%d executables, %d compressed, %d text), %.1f MB" %
          (len(files), len(executables), len(compressed), len(text), unpacked / MB))
    layouts = {
        "payload.7z": ["-m0=BCJ", "-m1=LZMA2:d=16m", "-mhc=on", "-ms=65m"],
        "package.7z": pack_options(),
        "single.7z": [o for o in pack_options() if not re.match(r"-ms=\d", o)] + ["-ms=on"],
    }
    for name, options in layouts.items():
        archive = os.path.join(out, name)
        pack(tree, archive, options)
        print("%s: %d bytes, %d blocks (%s)" %
              (name, os.path.getsize(archive), blocks(archive), " ".join(options)))


if __name__ == "__main__":
    main()
