#!/usr/bin/env python3
"""Renders the main window's pictures from the SVG drawings beside this
script, at every scale the window is drawn at, and the tool's .exe icon
../res/BRKPortable.ico from the same drawing as the caption bar's icon.

One PNG per picture slot, named <component>_<slot>.png (or <component>.png
for a component with one picture): the 100 % set in png/, the layout's own
scale, and each larger set in png/<percent>/ (png/125/, png/150/, ...).

The output is committed: the build then needs no renderer, and a change of
a picture shows in review. tests/app/window_art_test.py renders again and
fails when a committed picture no longer matches its drawing. Run this
after changing a drawing:  src/app/art/render.py

Needs rsvg-convert (Debian package librsvg2-bin) and python3, nothing else.

Every set is rendered from the drawings, never scaled from another set.
At a scale s a slot of w x h layout pixels is scaled(w) x scaled(h) device
pixels (the window's one rounding rule, `scaled` below), and each slot is
rendered on its own, its top-left corner on the drawing's point that the
slot cuts from, so that no slot starts between two pixels. Thin lines stay
sharp through hints: a drawing may declare XML entities with a formula in
a comment, `<!ENTITY name "value"> <!-- hint: formula -->`; at each scale
the entity takes the formula's value (see HINT_NAMES), and at 100 % the
formula must give the value written, so that the drawing as it stands is
the 100 % picture. One line of the layout is `line` drawing units, which is
a whole number of device pixels at every scale (`scaled(1)`).

The window's outline is drawn in device pixels rather than scaled: the
four corner pieces are cut from frame.svg, which the script fills in with
where the scaled layout puts the frame (FRAME) at each scale. Slots the
layout keeps without an alpha channel are written as plain RGB PNGs; the
one-pixel colour fills come from the layout's colours, not from drawings,
as bands whose one-pixel lines stay one line thick.
"""

import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import pngio  # noqa: E402

RGB, RGBA = pngio.RGB, pngio.RGBA

# The scales the pictures come in, in percent, and the screen resolution of
# each in pixels per inch. 100 % is the layout's own.
SCALES = [100, 125, 150, 175, 200]
DESIGN_DPI = 96


def dpi(percent):
    return percent * DESIGN_DPI // 100


def scale_value(value, at_dpi):
    """A length or position of the layout (96 dpi) on a screen of `at_dpi`:
    the nearest whole pixel, halves away from zero. The program scales with
    the same rule (ui::ScaleValue)."""
    magnitude = (abs(value) * at_dpi * 2 + DESIGN_DPI) // (2 * DESIGN_DPI)
    return -magnitude if value < 0 else magnitude


def scaled(value, percent):
    """The same at one of the scales, in percent."""
    return scale_value(value, dpi(percent))


def set_folder(percent):
    """Where the set of a scale lies, relative to this folder."""
    return "png" if percent == 100 else os.path.join("png", str(percent))


# Slots cut from the drawings: file name, drawing, left, top, width, height,
# kind, in the drawing's units (layout pixels). The sizes and kinds are the
# window layout's.
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
    ("imgProgress_bg_left", "progress.svg", 0, 0, 3, 16, RGBA),
    ("imgProgress_bg_middle", "progress.svg", 8, 0, 4, 16, RGBA),
    ("imgProgress_bg_right", "progress.svg", 16, 0, 4, 16, RGBA),
    ("imgProgress_bar_left", "progress.svg", 0, 16, 3, 16, RGBA),
    ("imgProgress_bar_middle", "progress.svg", 8, 16, 4, 16, RGBA),
    ("imgProgress_bar_right", "progress.svg", 24, 16, 16, 16, RGBA),
    ("Image1", "icon.svg", 0, 0, 32, 32, RGBA),
]

# The parts of the layout that make the window's outline, in layout pixels:
# the client size, the header (full width, its corner pieces 6 wide), the
# right border line, the bottom strip and its corner pieces, and the 9 x 9
# ellipse of the window's rounded region. The region ends one pixel past
# the right border line and the bottom strip (MainWindow.cpp).
FRAME = {
    "client": (463, 303),
    "header_height": 40,
    "corner": 6,
    "right_line": 460,
    "strip": (295, 462, 6),  # top, width, height
    "ellipse": 9,
}

# The four corner pieces, cut from frame.svg where the window has them.
FRAME_SLOTS = ["frmbrdrHeader_Ex_LeftPic", "frmbrdrHeader_Ex_RightPic",
               "ImageRect1_Image_Left", "ImageRect1_Image_right"]

