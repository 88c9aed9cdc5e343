"""Drawing helpers and the palette shared by the scripts that draw the products' skin images and
icons (installer/art, uninstaller/art, flashplayer/art).

Shapes are drawn several times larger and scaled down, which smooths their edges; everything is
deterministic, so a script gives the same bytes on every run. Needs Debian's python3-pil.
"""

import os

from PIL import Image, ImageDraw

SUPERSAMPLE = 4

# The product's palette: the installer and the uninstaller look like one product.
BLUE = (47, 128, 237)
BLUE_HOT = (74, 147, 240)
BLUE_PUSHED = (31, 102, 199)
BLUE_DISABLED = (184, 196, 214)
WHITE = (255, 255, 255)

# The sizes of the programs' icons, the largest scaled down for the others.
ICON_SIZES = (16, 24, 32, 48, 256)


def rgba(colour, alpha=255):
    return colour + (alpha,)


def smooth(size, draw_big, supersample=SUPERSAMPLE):
    """An RGBA image of `size` whose shapes draw_big(draw, scale) paints at `supersample` times
    the size."""
    big = Image.new("RGBA", (size[0] * supersample, size[1] * supersample), (0, 0, 0, 0))
    draw_big(ImageDraw.Draw(big), supersample)
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


def save(image, folder, name):
    os.makedirs(folder, exist_ok=True)
    image.save(os.path.join(folder, name), optimize=True)


def save_icon(path, largest, sizes=ICON_SIZES, drawn=()):
    """An .ico file with an image of every size in `sizes`: the one in `drawn` of that size where
    there is one, else `largest` scaled down."""
    largest.save(path, format="ICO", sizes=[(size, size) for size in sizes],
                 append_images=list(drawn))


def push_button(size, radius=5):
    """A rounded blue button's four states side by side: normal, hot, pushed, disabled."""
    width, height = size

    def frame(colour):
        return smooth(size, lambda d, s: d.rounded_rectangle(
            [0, 0, width * s - 1, height * s - 1], radius=radius * s, fill=rgba(colour)))
    return strip([frame(BLUE), frame(BLUE_HOT), frame(BLUE_PUSHED), frame(BLUE_DISABLED)])


def check_button(outline):
    """An 18-pixel check box, selected then cleared; `outline` rims the cleared box."""
    def frame(selected):
        def draw(d, s):
            box = [1 * s, 1 * s, 17 * s - 1, 17 * s - 1]
            if selected:
                d.rounded_rectangle(box, radius=3 * s, fill=rgba(BLUE))
                d.line([(5 * s, 9 * s), (8 * s, 12 * s), (13 * s, 6 * s)], fill=rgba(WHITE),
                       width=round(1.8 * s), joint="curve")
            else:
                d.rounded_rectangle(box, radius=3 * s, fill=rgba(WHITE), outline=rgba(outline),
                                    width=round(1.5 * s))
        return smooth((18, 18), draw)
    return strip([frame(True), frame(False)])


def mark_grid(box, s):
    """The product mark is designed on a 256-unit square: the function that maps a design point
    into `box` (units of the unscaled image) at scale `s`, and the size of one unit there."""
    left, top, right, _ = box
    unit = (right - left) / 256.0

    def at(x, y):
        return (left + x * unit) * s, (top + y * unit) * s
    return at, unit * s


def bubble_mark(d, s, box):
    """The product mark in `box`: a blue rounded square holding a white speech bubble (the
    client is a video chat)."""
    at, unit = mark_grid(box, s)
    d.rounded_rectangle([*at(8, 8), *at(248, 248)], radius=56 * unit, fill=rgba(BLUE))
    d.rounded_rectangle([*at(52, 62), *at(204, 168)], radius=30 * unit, fill=rgba(WHITE))
    d.polygon([at(88, 160), at(80, 204), at(126, 164)], fill=rgba(WHITE))
    for cx in (92, 128, 164):
        d.ellipse([*at(cx - 11, 104), *at(cx + 11, 126)], fill=rgba(BLUE))
