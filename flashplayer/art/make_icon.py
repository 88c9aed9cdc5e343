#!/usr/bin/python3
"""Draws the player's application icon, flashplayer/orvflash.ico: a red disc with a white
play triangle, at 16, 24, 32 and 48 pixels.

    /usr/bin/python3 flashplayer/art/make_icon.py flashplayer/orvflash.ico
"""
import sys

from PIL import Image, ImageDraw

SIZES = (16, 24, 32, 48)
SUPERSAMPLE = 8  # drawn large and scaled down, for smooth edges


def draw(size):
    big = size * SUPERSAMPLE
    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    pen = ImageDraw.Draw(image)
    margin = big // 16
    pen.ellipse((margin, margin, big - margin, big - margin), fill=(200, 32, 40, 255))
    inner = big // 8
    pen.ellipse((inner, inner, big - inner, big - inner), fill=(232, 58, 52, 255))
    # The triangle's centre of mass sits at the disc's centre.
    left, right = big * 0.38, big * 0.74
    pen.polygon([(left, big * 0.28), (left, big * 0.72), (right, big * 0.5)],
                fill=(255, 255, 255, 255))
    return image.resize((size, size), Image.LANCZOS)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "orvflash.ico"
    largest = draw(max(SIZES))
    largest.save(out, format="ICO", sizes=[(s, s) for s in SIZES],
                 append_images=[draw(s) for s in SIZES if s != max(SIZES)])


if __name__ == "__main__":
    main()
