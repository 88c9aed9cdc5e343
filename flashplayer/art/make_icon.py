#!/usr/bin/python3
"""Draws the player's application icon, flashplayer/orvflash.ico: a red disc with a white
play triangle, at 16, 24, 32 and 48 pixels.

    /usr/bin/python3 flashplayer/art/make_icon.py flashplayer/orvflash.ico
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                "art"))

from skinart import save_icon, smooth  # noqa: E402

SIZES = (16, 24, 32, 48)
# Each size is drawn on its own, finer than the skins' images: a small icon's edges show.
SUPERSAMPLE = 8


def draw(size):
    def paint(pen, s):
        big = size * s
        margin = big // 16
        pen.ellipse((margin, margin, big - margin, big - margin), fill=(200, 32, 40, 255))
        inner = big // 8
        pen.ellipse((inner, inner, big - inner, big - inner), fill=(232, 58, 52, 255))
        # The triangle's centre of mass sits at the disc's centre.
        left, right = big * 0.38, big * 0.74
        pen.polygon([(left, big * 0.28), (left, big * 0.72), (right, big * 0.5)],
                    fill=(255, 255, 255, 255))
    return smooth((size, size), paint, SUPERSAMPLE)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "orvflash.ico"
    save_icon(out, draw(max(SIZES)), SIZES, [draw(s) for s in SIZES if s != max(SIZES)])


if __name__ == "__main__":
    main()
