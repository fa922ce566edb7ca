#!/usr/bin/env python3
"""End-to-end scenarios of what goes wrong and what the user can do then: a
full disk made for real, the reason line under the failure text, another
target chosen after a failure, presses that must not stop a generation,
closing while one runs, and a window that keeps its size (see harness.py for
how the tool is driven and observed).
"""
import contextlib
import hashlib
import os
import shutil
import subprocess
import sys

import harness
from harness import (GENERATE, PREFIX, Tool, WORK, art_rgba, check_archive, choose_in_save_dialog,
    click_generate, click_generate_elsewhere, desktop, desktop_files, held_install, make_install, register_install,
    run, save_window_shot, scenario, wait_for, windows_path)

ARCHIVE = "BRK_Portable.zip"


@contextlib.contextmanager
def small_desktop(size):
    """The Desktop on a file system of `size` (a tmpfs mounted on the Wine
    prefix's Desktop folder), so that the disk fills up for real. Yields a
    function that gives it another size; unmounts in any case."""
    folder = desktop()
    run("mount", "-t", "tmpfs", "-o", "size=%s,mode=0755" % size, "tmpfs", folder)
    try:
        yield lambda new_size: run("mount", "-o", "remount,size=%s" % new_size, folder)
    finally:
        if subprocess.run(["umount", folder]).returncode != 0:
            run("umount", "-l", folder)


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def incompressible_install():
    """About 800 KB that deflate cannot shrink: more than the small Desktop
    holds."""
    install = os.path.join(WORK, "installs", "incompressible")
    names = make_install(install, 40, 20000, binary=True)
    register_install(install)
    return install, names


def expect_readable_failure(tool, reason, shot_name):
    """The failed state as a user sees it: the failure text in a colour that
    reads on the background, the reason under it, the link under that."""
    tool.wait_state("failed")
    main, readable = tool.failure_text_contrast()
    assert main >= 4.5, "the failure text's contrast is %.2f : 1, below 4.5 : 1" % main
    assert readable >= 0.9, "only %d%% of the failure text's pixels reach 4.5 : 1" % (readable * 100)
    tool.expect_reason(reason)
    save_window_shot(tool, os.path.join(WORK, shot_name))


@scenario
def full_disk():
    """A Desktop too small for the archive, holding an earlier one: the
    generation ends in Try again and says the disk is full; the earlier
    archive is untouched and nothing else is left. With room again, Try
    again writes a good archive."""
    install, names = incompressible_install()
    tool = None
    with small_desktop("256k") as resize:
        earlier = os.path.join(desktop(), ARCHIVE)
        with open(earlier, "wb") as f:
            f.write(os.urandom(64 * 1024))
        kept = digest(earlier)
        try:
            tool = Tool("full_disk").start()
            click_generate(tool)
            expect_readable_failure(tool, "The disk is full: " + windows_path(desktop()), "failed-disk-full.png")
            assert desktop_files() == [ARCHIVE], "the failure left %r" % desktop_files()
            assert digest(earlier) == kept, "the earlier archive changed"

            resize("16m")
            click_generate_elsewhere(tool)
            tool.wait_state("succeeded")
            assert desktop_files() == [ARCHIVE], desktop_files()
            check_archive(earlier, install, names)
            tool.close()
        finally:
            if tool:
                tool.stop()


@scenario
def another_target():
    """After a failure the link stays: another target is chosen through the
    save dialog, and Try again writes the archive there."""
    install, names = incompressible_install()
    other = os.path.join(PREFIX, "drive_c", "e2e other target")
    shutil.rmtree(other, ignore_errors=True)
    os.makedirs(other)
    tool = None
    with small_desktop("64k"):
        try:
            tool = Tool("another_target").start()
            click_generate(tool)
            tool.wait_state("failed")
            choose_in_save_dialog(tool, windows_path(other) + "\\mine.zip")
            click_generate_elsewhere(tool)
            tool.wait_state("succeeded")
            check_archive(os.path.join(other, "mine.zip"), install, names)
            assert desktop_files() == [], "the failed attempt left %r" % desktop_files()
            tool.close()
        finally:
            if tool:
                tool.stop()
            shutil.rmtree(other, ignore_errors=True)


