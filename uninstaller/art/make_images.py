#!/usr/bin/python3
"""Draws the uninstaller's skin images and its icon.

Run with Debian's python3 (python3-pil) from anywhere:

    /usr/bin/python3 uninstaller/art/make_images.py

It rewrites uninstaller/skin/*.png and uninstaller/OrvUnInstall.ico. The output is committed,
so building needs no Python; run this again only after changing a design value here. Drawing
is deterministic: the same script and fonts give the same bytes.
"""

import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
UNINSTALLER = os.path.dirname(HERE)
SKIN = os.path.join(UNINSTALLER, "skin")
WORDMARK_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# Shapes are drawn this many times larger and scaled down, which smooths their edges.
SUPERSAMPLE = 4

# The installer's palette, so both windows look like one product.
BLUE = (47, 128, 237)
BLUE_HOT = (74, 147, 240)
BLUE_PUSHED = (31, 102, 199)
BLUE_DISABLED = (184, 196, 214)
INK = (52, 64, 84)
GREY = (168, 174, 184)
GREY_HOT = (96, 104, 118)
RED = (226, 76, 76)
WHITE = (255, 255, 255)


def rgba(colour, alpha=255):
    return colour + (alpha,)


def smooth(size, draw_big):
    """An RGBA image of `size` whose shapes draw_big(draw, scale) paints at SUPERSAMPLE size."""
    big = Image.new("RGBA", (size[0] * SUPERSAMPLE, size[1] * SUPERSAMPLE), (0, 0, 0, 0))
    draw_big(ImageDraw.Draw(big), SUPERSAMPLE)
    return big.resize(size, Image.LANCZOS)


def strip(frames):
    """Frames of equal size side by side, left to right."""
    width = sum(frame.width for frame in frames)
    result = Image.new("RGBA", (width, frames[0].height), (0, 0, 0, 0))
    x = 0
    for frame in frames:
        result.paste(frame, (x, 0))
        x += frame.width
    return result


def save(image, name):
    os.makedirs(SKIN, exist_ok=True)
    image.save(os.path.join(SKIN, name), optimize=True)


def bubble_mark(d, s, box, badge):
    """The product mark in `box` (units of the unscaled image): a blue rounded square holding a
    white speech bubble, with a red minus badge for the uninstaller's icon."""
    left, top, right, bottom = box
    size = right - left
    u = size / 256.0

    def at(x, y):
        return (left + x * u) * s, (top + y * u) * s

    d.rounded_rectangle([*at(8, 8), *at(248, 248)], radius=56 * u * s, fill=rgba(BLUE))
    d.rounded_rectangle([*at(52, 62), *at(204, 168)], radius=30 * u * s, fill=rgba(WHITE))
    d.polygon([at(88, 160), at(80, 204), at(126, 164)], fill=rgba(WHITE))
    for cx in (92, 128, 164):
        d.ellipse([*at(cx - 11, 104), *at(cx + 11, 126)], fill=rgba(BLUE))
    if badge:
        d.ellipse([*at(150, 150), *at(250, 250)], fill=rgba(RED), outline=rgba(WHITE),
                  width=max(1, round(10 * u * s)))
        d.rounded_rectangle([*at(174, 193), *at(226, 207)], radius=5 * u * s, fill=rgba(WHITE))


def logo():
    return smooth((20, 20), lambda d, s: bubble_mark(d, s, (0, 0, 20, 20), False))


def product_picture():
    image = smooth((142, 60), lambda d, s: bubble_mark(d, s, (4, 6, 52, 54), False))
    draw = ImageDraw.Draw(image)
    # The largest size at which the name fits beside the mark.
    left, room = 58, 142 - 58 - 2
    size = 26
    while ImageFont.truetype(WORDMARK_FONT, size).getlength("Tamro") > room:
        size -= 1
    draw.text((left, 30), "Tamro", font=ImageFont.truetype(WORDMARK_FONT, size), fill=rgba(INK),
              anchor="lm")
    return image


def start_button():
    def frame(colour):
        return smooth((150, 52), lambda d, s: d.rounded_rectangle(
            [0, 0, 150 * s - 1, 52 * s - 1], radius=5 * s, fill=rgba(colour)))
    return strip([frame(BLUE), frame(BLUE_HOT), frame(BLUE_PUSHED), frame(BLUE_DISABLED)])


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


def check_button():
    def frame(selected):
        def draw(d, s):
            box = [1 * s, 1 * s, 17 * s - 1, 17 * s - 1]
            if selected:
                d.rounded_rectangle(box, radius=3 * s, fill=rgba(BLUE))
                d.line([(5 * s, 9 * s), (8 * s, 12 * s), (13 * s, 6 * s)], fill=rgba(WHITE),
                       width=round(1.8 * s), joint="curve")
            else:
                d.rounded_rectangle(box, radius=3 * s, fill=rgba(WHITE), outline=rgba(GREY),
                                    width=round(1.5 * s))
        return smooth((18, 18), draw)
    return strip([frame(True), frame(False)])


def icon():
    return smooth((256, 256), lambda d, s: bubble_mark(d, s, (0, 0, 256, 256), True))


def main():
    save(logo(), "kweelogo.png")
    save(product_picture(), "installlog.png")
    save(start_button(), "normaltwobtn.png")
    save(close_button(), "closebtn.png")
    save(check_button(), "checkbtn.png")
    icon().save(os.path.join(UNINSTALLER, "OrvUnInstall.ico"),
                sizes=[(16, 16), (24, 24), (32, 32), (48, 48), (256, 256)])


if __name__ == "__main__":
    main()
