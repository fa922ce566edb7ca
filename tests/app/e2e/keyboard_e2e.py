#!/usr/bin/env python3
"""End-to-end scenarios of the main window used with the keyboard alone:
real key presses (xdotool key) on the real tool under Wine generate, stop,
open the archive's folder, choose another target in the save dialog and
close, and the focus cue is seen where the keyboard has put the focus (see
harness.py for how the tool is driven and observed)."""
import os
import shutil
import sys

import harness
from harness import (BACKGROUND, GENERATE, LINK_TEXT, PREFIX, Tool, WORK, art_rgba, check_archive,
    desktop, desktop_files, expect_pixel, register_install, registered_install, run, save_as_windows,
    save_window_shot, scenario, wait_for, windows_path)
from window_e2e import large_install

# The focus ring's colour and where each control's ring passes: two pixels
# wide, one pixel of background away from a picture button, around a link's
# letters, and inside the close button, which sits at the window's edge.
RING = (0xB3, 0xE7, 0xFF)
RING_AT = {
    "generate": (GENERATE[0] - 2, GENERATE[1] + 24),
    "link": (LINK_TEXT[0] - 4, LINK_TEXT[1] + 7),
    "close": (424, 16),
}


def focus_window(tool):
    """Without a window manager the X input focus is given by hand, as a
    window manager gives it to a window that comes up."""
    run("xdotool", "windowfocus", "--sync", tool.window)


def key(*names):
    run("xdotool", "key", "--delay", "60", *names)


def ring_at(shot):
    """Which control's focus ring shows (None for none; two is a fault)."""
    shown = [name for name, (x, y) in RING_AT.items() if shot.at(x, y) == RING]
    assert len(shown) <= 1, "more than one focus ring: %r" % shown
    return shown[0] if shown else None


def wait_ring(tool, wanted):
    seen = []

    def reached():
        seen.append(ring_at(tool.shot()))
        return seen[-1] == wanted
    try:
        wait_for("the focus ring on %s" % wanted, reached, timeout=10, step=0.1)
    except AssertionError:
        raise AssertionError("the focus ring is on %s, want %s" % (seen[-1], wanted))


@scenario
def generate_stop_close():
    register_install(large_install())
    tool = Tool("kb_generate_stop_close").start()
    try:
        focus_window(tool)
        # Space held on Generate: the button and its large picture look
        # pressed, without the pointer anywhere near them.
        run("xdotool", "keydown", "space")
        gx, gy = 14, 24
        down = art_rgba("imgBtnGen_Down", gx, gy)
        wait_for("Generate to look pressed",
                 lambda: tool.shot().at(GENERATE[0] + gx, GENERATE[1] + gy) == down[:3], timeout=10)
        bx, by = 111, 70
        big = art_rgba("btnBg_Down", bx, by)
        assert big[3] == 255 and big != art_rgba("btnBg_Normal", bx, by)
        expect_pixel(tool.shot(), 113 + bx, 83 + by, big[:3], "the large picture, pressed with Generate")
        run("xdotool", "keyup", "space")
        tool.wait_state("running")
        # Generate reads Stop now and still has the focus.
        key("space")
        tool.wait_state("idle")
        wait_for("the partial archive to go", lambda: desktop_files() == [], timeout=10)
        # Enter generates as Space does.
        install, names = registered_install("small", 60, 2000)
        key("Return")
        tool.wait_state("succeeded")
        check_archive(os.path.join(desktop(), "BRK_Portable.zip"), install, names)
        # Esc does what the close button does.
        key("Escape")
        tool.expect_exit(0)
    finally:
        tool.stop()


@scenario
def open_location():
    registered_install("small", 60, 2000)
    tool = Tool("kb_open_location", explorer_stub=True).start()
    log = os.path.join(tool.folder, "explorer-args.txt")
    try:
        focus_window(tool)
        key("Return")
        tool.wait_state("succeeded")
        for presses in (1, 2):
            key("Return")
            wait_for("Explorer to be started", lambda: os.path.exists(log) and
                     len(open(log, encoding="utf-8").read().splitlines()) == presses, timeout=20)
        target = windows_path(os.path.join(desktop(), "BRK_Portable.zip"))
        for line in open(log, encoding="utf-8").read().splitlines():
            assert line.endswith(' /select,"%s"' % target), "Explorer got %r" % line
        # Alt+F4 still closes the window.
        key("alt+F4")
        tool.expect_exit(0)
    finally:
        tool.stop()


@scenario
def save_dialog():
    install, names = registered_install("small", 60, 2000)
    folder = os.path.join(PREFIX, "drive_c", "e2e keyboard", "target")
    shutil.rmtree(os.path.dirname(folder), ignore_errors=True)
    os.makedirs(folder)
    tool = Tool("kb_save_dialog").start()
    try:
        focus_window(tool)
        # Tab to the link, Enter opens the save dialog.
        key("Tab", "Return")
        dialog = wait_for("the save dialog", save_as_windows, timeout=30)[0]
        run("xdotool", "windowfocus", "--sync", dialog)
        run("xdotool", "key", "--window", dialog, "ctrl+a")
        run("xdotool", "type", "--window", dialog, "--delay", "20", windows_path(folder) + "\\keys.zip")
        run("xdotool", "key", "--window", dialog, "Return")
        wait_for("the save dialog to close", lambda: not save_as_windows(), timeout=20)
        # Back in the window the link still has the focus: Shift+Tab goes
        # back to Generate.
        focus_window(tool)
        wait_ring(tool, "link")
        key("shift+Tab", "space")
        tool.wait_state("succeeded")
        check_archive(os.path.join(folder, "keys.zip"), install, names)
        assert desktop_files() == [], desktop_files()
    finally:
        tool.stop()
        shutil.rmtree(os.path.dirname(folder), ignore_errors=True)


@scenario
def focus_cue():
    tool = Tool("kb_focus_cue").start()
    shots = os.path.join(WORK, "kb_focus_cue")
    os.makedirs(shots, exist_ok=True)
    try:
        focus_window(tool)
        # Hidden until the keyboard is used, though Generate has the focus.
        shot = tool.shot()
        assert ring_at(shot) is None, "a focus ring shows before any key"
        expect_pixel(shot, *RING_AT["generate"], BACKGROUND, "beside Generate before any key")
        save_window_shot(tool, os.path.join(shots, "0-start.png"))
        # Tab moves it through Generate, the link and the close button, and
        # round; Shift+Tab goes back.
        for step, (keys, wanted) in enumerate(((["Tab"], "link"), (["Tab"], "close"), (["Tab"], "generate"),
                                               (["shift+Tab"], "close"), (["shift+Tab"], "link"),
                                               (["shift+Tab"], "generate")), 1):
            key(*keys)
            wait_ring(tool, wanted)
            save_window_shot(tool, os.path.join(shots, "%d-%s.png" % (step, wanted)))
        # While a generation runs the link is disabled, and Tab passes it by.
        register_install(large_install())
        key("space")
        tool.wait_state("running")
        key("Tab")
        wait_ring(tool, "close")
        key("Tab")
        wait_ring(tool, "generate")
        save_window_shot(tool, os.path.join(shots, "9-running.png"))
        key("space")
        tool.wait_state("idle")
    finally:
        tool.stop()


if __name__ == "__main__":
    sys.exit(harness.main())