@scenario
def unreadable_file():
    """A file of the install that another program holds locked: the reason
    line names it, by its path below the install folder."""
    install = os.path.join(WORK, "installs", "locked")
    shutil.rmtree(install, ignore_errors=True)
    names = make_install(install, 12, 500)
    register_install(install)
    locked = "Data\\sub0\\file00001.txt"
    # A Windows program that opens the file with no sharing and waits.
    holder = subprocess.Popen(["wine", os.path.join(harness.BIN, "file_holder.exe"),
                               windows_path(os.path.join(install, locked.replace("\\", "/")))],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    tool = None
    try:
        assert holder.stdout.readline().strip() == b"held", "the file could not be locked"
        tool = Tool("unreadable_file").start()
        click_generate(tool)
        expect_readable_failure(tool, "A file is in use by another program: " + locked, "failed-file-in-use.png")
        assert desktop_files() == [], desktop_files()
        tool.close()
    finally:
        holder.stdin.close()
        holder.wait(timeout=30)
        if tool:
            tool.stop()
        shutil.rmtree(install, ignore_errors=True)


@scenario
def press_on_the_greyed_link():
    """While a generation runs, the greyed link lies over the large button:
    a press on it does not stop the generation."""
    install, names, hold = held_install()
    tool = Tool("press_on_the_greyed_link").start()
    try:
        click_generate(tool)
        tool.wait_state("running")
        # On the link's text and over the large picture button (from x 113).
        x, y = tool.link_point()
        tool.click(x + 100, y)
        # Hovering the Stop button afterwards shows its own picture only once
        # the press before it has been handled.
        bx, by = 14, 24
        over = art_rgba("imgBtnGen_Over", bx, by)[:3]
        tool.hover(GENERATE[0] + bx, GENERATE[1] + by)
        wait_for("the hovered Stop button", lambda: tool.shot().at(GENERATE[0] + bx, GENERATE[1] + by) == over,
                 timeout=20)
        assert tool.state() == "running", "the press on the greyed link stopped the generation"
        hold.release()
        tool.wait_state("succeeded")
        hold.settle()
        check_archive(os.path.join(desktop(), "BRK_Portable.zip"), install, names + ["hold.bin"])
        tool.close()
    finally:
        tool.stop()
        hold.remove()


@scenario
def alt_f4_while_running():
    """Alt+F4 during a generation acts as the close button does: the job
    stops, its partial archive goes, the tool ends."""
    _, _, hold = held_install()
    tool = Tool("alt_f4_while_running").start()
    try:
        click_generate(tool)
        tool.wait_state("running")
        wait_for("the partial archive", lambda: desktop_files() == [ARCHIVE + ".partial"], timeout=20)
        run("xdotool", "windowfocus", "--sync", tool.window)
        run("xdotool", "key", "--window", tool.window, "alt+F4")
        tool.expect_exit(0)
        assert desktop_files() == [], "closing left %r" % desktop_files()
    finally:
        tool.stop()
        hold.remove()


@scenario
def keeps_its_size():
    """Dragging the header's edges and corners moves the window at most; it
    never changes its 463 x 303 size (nor do maximizing and sizing through
    the system, which only the window tests of the form can ask for here)."""
    tool = Tool("keeps_its_size").start()

    def geometry():
        fields = dict(line.split("=", 1) for line in run("xdotool", "getwindowgeometry", "--shell",
                                                             tool.window).split())
        return int(fields["WIDTH"]), int(fields["HEIGHT"])
    try:
        # The top edge, the two corners and the two sides, inside the
        # rounded outline.
        bx, by = 14, 24
        over, normal = (art_rgba("imgBtnGen_" + state, bx, by)[:3] for state in ("Over", "Normal"))
        for x, y in ((200, 1), (4, 4), (459, 4), (1, 20), (460, 20)):
            run("xdotool", "mousemove", "--window", tool.window, str(x), str(y), "mousedown", "1")
            run("xdotool", "mousemove_relative", "--sync", "30", "-30")
            run("xdotool", "mouseup", "1")
            # The Generate button's hover, after the drag, shows once the drag
            # has been handled (a drag may move the window, or do nothing).
            for spot, look in (((GENERATE[0] + bx, GENERATE[1] + by), over), (harness.PARK, normal)):
                tool.hover(*spot)
                wait_for("the window to take the mouse again after the drag from (%d, %d)" % (x, y),
                         lambda: tool.shot().at(GENERATE[0] + bx, GENERATE[1] + by) == look, timeout=20)
            assert geometry() == (463, 303), "a drag from (%d, %d) made the window %r" % (x, y, geometry())
        tool.close()
    finally:
        tool.stop()


if __name__ == "__main__":
    sys.exit(harness.main())
