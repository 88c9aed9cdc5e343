#!/usr/bin/env python3
"""Writes the test GIFs byte by byte, so every frame's rectangle, disposal, delay and
transparency is exactly what the tests expect (image libraries re-optimise frames).

    python3 tests/skinui/resources/make_gifs.py OUT_DIR
"""
import struct
import sys
from pathlib import Path

# Palette index: 0 transparent slot, 1 red, 2 blue, 3 green.
PALETTE = [(0, 0, 0), (255, 0, 0), (0, 0, 255), (0, 160, 0)]


def lzw(indices):
    """Literal codes only, with a clear code before the table would widen the codes."""
    clear, end, size = 4, 5, 3
    codes = []
    for i in range(0, len(indices), 2):
        codes.append(clear)
        codes.extend(indices[i:i + 2])
    codes.append(end)
    bits = 0
    count = 0
    out = bytearray()
    for code in codes:
        bits |= code << count
        count += size
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    blocks = bytearray([2])
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\0")


def frame(x, y, w, h, index, delay_ms, disposal, transparent=None, pixels=None):
    flags = (disposal << 2) | (1 if transparent is not None else 0)
    gce = b"\x21\xF9\x04" + struct.pack("<BHB", flags, delay_ms // 10, transparent or 0) + b"\0"
    descriptor = b"\x2C" + struct.pack("<HHHHB", x, y, w, h, 0)
    return gce + descriptor + lzw(pixels if pixels is not None else [index] * (w * h))


def gif(width, height, frames, background=0):
    head = b"GIF89a" + struct.pack("<HHBBB", width, height, 0xF1, background, 0)
    palette = b"".join(bytes(c) for c in PALETTE)
    loop = b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    return head + palette + loop + b"".join(frames) + b"\x3B"


def main(out):
    out = Path(out)
    out.mkdir(parents=True, exist_ok=True)
    # Restore to background: the blue square is cleared to transparent before the green frame.
    (out / "dispose-background.gif").write_bytes(gif(8, 8, [
        frame(0, 0, 8, 8, 1, 100, 1),
        frame(2, 2, 4, 4, 2, 200, 2),
        frame(0, 0, 2, 2, 3, 300, 1),
    ], background=1))
    # Restore to previous: the red canvas comes back under the green frame.
    (out / "dispose-previous.gif").write_bytes(gif(8, 8, [
        frame(0, 0, 8, 8, 1, 100, 1),
        frame(2, 2, 4, 4, 2, 200, 3),
        frame(0, 0, 2, 2, 3, 300, 1),
    ]))
    # A transparent index leaves the frame before showing through, and an undrawn first frame
    # area stays transparent.
    (out / "transparent.gif").write_bytes(gif(8, 8, [
        frame(0, 0, 4, 8, 1, 50, 1),
        frame(0, 0, 8, 8, 0, 50, 1, transparent=0, pixels=[0] * 32 + [2] * 32),
    ], background=3))
    # The animation the window tests play: two full frames, red for 100 ms, blue for 300 ms.
    (out / "two-frames.gif").write_bytes(gif(40, 30, [
        frame(0, 0, 40, 30, 1, 100, 1),
        frame(0, 0, 40, 30, 2, 300, 1),
    ]))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent / "gifs")
