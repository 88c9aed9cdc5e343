#!/usr/bin/python3
"""Draws the installer's skin images and its icon.

Run with Debian's python3 (python3-pil) from anywhere:

    /usr/bin/python3 installer/art/make_images.py

It rewrites installer/skin/*.png, installer/spareskin/*.png, the setup image
installer/setupfiles/res/setup.png and installer/OrvInstall.ico. The
output is committed, so building needs no Python; run this again only after changing a design
value here. Drawing is deterministic: the same script gives the same bytes.
"""

import os
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
INSTALLER = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(os.path.dirname(INSTALLER), "tools", "art"))

from skinart import (BLUE, WHITE, bubble_mark, check_button, push_button, rgba,  # noqa: E402
                     save, save_icon, smooth, strip)

SKIN = os.path.join(INSTALLER, "skin")
SPARE_SKIN = os.path.join(INSTALLER, "spareskin")
SETUP_RES = os.path.join(INSTALLER, "setupfiles", "res")

WINDOW = (530, 356)
# The coloured band behind the title and the product name; the pages sit on white below it.
BAND_HEIGHT = 165
FOOTER_TOP = 310

BAND_LEFT = (34, 102, 214)
BAND_RIGHT = (45, 170, 236)
GREY_LINE = (201, 210, 222)
FOOTER = (244, 247, 250)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def background():
    image = Image.new("RGBA", WINDOW, rgba(WHITE))
    pixels = image.load()
    for y in range(BAND_HEIGHT):
        for x in range(WINDOW[0]):
            # Diagonal gradient: darker at the top left, lighter towards the bottom right.
            t = min(1.0, (x / WINDOW[0]) * 0.75 + (y / BAND_HEIGHT) * 0.25)
            pixels[x, y] = rgba(mix(BAND_LEFT, BAND_RIGHT, t))
    # Two soft circles give the band some depth without competing with the white text.
    overlay = smooth(WINDOW, lambda d, s: (
        d.ellipse([380 * s, -120 * s, 640 * s, 140 * s], fill=(255, 255, 255, 22)),
        d.ellipse([440 * s, 40 * s, 600 * s, 200 * s], fill=(255, 255, 255, 16))))
    band = Image.alpha_composite(image.crop((0, 0, WINDOW[0], BAND_HEIGHT)),
                                 overlay.crop((0, 0, WINDOW[0], BAND_HEIGHT)))
    image.paste(band, (0, 0))
    footer = Image.new("RGBA", (WINDOW[0], WINDOW[1] - FOOTER_TOP), rgba(FOOTER))
    image.paste(footer, (0, FOOTER_TOP))
    ImageDraw.Draw(image).line([(0, FOOTER_TOP), (WINDOW[0], FOOTER_TOP)], fill=rgba((230, 234, 240)))
    return image


def close_button():
    def frame(circle_alpha, cross):
        def draw(d, s):
            if circle_alpha:
                d.ellipse([0, 0, 20 * s - 1, 20 * s - 1], fill=(255, 255, 255, circle_alpha))
            width = round(1.6 * s)
            d.line([6 * s, 6 * s, 14 * s, 14 * s], fill=cross, width=width)
            d.line([14 * s, 6 * s, 6 * s, 14 * s], fill=cross, width=width)
        return smooth((20, 20), draw)
    return strip([frame(0, rgba(WHITE)), frame(60, rgba(WHITE)), frame(110, rgba((225, 235, 250)))])


def radio_button():
    def frame(selected):
        def draw(d, s):
            ring = BLUE if selected else (160, 170, 184)
            d.ellipse([1 * s, 1 * s, 17 * s - 1, 17 * s - 1], fill=rgba(WHITE), outline=rgba(ring),
                      width=round(1.5 * s))
            if selected:
                d.ellipse([5 * s, 5 * s, 13 * s - 1, 13 * s - 1], fill=rgba(BLUE))
        return smooth((18, 18), draw)
    return strip([frame(True), frame(False)])


def edit_field():
    def frame(fill, border):
        return smooth((210, 40), lambda d, s: d.rounded_rectangle(
            [0, 0, 210 * s - 1, 40 * s - 1], radius=4 * s, fill=rgba(fill), outline=rgba(border),
            width=s))
    return strip([frame(WHITE, GREY_LINE), frame(WHITE, (127, 176, 245)), frame(WHITE, BLUE),
                  frame((243, 244, 246), (224, 226, 230))])


def title_line():
    line = Image.new("RGBA", (120, 2), (255, 255, 255, 0))
    pixels = line.load()
    for x in range(120):
        # Fades out to the right.
        alpha = round(200 * (1 - x / 120))
        pixels[x, 0] = pixels[x, 1] = (255, 255, 255, alpha)
    return line


def scroll_arrow(up):
    def draw(d, s):
        d.rectangle([0, 0, 10 * s - 1, 10 * s - 1], fill=rgba((240, 242, 245)))
        points = [(2.5 * s, 6.5 * s), (5 * s, 3.5 * s), (7.5 * s, 6.5 * s)] if up else \
                 [(2.5 * s, 3.5 * s), (5 * s, 6.5 * s), (7.5 * s, 3.5 * s)]
        d.line(points, fill=rgba((150, 160, 174)), width=round(1.2 * s), joint="curve")
    return smooth((10, 10), draw)


def scroll_thumb():
    def frame(colour):
        return smooth((10, 30), lambda d, s: d.rounded_rectangle(
            [1 * s, 0, 9 * s - 1, 30 * s - 1], radius=4 * s, fill=rgba(colour)))
    return strip([frame((196, 204, 214)), frame((160, 170, 184))])


def scroll_rail():
    return Image.new("RGBA", (10, 10), rgba((240, 242, 245)))


def icon():
    return smooth((256, 256), lambda d, s: bubble_mark(d, s, (0, 0, 256, 256)))


def spare_background():
    image = Image.new("RGBA", (200, 100), rgba(FOOTER))
    ImageDraw.Draw(image).rectangle([0, 0, 199, 29], fill=rgba(BLUE))
    return image


def main():
    save(background(), SKIN, "bkimage.png")
    save(close_button(), SKIN, "closebtn.png")
    save(push_button((69, 40)), SKIN, "genbtn.png")
    save(radio_button(), SKIN, "radiobtn.png")
    save(check_button((160, 170, 184)), SKIN, "checkbtn.png")
    save(edit_field(), SKIN, "edit.png")
    save(title_line(), SKIN, "line.png")
    save(scroll_arrow(True), SKIN, "scrolltop.png")
    save(scroll_arrow(False), SKIN, "scrollbottom.png")
    save(scroll_thumb(), SKIN, "scrollthum.png")
    save(scroll_rail(), SKIN, "scrollbk.png")
    save(spare_background(), SPARE_SKIN, "bkimage.png")
    save(icon().resize((128, 128), Image.LANCZOS), SETUP_RES, "setup.png")
    save_icon(os.path.join(INSTALLER, "OrvInstall.ico"), icon())


if __name__ == "__main__":
    main()