# The plain fills are the layout's own colours, not drawings: each is a
# column of bands (colour, alpha, rows), where rows is 1 for a one-pixel
# line (one line at every scale) and None for the one band that takes the
# rest of the slot's scaled height; the slot's height at 100 % (the fourth
# field, 1 when missing) is their sum.
# They are written exactly (a renderer's rounding of premultiplied alpha
# would change the colour of a see-through one).
FILLS = [
    ("imgBg", [("#0B0C12", 255, 1)], RGB),
    ("imgBorderLeft", [("#17202F", 255, 1)], RGB),
    ("imgBorderRight", [("#17202F", 240, 1)], RGBA),
    ("frmbrdrHeader_Ex_ClientPic",
     [("#17202F", 255, 1), ("#202938", 255, 1), ("#17181A", 255, None), ("#33383B", 255, 1)], RGB, 40),
    ("ImageRect1_Image_bg", [("#0B0C12", 255, None), ("#17202F", 255, 1)], RGB, 6),
]

ICON_SOURCE = "icon.svg"
ICON_SIZES = [16, 24, 32, 48, 256]
ICON_PATH = os.path.join(HERE, "..", "res", "BRKPortable.ico")

ENTITY = re.compile(r'<!ENTITY\s+([\w-]+)\s+"([^"]*)">\s*<!--\s*hint:\s*(.*?)\s*-->')


def frame_geometry(percent):
    """Where the scaled layout puts the frame, in device pixels."""
    s = lambda v: scaled(v, percent)  # noqa: E731
    width, height = FRAME["client"]
    strip_top, strip_width, strip_height = FRAME["strip"]
    line = s(1)
    g = {
        "line": line,
        "client_width": s(width), "client_height": s(height),
        "header_height": s(FRAME["header_height"]), "corner": s(FRAME["corner"]),
        "strip_top": s(strip_top), "strip_width": s(strip_width), "strip_height": s(strip_height),
        "radius": s(FRAME["ellipse"]) / 2,
    }
    # The outline's outer edges: the right border line's right edge and the
    # bottom strip's bottom edge; the window's region ends there (under Wine;
    # Windows shows one pixel more of the pieces, which are black there).
    g["right"] = s(FRAME["right_line"]) + line
    g["bottom"] = g["strip_top"] + g["strip_height"]
    return g


def frame_cuts(percent):
    """The corner pieces' places in the window, in device pixels."""
    g = frame_geometry(percent)
    corner, header, strip = g["corner"], g["header_height"], g["strip_height"]
    return {
        "frmbrdrHeader_Ex_LeftPic": (0, 0, corner, header),
        "frmbrdrHeader_Ex_RightPic": (g["client_width"] - corner, 0, corner, header),
        "ImageRect1_Image_Left": (0, g["strip_top"], corner, strip),
        "ImageRect1_Image_right": (g["strip_width"] - corner, g["strip_top"], corner, strip),
    }


def hinted(text, names, percent, where):
    """The drawing with every hinted entity set to its formula's value."""
    def value(match):
        name, written, formula = match.groups()
        result = eval(formula, {"__builtins__": {}}, names)  # the drawings are ours
        if percent == 100 and abs(result - float(written)) > 1e-9:
            raise ValueError("%s: entity %s is %s, its hint gives %r at 100 %%" % (where, name, written, result))
        return '<!ENTITY %s "%s"> <!-- hint: %s -->' % (name, repr(round(result, 9)), formula)
    return ENTITY.sub(value, text)


def with_view(text, x, y, view_width, view_height, width, height):
    """The drawing showing the given part of it as an image of the given size."""
    def root(match):
        tag = match.group(0)
        for attribute, value in (("width", width), ("height", height),
                                 ("viewBox", "%r %r %r %r" % (x, y, view_width, view_height))):
            tag = re.sub(r'\s%s="[^"]*"' % attribute, ' %s="%s"' % (attribute, value), tag)
        return tag
    return re.sub(r"<svg\b[^>]*>", root, text, count=1)


def rasterize(text, tmp, name):
    source = os.path.join(tmp, name + ".svg")
    out = os.path.join(tmp, name + ".png")
    with open(source, "w") as f:
        f.write(text)
    subprocess.run(["rsvg-convert", "--format=png", "--output", out, source], check=True)
    return pngio.read(out)


