#!/usr/bin/python3
"""Writes a small, valid SWF movie for the stand-in Flash control and the player's tests.

The movie has a background colour, the requested number of frames (each a ShowFrame tag) and
optional frame labels, one per frame from the first; it draws nothing itself, as the stand-in
draws its own picture. The stand-in reads the labels as the movie's behaviour (closesound,
fscommand-on-click, ...).

    make_swf.py OUT [--compressed] [--version N] [--size WxH] [--rate FPS] [--frames N]
                    [--label NAME]...
"""
import argparse
import struct
import zlib

TWIPS_PER_PIXEL = 20
TAG_END, TAG_SHOW_FRAME, TAG_SET_BACKGROUND_COLOR, TAG_FRAME_LABEL = 0, 1, 9, 43


def tag(code, body=b""):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


def rect(x_min, x_max, y_min, y_max):
    values = (x_min, x_max, y_min, y_max)
    # Signed fields: one bit more than the largest magnitude needs.
    bits = max(max(abs(v).bit_length() for v in values) + 1, 1)
    stream = format(bits, "05b") + "".join(format(v & (1 << bits) - 1, f"0{bits}b") for v in values)
    stream += "0" * (-len(stream) % 8)
    return int(stream, 2).to_bytes(len(stream) // 8, "big")


def movie(version, width, height, rate, frames, labels, background=(0, 0, 0)):
    body = rect(0, width * TWIPS_PER_PIXEL, 0, height * TWIPS_PER_PIXEL)
    body += struct.pack("<HH", round(rate * 256), frames)
    body += tag(TAG_SET_BACKGROUND_COLOR, bytes(background))
    for frame in range(frames):
        if frame < len(labels):
            body += tag(TAG_FRAME_LABEL, labels[frame].encode("ascii") + b"\0")
        body += tag(TAG_SHOW_FRAME)
    body += tag(TAG_END)
    return version, body


def write(path, version, body, compressed):
    length = 8 + len(body)
    signature = b"CWS" if compressed else b"FWS"
    payload = zlib.compress(body, 9) if compressed else body
    with open(path, "wb") as out:
        out.write(signature + bytes([version]) + struct.pack("<I", length) + payload)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--compressed", action="store_true", help="zlib-compressed (CWS)")
    parser.add_argument("--version", type=int, default=10)
    parser.add_argument("--size", default="300x200", help="frame size in pixels")
    parser.add_argument("--rate", type=float, default=24.0, help="frames a second")
    parser.add_argument("--frames", type=int, default=48)
    parser.add_argument("--label", action="append", default=[])
    args = parser.parse_args()
    width, height = (int(v) for v in args.size.split("x"))
    if len(args.label) > args.frames:
        parser.error("more labels than frames")
    version, body = movie(args.version, width, height, args.rate, args.frames, args.label)
    write(args.out, version, body, args.compressed)


if __name__ == "__main__":
    main()
