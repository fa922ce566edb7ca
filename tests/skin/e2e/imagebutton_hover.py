#!/usr/bin/env python3
"""Moves the real X pointer onto an image button and off it again, and reads
the button's pixels back from the screen: the over picture while the pointer
is on it, the normal one after it leaves (to the window's background, and out
of the window altogether); a real click then closes the window.

Usage: imagebutton_hover.py <ImageButtonWindow.exe>; needs the Wine session
(DISPLAY, WINEPREFIX) that the test run provides."""
import re
import subprocess
import sys
import time

NORMAL, OVER = "0000FF", "FF0000"
TITLE = "^Image button hover$"


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, timeout=30).stdout


def wait_for(what, condition, seconds=20.0):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    sys.exit(f"FAILED: {what}")


def pixel(x, y):
    text = run("import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-")
    match = re.search(r"#([0-9A-Fa-f]{6})", text)
    return match.group(1).upper() if match else None


def main():
    window_exe = sys.argv[1]
    program = subprocess.Popen(["wine", window_exe], stdin=subprocess.DEVNULL)
    try:
        window = wait_for("the window shows",
                          lambda: run("xdotool", "search", "--onlyvisible", "--name", TITLE).split())[0]
        geometry = dict(line.split("=") for line in
                        run("xdotool", "getwindowgeometry", "--shell", window).split())
        left, top = int(geometry["X"]), int(geometry["Y"])
        # The button covers (50, 30) to (150, 70) of the window; its caption
        # sits in the middle, so its picture is read near the left edge.
        centre = (left + 54, top + 34)

        def move(x, y):
            run("xdotool", "mousemove", "--window", window, str(x), str(y))

        def shows(colour, what):
            wait_for(f"{what}: expected #{colour}, last saw #{pixel(*centre)}",
                     lambda: pixel(*centre) == colour)
            print(f"ok: {what} (#{colour})")

        move(10, 10)
        shows(NORMAL, "painted, pointer elsewhere")
        move(100, 50)
        shows(OVER, "pointer on the button")
        move(20, 90)
        shows(NORMAL, "pointer on the window beside the button")
        move(60, 40)
        shows(OVER, "pointer back on the button")
        run("xdotool", "mousemove", str(left + 400), str(top + 300))
        shows(NORMAL, "pointer out of the window")
        move(100, 50)
        shows(OVER, "pointer on the button once more")
        run("xdotool", "click", "1")
        program.wait(timeout=20)
        if program.returncode != 0:
            sys.exit(f"FAILED: the window's program ended with {program.returncode}")
        print("ok: a click on the button closed the window")
    finally:
        if program.poll() is None:
            program.kill()


if __name__ == "__main__":
    main()
