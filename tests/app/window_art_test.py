#!/usr/bin/env python3
"""Checks the main window's committed pictures: every slot of the window's
layout is there with its exact size and kind (RGB or RGBA), the plain fills
hold exactly the layout's colours, no picture punches a hole into the
window, pieces that are stretched have no seams, and every picture still
matches its drawing (the drawings are rendered again and compared)."""

import os
import sys
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
ART = os.path.join(ROOT, "src", "app", "art")
PNG_DIR = os.path.join(ART, "png")
ICO = os.path.join(ROOT, "src", "app", "res", "BRKPortable.ico")
sys.path.insert(0, ART)
import pngio  # noqa: E402
import render  # noqa: E402

RGB, RGBA = pngio.RGB, pngio.RGBA

# Every picture slot of the window: file, width, height, kind.
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

# The fills the layout gives pixel by pixel, top to bottom: (r, g, b, a).
HEADER_ROWS = [(0x17, 0x20, 0x2F, 255), (0x20, 0x29, 0x38, 255)] + [(0x17, 0x18, 0x1A, 255)] * 37 + [
    (0x33, 0x38, 0x3B, 255)]
FILLS = {
    "imgBg": [(0x0B, 0x0C, 0x12, 255)],
    "imgBorderLeft": [(0x17, 0x20, 0x2F, 255)],
    "imgBorderRight": [(0x17, 0x20, 0x2F, 240)],
    "frmbrdrHeader_Ex_ClientPic": HEADER_ROWS,
    "ImageRect1_Image_bg": [(0x0B, 0x0C, 0x12, 255)] * 5 + [(0x17, 0x20, 0x2F, 255)],
}

# Pieces the controls stretch sideways: every column must be the same.
STRETCHED = ["imgProgress_bg_middle", "imgProgress_bar_middle"]

# Corner pieces lie on controls that fill with the light system window
# colour: any see-through pixel would show it at the window's corners.
OPAQUE = ["frmbrdrHeader_Ex_LeftPic", "frmbrdrHeader_Ex_RightPic",
          "ImageRect1_Image_Left", "ImageRect1_Image_right"]

HOLE = (0xFF, 0x00, 0xFF)
# A newer renderer may round a gradient differently; an edited drawing
# changes far more than this.
TOLERANCE = 2


def path(name):
    return os.path.join(PNG_DIR, name + ".png")


def worst_difference(a, b):
    """The largest difference of one channel of one pixel of two images."""
    if (a.width, a.height) != (b.width, b.height):
        return 255
    return max(abs(x - y) for ra, rb in zip(a.pixels, b.pixels)
               for pa, pb in zip(ra, rb) for x, y in zip(pa, pb))


class WindowArt(unittest.TestCase):
    def test_every_slot_has_its_size_and_kind(self):
        for name, width, height, kind in SLOTS:
            with self.subTest(slot=name):
                self.assertTrue(os.path.isfile(path(name)), "missing")
                self.assertEqual(pngio.header(path(name)), (width, height, 8, kind, 0))
        expected = {name + ".png" for name, *_ in SLOTS}
        self.assertEqual(set(os.listdir(PNG_DIR)) - expected, set(), "pictures no slot uses")

    def test_fills_hold_exactly_the_layouts_colours(self):
        for name, rows in FILLS.items():
            with self.subTest(slot=name):
                self.assertEqual([row[0] for row in pngio.read(path(name)).pixels], rows)

    def test_no_picture_has_a_hole_and_corners_are_opaque(self):
        for name, *_ in SLOTS:
            pixels = [p for row in pngio.read(path(name)).pixels for p in row]
            with self.subTest(slot=name):
                self.assertFalse([p for p in pixels if p[3] > 0 and p[:3] == HOLE], "#FF00FF pixels")
                if name in OPAQUE:
                    self.assertTrue(all(p[3] == 255 for p in pixels), "see-through pixels")

    def test_stretched_pieces_have_no_seams(self):
        for name in STRETCHED:
            with self.subTest(slot=name):
                for row in pngio.read(path(name)).pixels:
                    self.assertEqual(len(set(row)), 1, row)

    def test_pictures_match_their_drawings(self):
        files, ico = render.render_all()
        pairs = [(name, pngio.decode(data, name), pngio.read(os.path.join(PNG_DIR, name)))
                 for name, data in files]
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
