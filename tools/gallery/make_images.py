#!/usr/bin/python3
"""Draws the control gallery's skin images (tools/gallery/skin/*.png and anim.gif).

    /usr/bin/python3 tools/gallery/make_images.py

The output is committed; the tree view tests render the gallery's tree.xml and compare it with a
reference, so run this again only together with a new reference. Deterministic: the same script
gives the same bytes. Needs Debian's python3-pil.
"""

import math
import os
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "art"))

from skinart import (BLUE, BLUE_HOT, BLUE_PUSHED, WHITE, rgba, save, smooth,  # noqa: E402
                     strip)

SKIN = os.path.join(HERE, "skin")
GREY = (120, 128, 140)
LIGHT = (226, 230, 236)


def triangle(size, points, colour):
    def draw(d, s):
        d.polygon([(x * s, y * s) for x, y in points], fill=rgba(colour))
    return smooth(size, draw)


def box(size, ticked):
    def draw(d, s):
        w, h = size
        d.rounded_rectangle([1 * s, 1 * s, (w - 1) * s - 1, (h - 1) * s - 1], radius=2 * s,
                            fill=rgba(BLUE if ticked else WHITE), outline=rgba(GREY),
                            width=s)
        if ticked:
            d.line([(3.5 * s, 7 * s), (6 * s, 9.5 * s), (10.5 * s, 4.5 * s)],
                   fill=rgba(WHITE), width=int(1.6 * s))
    return smooth(size, draw)


def dotted_line(size):
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    x = size[0] // 2
    for y in range(0, size[1], 2):
        d.point((x, y), fill=rgba(GREY))
    return image


def rail(size, colour):
    def draw(d, s):
        w, h = size
        d.rounded_rectangle([0, 0, w * s - 1, h * s - 1], radius=min(w, h) * s // 2,
                            fill=rgba(colour))
    return smooth(size, draw)


def animation():
    """Eight frames of a dot running round a ring, 80 ms each."""
    frames = []
    for i in range(8):
        image = Image.new("RGB", (48, 48), WHITE)
        d = ImageDraw.Draw(image)
        d.ellipse([6, 6, 42, 42], outline=LIGHT, width=5)
        angle = i * math.pi / 4
        cx, cy = 24 + 18 * math.sin(angle), 24 - 18 * math.cos(angle)
        d.ellipse([cx - 5, cy - 5, cx + 5, cy + 5], fill=BLUE)
        frames.append(image.convert("P", palette=Image.ADAPTIVE, colors=16))
    frames[0].save(os.path.join(SKIN, "anim.gif"), save_all=True, append_images=frames[1:],
                   duration=80, loop=0, disposal=1, optimize=False)


def main():
    save(triangle((16, 16), [(5, 3), (12, 8), (5, 13)], GREY), SKIN, "folder-closed.png")
    save(triangle((16, 16), [(3, 5), (13, 5), (8, 12)], BLUE), SKIN, "folder-open.png")
    save(box((14, 14), False), SKIN, "check-off.png")
    save(box((14, 14), True), SKIN, "check-on.png")
    save(dotted_line((16, 24)), SKIN, "dotline.png")
    save(strip([rail((90, 30), c)
                for c in (BLUE, BLUE_HOT, BLUE_PUSHED)]), SKIN, "button.png")
    save(triangle((24, 24), [(7, 10), (17, 10), (12, 16)], GREY), SKIN, "arrow.png")
    save(rail((8, 40), (176, 184, 196)), SKIN, "thumb.png")
    save(rail((40, 8), (176, 184, 196)), SKIN, "thumb-h.png")
    save(rail((200, 8), BLUE), SKIN, "progress.png")
    save(rail((14, 14), BLUE_PUSHED), SKIN, "slider-thumb.png")
    animation()


if __name__ == "__main__":
    main()
