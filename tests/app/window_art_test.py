#!/usr/bin/env python3
"""Checks the main window's committed pictures at every scale they come in
(100, 125, 150, 175 and 200 %): every slot of the window's layout is there
with its exact scaled size and kind (RGB or RGBA), the plain fills hold
exactly the layout's colours in whole lines, one-pixel lines stay whole
pixels of their colour, no picture punches a hole into the window, pieces
that are stretched have no seams, and every picture still matches its
drawing (the drawings are rendered again and compared)."""

import os
import sys
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
ART = os.path.join(ROOT, "src", "app", "art")
ICO = os.path.join(ROOT, "src", "app", "res", "BRKPortable.ico")
sys.path.insert(0, ART)
import pngio  # noqa: E402
import render  # noqa: E402

RGB, RGBA = pngio.RGB, pngio.RGBA
SCALES = render.SCALES
scaled = render.scaled

# Every picture slot of the window at 100 %: file, width, height, kind. At
# another scale each is scaled(width) x scaled(height).
SLOTS = [
    ("imgBg", 1, 1, RGB),
    *[("btnBg_" + s, 222, 179, RGBA) for s in ("Normal", "Down", "Over", "Disabled", "Selected")],
    *[("imgBtnGen_" + s, 192, 48, RGBA) for s in ("Normal", "Down", "Over", "Disabled")],
    ("frmbrdrHeader_Ex_LeftPic", 6, 40, RGBA),
    ("frmbrdrHeader_Ex_RightPic", 6, 40, RGBA),
    ("frmbrdrHeader_Ex_ClientPic", 1, 40, RGB),
    *[("imgBtnClose_" + s, 35, 28, RGBA) for s in ("Normal", "Down", "Over")],
    ("imgBorderLeft", 1, 1, RGB),
    ("imgBorderRight", 1, 1, RGBA),
    ("Image1", 32, 32, RGBA),
    ("imgProgress_bg_middle", 4, 16, RGBA),
    ("imgProgress_bg_left", 3, 16, RGBA),
    ("imgProgress_bg_right", 4, 16, RGBA),
    ("imgProgress_bar_middle", 4, 16, RGBA),
    ("imgProgress_bar_left", 3, 16, RGBA),
    ("imgProgress_bar_right", 16, 16, RGBA),
    ("ImageRect1_Image_bg", 1, 6, RGB),
    ("ImageRect1_Image_Left", 6, 6, RGBA),
    ("ImageRect1_Image_right", 6, 6, RGBA),
]

OUTLINE = (0x17, 0x20, 0x2F, 255)
HEADER_BOTTOM = (0x33, 0x38, 0x3B, 255)
BACKGROUND = (0x0B, 0x0C, 0x12, 255)


def fill_runs(name, line, height):
    """The fills the layout gives, top to bottom, as (r, g, b, a) runs: its
    one-pixel rows are one line thick at every scale."""
    return {
        "imgBg": [(BACKGROUND, line)],
        "imgBorderLeft": [(OUTLINE, line)],
        "imgBorderRight": [((0x17, 0x20, 0x2F, 240), line)],
        "frmbrdrHeader_Ex_ClientPic": [(OUTLINE, line), ((0x20, 0x29, 0x38, 255), line),
                                       ((0x17, 0x18, 0x1A, 255), height - 3 * line), (HEADER_BOTTOM, line)],
        "ImageRect1_Image_bg": [(BACKGROUND, height - line), (OUTLINE, line)],
    }[name]


FILLS = ["imgBg", "imgBorderLeft", "imgBorderRight", "frmbrdrHeader_Ex_ClientPic", "ImageRect1_Image_bg"]

# Pieces the controls stretch sideways: every column must be the same.
STRETCHED = ["imgProgress_bg_middle", "imgProgress_bar_middle"]

# Corner pieces lie on controls that fill with the light system window
# colour: any see-through pixel would show it at the window's corners.
OPAQUE = ["frmbrdrHeader_Ex_LeftPic", "frmbrdrHeader_Ex_RightPic",
          "ImageRect1_Image_Left", "ImageRect1_Image_right"]

# The Generate button's border colour in each state.
GENERATE_BORDERS = {"Normal": (0x0D, 0x35, 0x5E), "Over": (0x16, 0x4A, 0x7E),
                    "Down": (0x0A, 0x2A, 0x4B), "Disabled": (0x1E, 0x21, 0x25)}

HOLE = (0xFF, 0x00, 0xFF)
# A newer renderer may round a gradient differently; an edited drawing
# changes far more than this.
TOLERANCE = 2


def path(name, percent=100):
    return os.path.join(ART, render.set_folder(percent), name + ".png")


def runs(values):
    out = []
    for v in values:
        if out and out[-1][0] == v:
            out[-1][1] += 1
        else:
            out.append([v, 1])
    return [tuple(r) for r in out]


def worst_difference(a, b):
    """The largest difference of one channel of one pixel of two images."""
    if (a.width, a.height) != (b.width, b.height):
        return 255
    return max(abs(x - y) for ra, rb in zip(a.pixels, b.pixels)
               for pa, pb in zip(ra, rb) for x, y in zip(pa, pb))


