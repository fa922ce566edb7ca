#!/usr/bin/env python3
"""Renders the main window's pictures from the SVG drawings beside this
script into png/, one PNG per picture slot, named <component>_<slot>.png
(or <component>.png for a component with one picture), and the tool's .exe
icon ../res/BRKPortable.ico from the same drawing as the caption bar's icon.

The output is committed: the build then needs no renderer, and a change of
a picture shows in review. tests/app/window_art_test.py renders again and
fails when a committed picture no longer matches its drawing. Run this
after changing a drawing:  src/app/art/render.py

Needs rsvg-convert (Debian package librsvg2-bin) and python3, nothing else.
Every drawing is rendered at its own size, so one SVG pixel is one screen
pixel; RGB slots are written without an alpha channel.
"""

import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import pngio  # noqa: E402

RGB, RGBA = pngio.RGB, pngio.RGBA

# Slots cut from the drawings: file name, drawing, left, top, width, height,
# kind. The sizes and kinds are the window layout's.
CUTS = [
    ("btnBg_Normal", "btnBg.svg", 0, 0, 222, 179, RGBA),
    ("btnBg_Over", "btnBg.svg", 222, 0, 222, 179, RGBA),
    ("btnBg_Down", "btnBg.svg", 444, 0, 222, 179, RGBA),
    ("btnBg_Disabled", "btnBg.svg", 666, 0, 222, 179, RGBA),
    ("btnBg_Selected", "btnBg.svg", 888, 0, 222, 179, RGBA),
    ("imgBtnGen_Normal", "btnGenerate.svg", 0, 0, 192, 48, RGBA),
    ("imgBtnGen_Over", "btnGenerate.svg", 0, 48, 192, 48, RGBA),
    ("imgBtnGen_Down", "btnGenerate.svg", 0, 96, 192, 48, RGBA),
    ("imgBtnGen_Disabled", "btnGenerate.svg", 0, 144, 192, 48, RGBA),
    ("imgBtnClose_Normal", "btnClose.svg", 0, 0, 35, 28, RGBA),
    ("imgBtnClose_Over", "btnClose.svg", 35, 0, 35, 28, RGBA),
    ("imgBtnClose_Down", "btnClose.svg", 70, 0, 35, 28, RGBA),
    ("frmbrdrHeader_Ex_LeftPic", "corners.svg", 0, 0, 6, 40, RGBA),
    ("frmbrdrHeader_Ex_RightPic", "corners.svg", 6, 0, 6, 40, RGBA),
    ("ImageRect1_Image_Left", "corners.svg", 12, 0, 6, 6, RGBA),
    ("ImageRect1_Image_right", "corners.svg", 18, 0, 6, 6, RGBA),
    ("imgProgress_bg_left", "progress.svg", 0, 0, 3, 16, RGBA),
    ("imgProgress_bg_middle", "progress.svg", 8, 0, 4, 16, RGBA),
    ("imgProgress_bg_right", "progress.svg", 16, 0, 4, 16, RGBA),
    ("imgProgress_bar_left", "progress.svg", 0, 16, 3, 16, RGBA),
    ("imgProgress_bar_middle", "progress.svg", 8, 16, 4, 16, RGBA),
    ("imgProgress_bar_right", "progress.svg", 24, 16, 16, 16, RGBA),
    ("Image1", "icon.svg", 0, 0, 32, 32, RGBA),
]

# The plain fills are the layout's own colours, not drawings: each is a
# column of (colour, alpha) rows, written exactly (a renderer's rounding
# of premultiplied alpha would change the colour of a see-through one).
FILLS = [
    ("imgBg", [("#0B0C12", 255)], RGB),
    ("imgBorderLeft", [("#17202F", 255)], RGB),
    ("imgBorderRight", [("#17202F", 240)], RGBA),
    ("frmbrdrHeader_Ex_ClientPic",
     [("#17202F", 255), ("#202938", 255)] + [("#17181A", 255)] * 37 + [("#33383B", 255)], RGB),
    ("ImageRect1_Image_bg", [("#0B0C12", 255)] * 5 + [("#17202F", 255)], RGB),
]

ICON_SOURCE = "icon.svg"
ICON_SIZES = [16, 24, 32, 48, 256]
ICON_PATH = os.path.join(HERE, "..", "res", "BRKPortable.ico")


def rasterize(svg, out, size=None):
    """One drawing as an RGBA image, at its own size or size x size."""
    args = ["rsvg-convert", "--format=png"]
    if size:
        args += ["--width=%d" % size, "--height=%d" % size]
    subprocess.run(args + ["--output", out, os.path.join(HERE, svg)], check=True)
    return pngio.read(out)


def fill_image(rows):
    pixels = []
    for colour, alpha in rows:
        r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
        pixels.append([(r, g, b, alpha)])
    return pngio.Image(1, len(rows), pixels)


def render_all():
    """Every slot as (file name, PNG bytes), and the .ico file's bytes."""
    files = []
    with tempfile.TemporaryDirectory() as tmp:
        drawings = {}
        for name, svg, x, y, w, h, kind in CUTS:
            if svg not in drawings:
                drawings[svg] = rasterize(svg, os.path.join(tmp, svg + ".png"))
            files.append((name + ".png", pngio.encode(drawings[svg].crop(x, y, w, h), kind)))
        icons = [rasterize(ICON_SOURCE, os.path.join(tmp, "icon%d.png" % s), s) for s in ICON_SIZES]
    for name, rows, kind in FILLS:
        files.append((name + ".png", pngio.encode(fill_image(rows), kind)))
    return files, pngio.encode_ico(icons)


def main():
    out = os.path.join(HERE, "png")
    os.makedirs(out, exist_ok=True)
    files, ico = render_all()
    for name, data in files:
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    with open(ICON_PATH, "wb") as f:
        f.write(ico)
    print("rendered %d pictures into %s and %s" % (len(files), out, os.path.normpath(ICON_PATH)))


if __name__ == "__main__":
    main()