def render_cut(svg, x, y, w, h, percent, tmp, drawings):
    """One slot of a drawing at a scale. Where the slot's corner falls on a
    whole device pixel, it is cut from the whole drawing rendered at that
    scale (rendered once, kept in `drawings`); elsewhere the slot is
    rendered on its own with its corner on the pixel grid."""
    zoom = percent / 100
    width, height = scaled(w, percent), scaled(h, percent)
    view_width, view_height = width / zoom, height / zoom
    names = {"line": scaled(1, percent) / zoom, "zoom": zoom, "W": view_width, "H": view_height,
             "snap": lambda v: round(v * zoom) / zoom, "round": round}
    with open(os.path.join(HERE, svg)) as f:
        text = hinted(f.read(), names, percent, svg)
    left, top = x * zoom, y * zoom
    if not (left.is_integer() and top.is_integer()):
        view = with_view(text, x, y, view_width, view_height, width, height)
        return rasterize(view, tmp, "%s-%d-%d-%d" % (svg, percent, x, y))
    key = (svg, percent, w, h)
    if key not in drawings:
        size = re.search(r'<svg\b[^>]*\bviewBox="0 0 ([\d.]+) ([\d.]+)"', text)
        whole_width, whole_height = float(size.group(1)), float(size.group(2))
        # Room for a last slot whose scaled size reaches past the drawing.
        pixels_wide = int(whole_width * zoom) + width
        pixels_high = int(whole_height * zoom) + height
        view = with_view(text, 0, 0, pixels_wide / zoom, pixels_high / zoom, pixels_wide, pixels_high)
        drawings[key] = rasterize(view, tmp, "%s-%d-%dx%d" % (svg, percent, w, h))
    return drawings[key].crop(int(left), int(top), width, height)


def render_frame(percent, tmp):
    """The four corner pieces at a scale."""
    g = frame_geometry(percent)
    with open(os.path.join(HERE, "frame.svg")) as f:
        text = hinted(f.read(), g, percent, "frame.svg")
    text = with_view(text, 0, 0, g["client_width"], g["client_height"], g["client_width"], g["client_height"])
    whole = rasterize(text, tmp, "frame%d" % percent)
    return {name: whole.crop(*cut) for name, cut in frame_cuts(percent).items()}


def fill_image(bands, height, percent):
    """A column of colour bands, one line wide, at a scale: a line band is
    one line thick, the other band takes the rest of the scaled height."""
    line = scaled(1, percent)
    rest = scaled(height, percent) - line * sum(1 for band in bands if band[2] == 1)
    rows = []
    for colour, alpha, count in bands:
        r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
        rows += [[(r, g, b, alpha)] * line] * (line if count == 1 else rest)
    return pngio.Image(line, len(rows), rows)


def fill_height(fill):
    return fill[3] if len(fill) > 3 else 1


def render_scale(percent, tmp):
    """Every slot of one scale as (file name, PNG bytes)."""
    files = []
    drawings = {}
    for name, svg, x, y, w, h, kind in CUTS:
        image = render_cut(svg, x, y, w, h, percent, tmp, drawings)
        files.append((name + ".png", pngio.encode(image, kind)))
    for name, image in render_frame(percent, tmp).items():
        files.append((name + ".png", pngio.encode(image, RGBA)))
    for fill in FILLS:
        name, bands, kind = fill[:3]
        files.append((name + ".png", pngio.encode(fill_image(bands, fill_height(fill), percent), kind)))
    return files


def render_icon(tmp):
    icons = []
    for size in ICON_SIZES:
        with open(os.path.join(HERE, ICON_SOURCE)) as f:
            text = hinted(f.read(), {"line": 1, "zoom": 1}, 100, ICON_SOURCE)
        icons.append(rasterize(with_view(text, 0, 0, 32, 32, size, size), tmp, "icon%d" % size))
    return pngio.encode_ico(icons)


def render_all(scales=SCALES):
    """{percent: [(file name, PNG bytes)]} for the given scales, and the
    .ico file's bytes."""
    with tempfile.TemporaryDirectory() as tmp:
        sets = {percent: render_scale(percent, tmp) for percent in scales}
        ico = render_icon(tmp)
    return sets, ico


def main():
    sets, ico = render_all()
    count = 0
    for percent, files in sets.items():
        out = os.path.join(HERE, set_folder(percent))
        os.makedirs(out, exist_ok=True)
        for name, data in files:
            with open(os.path.join(out, name), "wb") as f:
                f.write(data)
            count += 1
    with open(ICON_PATH, "wb") as f:
        f.write(ico)
    print("rendered %d pictures in %d scales into %s and %s" % (
        count, len(sets), os.path.join(HERE, "png"), os.path.normpath(ICON_PATH)))


if __name__ == "__main__":
    main()
