#!/usr/bin/env python3
"""End-to-end scenarios of the main window as a screen reader sees it: a
Windows program of ours (AccessibilityProbe.cpp) finds the real tool's
window from another process, walks its accessible children through the
system's accessibility library, listens to its events and presses Generate
through the default action (see harness.py for how the tool is driven)."""
import os
import subprocess
import sys
import threading

import harness
from harness import (BIN, CLOSE_BUTTON, GENERATE, LINK_TEXT, PROGRESS, INFO, Tool, check_archive, desktop,
    registered_install, run, scenario, set_language, wait_for)

PROBE = os.path.join(BIN, "accessibility_probe.exe")

# The system's roles and states (oleacc.h).
ROLE_CLIENT, ROLE_STATICTEXT, ROLE_LINK, ROLE_PUSHBUTTON, ROLE_PROGRESSBAR = 0x0A, 0x29, 0x1E, 0x2B, 0x30
FOCUSED, UNAVAILABLE, READONLY, INVISIBLE, LINKED, FOCUSABLE = 0x4, 0x1, 0x40, 0x8000, 0x400000, 0x100000


def probe(*args):
    def once():
        return subprocess.run(["wine", PROBE] + list(args), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=120)
    r = once()
    if r.returncode != 0 and not r.stdout:
        # Wine failed to start it (scripts/lib/wine-test-run): the probe
        # prints before it fails, and a press it failed to make was not made.
        harness.note_retry("the probe %r: code %d, %s" % (args, r.returncode, r.stderr.decode(errors="replace")[-300:]))
        r = once()
    out = r.stdout.decode("utf-8")
    assert r.returncode == 0, "the probe %r failed: %s %s" % (args, out, r.stderr.decode(errors="replace")[-500:])
    return out


class Listener:
    """A probe that runs beside the scenario, its lines gathered as they come."""

    def __init__(self, *args):
        self.lines = []
        self.process = subprocess.Popen(["wine", PROBE] + list(args), stdin=subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.reader = threading.Thread(target=self.read, daemon=True)
        self.reader.start()

    def read(self):
        for raw in self.process.stdout:
            self.lines.append(raw.decode("utf-8").rstrip("\n"))

    def saw(self, line):
        return line in self.lines

    def finish(self, timeout=60):
        self.process.wait(timeout=timeout)
        self.reader.join(timeout=10)
        return self.lines


def walk():
    """The client area's row and its children's rows, as dictionaries."""
    rows = []
    for line in probe("walk").splitlines():
        ident, role, name, state, value, place, action = line.split("\t")
        rows.append({"id": int(ident), "role": int(role, 16), "name": name, "state": int(state, 16),
                     "value": value, "place": tuple(int(v) for v in place.split(",")), "action": action})
    return rows[0], rows[1:]


def check_controls(tool, generate, link, close, info_start):
    window, children = walk()
    assert window["role"] == ROLE_CLIENT and window["name"] == harness.TITLE, window
    by_role = [(c["role"], c["name"]) for c in children]
    assert [r for r, _ in by_role] == [ROLE_PUSHBUTTON, ROLE_STATICTEXT, ROLE_STATICTEXT, ROLE_LINK,
                                       ROLE_PUSHBUTTON, ROLE_PROGRESSBAR], by_role
    gen, info, reason, path_link, close_button, progress = children
    assert gen["name"] == generate and gen["action"], gen
    assert info["name"].startswith(info_start), info
    assert path_link["name"] == link and path_link["state"] & LINKED and path_link["action"], path_link
    assert close_button["name"] == close, close_button
    # Generate has the focus at start; the three can all take it.
    assert gen["state"] & FOCUSED, gen
    for c in (gen, path_link, close_button):
        assert c["state"] & FOCUSABLE and not c["state"] & (UNAVAILABLE | INVISIBLE), c
    assert progress["state"] & INVISIBLE and progress["value"].endswith("%"), progress
    assert info["state"] & READONLY, info
    # The line that says why a generation failed shows only after a failure.
    assert reason["state"] & INVISIBLE and reason["name"] == "", reason
    # Places on the screen: the layout's, from the window's corner.
    x, y = tool.origin()
    for child, (left, top, width, height) in ((gen, GENERATE), (path_link, (18, 96, 395, 20)),
                                             (close_button, (423, 2, 35, 28)), (progress, PROGRESS)):
        assert child["place"] == (x + left, y + top, width, height), (child["name"], child["place"], x, y)
    return children


@scenario
def controls():
    for language, names in (("English", ("Generate", "click here to change the default path.", "Close",
                                         "By clicking the Generate button")),
                            ("German", ("Erstellen", "klicken Sie hier, um den Standardpfad zu ändern.",
                                        "Schließen", ""))):
        set_language(language)
        tool = Tool("acc_controls_" + language).start()
        try:
            check_controls(tool, *names)
        finally:
            tool.stop()


@scenario
def generate():
    install, names = registered_install("small", 60, 2000)
    tool = Tool("acc_generate").start()
    try:
        listener = Listener("watch", "120000")
        wait_for("the probe to listen", lambda: listener.saw("ready"), timeout=30)
        # The focus moves to the link: a focus event names it.
        run("xdotool", "windowfocus", "--sync", tool.window)
        run("xdotool", "key", "Tab")
        wait_for("the focus event", lambda: any(l.startswith("focus\t4\tclick here") for l in listener.lines),
                 timeout=20)
        assert "pressed\t0" in probe("press", "Generate")
        tool.wait_state("succeeded")
        check_archive(os.path.join(desktop(), "BRK_Portable.zip"), install, names)
        _, children = walk()
        assert children[0]["name"] == "Open file location", children[0]
        assert children[3]["state"] & INVISIBLE, "the link shows after a generation: %r" % children[3]
        tool.click(*CLOSE_BUTTON)
        tool.expect_exit(0)
        lines = listener.finish()
        # The probe reads the name and value when it gets to an event, which
        # may be after later changes: it counts the events and reads what it
        # can.
        events = [tuple(l.split("\t")[:2]) for l in lines]
        assert events.count(("name", "1")) >= 2, "Generate's two new captions were not announced: %r" % lines
        assert ("name", "2") in events, "the success text was not announced: %r" % lines
        assert events.count(("value", "6")) >= 2, "the progress was not announced: %r" % lines
    finally:
        tool.stop()


@scenario
def after_close():
    """A reader that still holds the window's object when the window goes
    gets a failure from it (which one depends on whether the tool's process
    has ended yet), and neither side hangs or crashes."""
    tool = Tool("acc_after_close").start()
    try:
        holder = Listener("hold")
        wait_for("the probe to hold the object", lambda: holder.saw("held"), timeout=30)
        tool.click(*CLOSE_BUTTON)
        tool.expect_exit(0)
        lines = holder.finish()
        after = [l for l in lines if l.startswith("after\t")]
        assert after and int(after[0].split("\t")[1], 16) & 0x80000000, lines
        assert tool.process.returncode == 0, tool.process.returncode
    finally:
        tool.stop()


if __name__ == "__main__":
    sys.exit(harness.main())
