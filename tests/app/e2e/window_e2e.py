#!/usr/bin/env python3
"""End-to-end scenarios of the main window's everyday use: generating,
stopping, failing, choosing a target, opening its folder, languages, moving,
closing and the look (see harness.py for how the tool is driven and
observed). `window_e2e.py demo <install> <out>` is scripts/run's main job.
"""
import os
import shutil
import sys

import harness
from harness import (BACKGROUND, EMPTY_BACKGROUND, GENERATE, INFO, LINK_TEXT, PREFIX, PROGRESS,
    Tool, WORK, art_rgba, check_archive, choose_in_save_dialog, clean_desktop, click_generate,
    click_generate_elsewhere, desktop, desktop_files, expect_pixel, held_install, make_install, register_install,
    registered_install, run, save_window_shot, scenario, set_language, unregister_install, wait_for,
    windows_path)


@scenario
def generate():
    install, names = registered_install("thousands", 2000, 700)
    tool = Tool("generate").start()
    try:
        assert tool.state() == "idle", tool.state()
        tool.click(GENERATE[0] + 96, GENERATE[1] + 24)
        tool.wait_state("succeeded")
        archive = os.path.join(desktop(), "BRK_Portable.zip")
        assert desktop_files() == ["BRK_Portable.zip"], desktop_files()
        check_archive(archive, install, names)
        tool.close()
    finally:
        tool.stop()


def large_install():
    """Big enough that a generation is usually still running a while after
    it started."""
    install = os.path.join(WORK, "installs", "large")
    make_install(install, 600, 300 * 1024, binary=True)
    return install


@scenario
def stop():
    _, _, hold = held_install()
    tool = Tool("stop").start()
    try:
        click_generate(tool)
        tool.wait_state("running")
        click_generate_elsewhere(tool)
        tool.wait_state("idle")
        wait_for("the partial archive to go", lambda: desktop_files() == [], timeout=10)
        tool.close()
    finally:
        tool.stop()
        hold.remove()
    assert desktop_files() == [], desktop_files()


@scenario
def failure():
    unregister_install()
    tool = Tool("failure").start()
    try:
        click_generate(tool)
        tool.wait_state("failed")
        tool.expect_reason("The Brightkeep install folder was not found.")
        assert desktop_files() == [], "a failed generation left %r" % desktop_files()
        install, names = registered_install("small", 60, 2000)
        click_generate_elsewhere(tool)
        tool.wait_state("succeeded")
        check_archive(os.path.join(desktop(), "BRK_Portable.zip"), install, names)
        tool.close()
    finally:
        tool.stop()


@scenario
def save_dialog():
    install, names = registered_install("small", 60, 2000)
    spaced = os.path.join(PREFIX, "drive_c", "e2e target", "with spaces")
    shutil.rmtree(os.path.dirname(spaced), ignore_errors=True)
    os.makedirs(spaced)
    with open(os.path.join(desktop(), "old.zip"), "wb") as f:
        f.write(b"keep me")
    with open(os.path.join(spaced, "mine.zip"), "wb") as f:
        f.write(b"replace me")
    tool = Tool("save_dialog").start()
    try:
        # A bare name that exists on the Desktop: the dialog starts there, and
        # asks before overwriting.
        choose_in_save_dialog(tool, "old.zip", expect_prompt=True)
        # A typed full path in a folder with spaces becomes the target.
        choose_in_save_dialog(tool, windows_path(spaced) + "\\first.zip")
        # A bare name that exists in that folder: the dialog starts in the
        # folder last chosen.
        choose_in_save_dialog(tool, "mine.zip", expect_prompt=True)
        # Cancel changes nothing.
        choose_in_save_dialog(tool, None)
        click_generate(tool)
        tool.wait_state("succeeded")
        check_archive(os.path.join(spaced, "mine.zip"), install, names)
        assert not os.path.exists(os.path.join(spaced, "first.zip"))
        with open(os.path.join(desktop(), "old.zip"), "rb") as f:
            assert f.read() == b"keep me"
        tool.close()
    finally:
        tool.stop()
        shutil.rmtree(os.path.dirname(spaced), ignore_errors=True)


@scenario
def open_location():
    install, _ = registered_install("small", 60, 2000)
    # A comma as well: unquoted, Explorer would cut the path there.
    spaced = os.path.join(PREFIX, "drive_c", "e2e open", "a, b")
    shutil.rmtree(os.path.dirname(spaced), ignore_errors=True)
    os.makedirs(spaced)
    tool = Tool("open_location", explorer_stub=True).start()
    log = os.path.join(tool.folder, "explorer-args.txt")
    try:
        target = windows_path(spaced) + "\\BK portable.zip"
        choose_in_save_dialog(tool, target)
        click_generate(tool)
        tool.wait_state("succeeded")
        for clicks in (1, 2):
            # Apart by more than a double-click's reach: two clicks, not one
            # double-click.
            tool.click(GENERATE[0] + 40 + 60 * clicks, GENERATE[1] + 24)
            wait_for("Explorer to be started", lambda: os.path.exists(log) and
                     len(open(log, encoding="utf-8").read().splitlines()) == clicks, timeout=20)
        lines = open(log, encoding="utf-8").read().splitlines()
        expected = '/select,"%s"' % target
        for line in lines:
            assert line.endswith(" " + expected), "Explorer got %r, want ...%r" % (line, expected)
        assert tool.state() == "succeeded"
        tool.close()
    finally:
        tool.stop()
        shutil.rmtree(os.path.dirname(spaced), ignore_errors=True)


