#!/usr/bin/env python3
"""The window on screens of 120, 144 and 192 dots per inch (125, 150 and
200 %), end to end: the real tool under Wine in a prefix of its own whose
display resolution is set through the registry before the tool starts
(harness.use_prefix), observed only through the screen. At each, the window
has the scaled size; the one-pixel fills have their exact colours at their
scaled places and are whole lines; the Generate button is drawn from the
pictures made for that scale, its border a sharp step; the caption's text
is as tall as the scale makes it; and a click where Generate now is
generates a complete archive.

Usage: dpi_e2e.py <scenario> (see harness.py)."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import (BACKGROUND, GENERATE, WORK, Tool, caption_pixel, check_archive, desktop,  # noqa: E402
                     registered_install, save_window_shot, scale_value, scenario, wait_for)

sys.path.insert(0, os.path.dirname(harness.ART))
import pngio  # noqa: E402
import render  # noqa: E402

OUTLINE = (0x17, 0x20, 0x2F)
HEADER_ROWS = [(0x17, 0x20, 0x2F), (0x20, 0x29, 0x38), (0x17, 0x18, 0x1A), (0x33, 0x38, 0x3B)]
# The Generate caption's ink (from the top of its capitals to the bottom of
# the "p") is 13 rows at 96 dpi. Tahoma's hinting fits its outlines to the
# pixel grid differently at each size (measured under Wine: 17, 20 and 28
# rows at 120, 144 and 192 dpi), so the scaled height holds within 12 %;
# text left at its 96 dpi size would be half as tall at 192.
CAPTION_INK_96 = 13


def art(name, dpi):
    """The committed picture drawn for the scale of `dpi`."""
    percent = dpi * 100 // 96
    return pngio.read(os.path.join(os.path.dirname(harness.ART), render.set_folder(percent), name + ".png"))


def expect(got, want, what):
    assert tuple(got) == tuple(want), "%s: %r, want %r" % (what, tuple(got), tuple(want))


def check_window_at(dpi):
    s = lambda v: scale_value(v, dpi)  # noqa: E731
    line = s(1)
    stop_prefix = harness.use_prefix(os.path.join(WORK, "prefix-%d-dpi" % dpi), dpi)
    try:
        harness.clean_desktop()
        install, names = registered_install("dpi", 40, 3000)
        tool = Tool("dpi%d" % dpi, dpi=dpi).start()
        try:
            # The window's size.
            fields = dict(entry.split("=", 1) for entry in harness.run(
                "xdotool", "getwindowgeometry", "--shell", tool.window).split())
            expect((int(fields["WIDTH"]), int(fields["HEIGHT"])), (s(463), s(303)), "the window's size")
            shot = tool.shot()
            save_window_shot(tool, os.path.join(WORK, "window-%d-dpi.png" % dpi))

            # The header's rows: its one-pixel lines one line thick each, of
            # their exact colours, the body between them.
            x = s(380)
            header = s(40)
            bands = [HEADER_ROWS[0]] * line + [HEADER_ROWS[1]] * line + \
                [HEADER_ROWS[2]] * (header - 3 * line) + [HEADER_ROWS[3]] * line
            expect([shot.at(x, y) for y in range(header)], bands, "the header's rows at x %d" % x)
            # The left border line, the bottom strip's last line and the right
            # border line: whole lines of the outline's colour, the background
            # inside them, and nothing of the window beyond them.
            y = s(150)
            expect([shot.at(x, y) for x in range(line + 1)], [OUTLINE] * line + [BACKGROUND], "the left border")
            bottom = s(295) + s(6)
            column = [shot.at(s(200), y) for y in range(bottom - line - 1, bottom + 1)]
            expect(column, [BACKGROUND] + [OUTLINE] * line + [(0, 0, 0)], "the bottom line")
            right = s(460)
            row = [shot.at(x, y) for x in range(right - 1, right + line + 1)]
            assert row[0] == BACKGROUND and len(set(row[1:-1])) == 1 and row[1] != BACKGROUND \
                and row[-1] == (0, 0, 0), "the right border line at y %d: %r" % (y, row)
            expect(shot.at(0, 0), (0, 0, 0), "outside the rounded corner")

            # The Generate button: the picture drawn for this scale, pixel for
            # pixel, and its border a step from one colour to the next within
            # one pixel, across its left and top edges.
            picture = art("imgBtnGen_Normal", dpi)
            left, top = s(GENERATE[0]), s(GENERATE[1])
            for px, py in ((s(14), s(24)), (picture.width // 2, line), (line, picture.height // 2)):
                want = picture.pixels[py][px]
                assert want[3] == 255, "an opaque point of the picture"
                expect(shot.at(left + px, top + py), want[:3], "the Generate button at (%d, %d)" % (px, py))
            border = picture.pixels[picture.height // 2][0][:3]
            middle = top + picture.height // 2
            across = [shot.at(x, middle) for x in range(left - 2, left + line + 1)]
            expect(across[2:2 + line], [border] * line, "the button's left border")
            assert across[0] == across[1] != border and across[-1] != border, \
                "no step within one pixel across the left edge: %r" % across
            down = [shot.at(left + picture.width // 2, y) for y in range(top - 2, top + line + 1)]
            expect(down[2:2 + line], [border] * line, "the button's top border")
            assert all(abs(a - b) <= 3 for a, b in zip(down[0], down[1])) and down[1] != border, \
                "no step within one pixel across the top edge: %r" % down

            # The caption's text, as tall as the scale makes it.
            width, height = s(GENERATE[2]), s(GENERATE[3])
            rows = [y for y in range(top, top + height)
                    if any(caption_pixel(shot.at(x, y)) for x in range(left, left + width))]
            ink = max(rows) - min(rows) + 1 if rows else 0
            want = s(CAPTION_INK_96)
            assert abs(ink - want) <= max(1, want * 0.12), "the caption is %d rows high, %d expected" % (ink, want)

            # A click where Generate is now makes the archive.
            tool.click(left + width // 2, top + height // 2)
            zip_path = os.path.join(desktop(), "BRK_Portable.zip")
            wait_for("the archive", lambda: os.path.exists(zip_path) and not os.path.exists(zip_path + ".partial"),
                     timeout=120)
            wait_for("the Open file location caption", lambda: caption_wider(tool, left, top, width, height),
                     timeout=60)
            check_archive(zip_path, install, names)
            tool.click(*tool.place(440, 16))
            tool.expect_exit(0)
        finally:
            tool.stop()
    finally:
        harness.clean_desktop()
        stop_prefix()


def caption_wider(tool, left, top, width, height):
    """Whether the button's caption is as wide as "Open file location" is,
    rather than "Generate" or "Stop"."""
    shot = tool.shot()
    xs = [x for y in range(top, top + height) for x in range(left, left + width) if caption_pixel(shot.at(x, y))]
    return xs and max(xs) - min(xs) > width * 0.6


@scenario
def dpi_120():
    check_window_at(120)


@scenario
def dpi_144():
    check_window_at(144)


@scenario
def dpi_192():
    check_window_at(192)


if __name__ == "__main__":
    sys.exit(harness.main())
