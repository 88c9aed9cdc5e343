#!/usr/bin/python3
"""Draws the uninstaller's skin images and its icon.

Run with Debian's python3 (python3-pil) from anywhere:

    /usr/bin/python3 uninstaller/art/make_images.py

It rewrites uninstaller/skin/*.png and uninstaller/OrvUnInstall.ico. The output is committed,
so building needs no Python; run this again only after changing a design value here. Drawing
is deterministic: the same script and fonts give the same bytes.
"""

import os
import sys

from PIL import ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
UNINSTALLER = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(os.path.dirname(UNINSTALLER), "tools", "art"))

from skinart import (WHITE, bubble_mark, check_button, mark_grid, push_button,  # noqa: E402
                     rgba, save, save_icon, smooth, strip)

SKIN = os.path.join(UNINSTALLER, "skin")
WORDMARK_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

INK = (52, 64, 84)
GREY = (168, 174, 184)
GREY_HOT = (96, 104, 118)
RED = (226, 76, 76)


def badged_mark(d, s, box):
    """The product mark with a red minus badge: the uninstaller's icon."""
    bubble_mark(d, s, box)
    at, unit = mark_grid(box, s)
    d.ellipse([*at(150, 150), *at(250, 250)], fill=rgba(RED), outline=rgba(WHITE),
              width=max(1, round(10 * unit)))
    d.rounded_rectangle([*at(174, 193), *at(226, 207)], radius=5 * unit, fill=rgba(WHITE))


def logo():
    return smooth((20, 20), lambda d, s: bubble_mark(d, s, (0, 0, 20, 20)))


def product_picture():
    image = smooth((142, 60), lambda d, s: bubble_mark(d, s, (4, 6, 52, 54)))
    draw = ImageDraw.Draw(image)
    # The largest size at which the name fits beside the mark.
    left, room = 58, 142 - 58 - 2
    size = 26
    while ImageFont.truetype(WORDMARK_FONT, size).getlength("Tamro") > room:
        size -= 1
    draw.text((left, 30), "Tamro", font=ImageFont.truetype(WORDMARK_FONT, size), fill=rgba(INK),
              anchor="lm")
    return image


def close_button():
    def frame(circle, cross):
        def draw(d, s):
            if circle:
                d.ellipse([0, 0, 18 * s - 1, 18 * s - 1], fill=rgba(circle))
            width = round(1.5 * s)
            d.line([5.5 * s, 5.5 * s, 12.5 * s, 12.5 * s], fill=rgba(cross), width=width)
            d.line([12.5 * s, 5.5 * s, 5.5 * s, 12.5 * s], fill=rgba(cross), width=width)
        return smooth((18, 18), draw)
    return strip([frame(None, GREY), frame((236, 238, 242), GREY_HOT),
                  frame((218, 222, 228), INK)])


def icon():
    return smooth((256, 256), lambda d, s: badged_mark(d, s, (0, 0, 256, 256)))


def main():
    save(logo(), SKIN, "kweelogo.png")
    save(product_picture(), SKIN, "installlog.png")
    save(push_button((150, 52)), SKIN, "normaltwobtn.png")
    save(close_button(), SKIN, "closebtn.png")
    save(check_button(GREY), SKIN, "checkbtn.png")
    save_icon(os.path.join(UNINSTALLER, "OrvUnInstall.ico"), icon())


if __name__ == "__main__":
    main()