def text_regions(tool):
    shot = tool.shot()
    regions = []
    for left, top, width, height in (GENERATE, INFO, LINK_TEXT):
        regions.append(bytes(b for y in range(top, top + height)
                             for x in range(left, left + width) for b in shot.at(x, y)))
    return regions


@scenario
def languages():
    def texts(name, language, with_folder=True):
        set_language(language)
        tool = Tool(name, languages=with_folder).start()
        try:
            regions = text_regions(tool)
            tool.close()
            return regions
        finally:
            tool.stop()
    english = texts("lang_en", "English")
    german = texts("lang_de", "German")
    bare = texts("lang_none", "German", with_folder=False)
    for what, e, g in zip(("button", "information", "link"), english, german):
        assert e != g, "the German window shows the English %s" % what
    assert bare == english, "without a language folder the window does not show the layout's texts"


@scenario
def moving():
    tool = Tool("moving").start()
    try:
        for what, (x, y) in (("background", EMPTY_BACKGROUND), ("caption", (150, 20)), ("header", (380, 20))):
            before = tool.origin()
            run("xdotool", "mousemove", "--window", tool.window, str(x), str(y), "mousedown", "1")
            run("xdotool", "mousemove_relative", "--sync", "40", "30")
            run("xdotool", "mousemove_relative", "--sync", "20", "10")
            run("xdotool", "mouseup", "1")
            want = (before[0] + 60, before[1] + 40)
            wait_for("the window to move by the drag from the " + what, lambda: tool.origin() == want, timeout=10)
        tool.close()
    finally:
        tool.stop()


@scenario
def close_while_running():
    _, _, hold = held_install()
    tool = Tool("close_while_running").start()
    try:
        click_generate(tool)
        tool.wait_state("running")
        tool.close()
        assert desktop_files() == [], "closing left %r" % desktop_files()
    finally:
        tool.stop()
        hold.remove()


@scenario
def double_click():
    install, names = registered_install("thousands", 2000, 700)
    tool = Tool("double_click").start()
    try:
        click_generate(tool, repeat=2)
        tool.wait_state("succeeded")
        check_archive(os.path.join(desktop(), "BRK_Portable.zip"), install, names)
        tool.close()
    finally:
        tool.stop()


def demo(install, out):
    """What scripts/run does without a display: the tool's main job as a
    user does it, with the install registered by the caller."""
    os.makedirs(out, exist_ok=True)
    names = []
    for root, _, files in os.walk(install):
        names += [os.path.relpath(os.path.join(root, f), install).replace(os.sep, "/") for f in files]
    clean_desktop()
    tool = Tool("demo").start()
    try:
        save_window_shot(tool, os.path.join(out, "window-idle.png"))
        click_generate(tool)
        tool.wait_state("succeeded", timeout=300)
        save_window_shot(tool, os.path.join(out, "window-finished.png"))
        archive = os.path.join(desktop(), "BRK_Portable.zip")
        check_archive(archive, install, names)
        kept = os.path.join(out, "BRK_Portable.zip")
        shutil.copy(archive, kept)
        tool.close()
    finally:
        tool.stop()
    print("run: the window reached \"Open file location\"; the independent readers accept the archive")
    print("run: screenshots of the idle and finished window: %s, %s" % (
        os.path.join(out, "window-idle.png"), os.path.join(out, "window-finished.png")))
    print("run: the archive: %s (the tool wrote it to %s)" % (kept, archive))


@scenario
def look():
    register_install(large_install())
    tool = Tool("look").start()
    try:
        shot = tool.shot()
        expect_pixel(shot, *EMPTY_BACKGROUND, BACKGROUND, "the background")
        for row, colour in ((0, (0x17, 0x20, 0x2F)), (1, (0x20, 0x29, 0x38)), (20, (0x17, 0x18, 0x1A)),
                            (39, (0x33, 0x38, 0x3B))):
            expect_pixel(shot, 380, row, colour, "header row %d" % row)
        # Outside the rounded outline: black under Wine (a window region and
        # a colour key together), never the window's own colours.
        for x, y in ((0, 0), (461, 0), (0, 301), (461, 301), (462, 150), (200, 302)):
            expect_pixel(shot, x, y, (0, 0, 0), "outside the rounded outline")
        expect_pixel(shot, 3, 150, BACKGROUND, "inside the outline")
        # The Generate button, normal and hovered: its own pictures.
        bx, by = 14, 24
        for state, hover in (("Normal", False), ("Over", True)):
            want = art_rgba("imgBtnGen_" + state, bx, by)
            assert want[3] == 255, "pick an opaque point of the button picture"
            if hover:
                tool.hover(GENERATE[0] + bx, GENERATE[1] + by)
                wait_for("the hovered picture", lambda: tool.shot().at(GENERATE[0] + bx, GENERATE[1] + by) == want[:3],
                         timeout=10)
            else:
                expect_pixel(shot, GENERATE[0] + bx, GENERATE[1] + by, want[:3], "the Generate button")
        assert art_rgba("imgBtnGen_Normal", bx, by) != art_rgba("imgBtnGen_Over", bx, by)
        # The progress bar while running: its filled part begins with the
        # bar's left cap; the track's right end is the track's picture.
        cap = art_rgba("imgProgress_bar_left", 2, 8)
        assert cap[3] == 255
        click_generate(tool)
        wait_for("the bar's filled part", lambda: tool.shot().at(PROGRESS[0] + 2, PROGRESS[1] + 8) == cap[:3],
                 timeout=60)
        # Whether the job is still running or not, the close button ends it.
        tool.close()
    finally:
        tool.stop()


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "demo":
        demo(sys.argv[2], sys.argv[3])
        sys.exit(0)
    sys.exit(harness.main())
