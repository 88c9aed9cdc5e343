#!/usr/bin/env python3
"""Writes a file of mixed content made from a seed: runs of zeros, short repeated patterns and
incompressible stretches, of lengths from a few bytes to several megabytes. Such files give the
LZMA coders extreme ratios side by side, with matches and chunks ending anywhere.

usage: mixed_content.py SEED SIZE OUTPUT
       mixed_content.py --zeros SIZE OUTPUT | --pattern SIZE OUTPUT
"""
import random
import sys

WRITE_UNIT = 1 << 20


def mixed_pieces(seed, size):
    rnd = random.Random(seed)
    left = size
    while left > 0:
        scale = rnd.choice((1 << 12, 1 << 20, 8 << 20))
        n = min(left, rnd.randrange(1, scale + 1))
        kind = rnd.randrange(3)
        if kind == 0:
            yield from repeated(b"\0", n)
        elif kind == 1:
            yield from repeated(rnd.randbytes(rnd.randrange(1, 17)), n)
        else:
            while n > 0:
                k = min(n, WRITE_UNIT)
                yield rnd.randbytes(k)
                n -= k
                left -= k
            continue
        left -= n


def repeated(pattern, n):
    unit = pattern * (WRITE_UNIT // len(pattern) + 1)
    while n > 0:
        k = min(n, WRITE_UNIT)
        yield unit[:k]
        n -= k
        # Keep the pattern's phase across pieces.
        shift = k % len(pattern)
        pattern = pattern[shift:] + pattern[:shift]
        unit = pattern * (WRITE_UNIT // len(pattern) + 1)


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    size = int(argv[2])
    if argv[1] == "--zeros":
        pieces = repeated(b"\0", size)
    elif argv[1] == "--pattern":
        pieces = repeated(b"Tamro\x01\x02", size)
    else:
        pieces = mixed_pieces(int(argv[1]), size)
    with open(argv[3], "wb") as out:
        for piece in pieces:
            out.write(piece)


if __name__ == "__main__":
    main(sys.argv)