class WindowArt(unittest.TestCase):
    def test_every_slot_has_its_size_and_kind_at_every_scale(self):
        expected = {name + ".png" for name, *_ in SLOTS}
        for percent in SCALES:
            folder = os.path.join(ART, render.set_folder(percent))
            for name, width, height, kind in SLOTS:
                with self.subTest(scale=percent, slot=name):
                    self.assertTrue(os.path.isfile(path(name, percent)), "missing")
                    self.assertEqual(pngio.header(path(name, percent)),
                                     (scaled(width, percent), scaled(height, percent), 8, kind, 0))
            files = {f for f in os.listdir(folder) if os.path.isfile(os.path.join(folder, f))}
            self.assertEqual(files - expected, set(), "pictures no slot uses at %d %%" % percent)
        sets = {f for f in os.listdir(os.path.join(ART, "png")) if os.path.isdir(os.path.join(ART, "png", f))}
        self.assertEqual(sets, {str(p) for p in SCALES if p != 100})

    def test_fills_hold_exactly_the_layouts_colours_in_whole_lines(self):
        for percent in SCALES:
            line = scaled(1, percent)
            for name in FILLS:
                image = pngio.read(path(name, percent))
                with self.subTest(scale=percent, slot=name):
                    self.assertTrue(all(len(set(row)) == 1 for row in image.pixels), "a row of two colours")
                    self.assertEqual(runs(row[0] for row in image.pixels), fill_runs(name, line, image.height))

    def test_one_pixel_lines_stay_whole_pixels_of_their_colour(self):
        for percent in SCALES:
            line = scaled(1, percent)
            # The Generate button's border, across its top and bottom edges.
            for state, border in GENERATE_BORDERS.items():
                image = pngio.read(path("imgBtnGen_" + state, percent))
                column = [image.pixels[y][image.width // 2] for y in range(image.height)]
                with self.subTest(scale=percent, slot="imgBtnGen_" + state):
                    self.assertEqual(column[:line], [border + (255,)] * line)
                    self.assertEqual(column[-line:], [border + (255,)] * line)
                    self.assertNotEqual(column[line][:3], border)
                    self.assertNotEqual(column[-line - 1][:3], border)
            # The outline in the corner pieces, where it meets the border
            # lines and the strips: the left piece's last row, the right
            # piece's last row (up to the right border line, black beyond),
            # the bottom pieces' first rows.
            g = render.frame_geometry(percent)
            right_line = g["right"] - line - (g["client_width"] - g["corner"])
            right_beyond = g["corner"] - right_line - line
            header_body = [HEADER_BOTTOM] * (g["corner"] - line)
            strip_line = g["right"] - line - (g["strip_width"] - g["corner"])
            bottom_beyond = g["corner"] - strip_line - line
            black = (0, 0, 0, 255)
            expected = {
                "frmbrdrHeader_Ex_LeftPic": ([OUTLINE] * line + header_body, -1),
                "frmbrdrHeader_Ex_RightPic": ([HEADER_BOTTOM] * right_line + [OUTLINE] * line + [black] * right_beyond, -1),
                "ImageRect1_Image_Left": ([OUTLINE] * line + [BACKGROUND] * (g["corner"] - line), 0),
                "ImageRect1_Image_right": ([BACKGROUND] * strip_line + [OUTLINE] * line + [black] * bottom_beyond, 0),
            }
            for name, (row, y) in expected.items():
                with self.subTest(scale=percent, slot=name):
                    self.assertEqual(pngio.read(path(name, percent)).pixels[y], row)

    def test_no_picture_has_a_hole_and_corners_are_opaque(self):
        for percent in SCALES:
            for name, *_ in SLOTS:
                pixels = [p for row in pngio.read(path(name, percent)).pixels for p in row]
                with self.subTest(scale=percent, slot=name):
                    self.assertFalse([p for p in pixels if p[3] > 0 and p[:3] == HOLE], "#FF00FF pixels")
                    if name in OPAQUE:
                        self.assertTrue(all(p[3] == 255 for p in pixels), "see-through pixels")

    def test_stretched_pieces_have_no_seams(self):
        for percent in SCALES:
            for name in STRETCHED:
                with self.subTest(scale=percent, slot=name):
                    for row in pngio.read(path(name, percent)).pixels:
                        self.assertEqual(len(set(row)), 1, row)

    def test_pictures_match_their_drawings(self):
        sets, ico = render.render_all()
        pairs = [("%s at %d %%" % (name, percent), pngio.decode(data, name), pngio.read(path(name[:-4], percent)))
                 for percent, files in sets.items() for name, data in files]
        fresh_icons = pngio.decode_ico(ico)
        committed_icons = pngio.read_ico(ICO)
        self.assertEqual(len(fresh_icons), len(committed_icons))
        pairs += [("BRKPortable.ico %d" % a.width, a, b) for a, b in zip(fresh_icons, committed_icons)]
        for name, fresh, committed in pairs:
            with self.subTest(picture=name):
                self.assertLessEqual(worst_difference(fresh, committed), TOLERANCE,
                                     "run src/app/art/render.py and commit its output")

    def test_exe_icon_is_the_caption_icon(self):
        entries = pngio.read_ico(ICO)
        self.assertEqual(sorted(e.width for e in entries), [16, 24, 32, 48, 256])
        icon32 = next(e for e in entries if e.width == 32)
        self.assertEqual(icon32.pixels, pngio.read(path("Image1")).pixels)


if __name__ == "__main__":
    unittest.main(verbosity=2)
