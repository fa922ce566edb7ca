#!/usr/bin/env python3
"""The harness of the window's end-to-end tests: starts the built
BRKPortable.exe under Wine, finds its window, drives it with real X input
(xdotool) and observes it only as a user can: pixels of screenshots,
windows, and files on disk. The scenarios live in the *_e2e.py files beside
it; each registers its functions with @scenario and ends with
`sys.exit(harness.main())`.

Usage: <scenarios>.py <scenario>   (inside a Wine session: WINEPREFIX and
DISPLAY set, as scripts/test and scripts/lib/wine-session.sh make them).
BRK_BIN names the build's bin folder, BRK_E2E_WORK a scratch folder.
Every wait polls a condition; none sleeps a fixed time.

The tool is started through Wine's cmd, which reports its exit code the
Windows way (all 32 bits; the Unix status of a Wine process keeps only the
low byte), so that a tool that crashes while it closes fails the scenario.
"""
import json
import os
import random
import re
import signal
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import traceback
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK_ARCHIVES = os.path.join(HERE, "..", "..", "archive", "check_archives.py")
SESSION_SCRIPT = os.path.join(HERE, "..", "..", "..", "scripts", "lib", "wine-session.sh")
BIN = os.environ.get("BRK_BIN", "")
WORK = os.environ.get("BRK_E2E_WORK", "")
PREFIX = os.environ.get("WINEPREFIX", "")
USER = os.environ.get("USER") or subprocess.run(["id", "-un"], stdout=subprocess.PIPE, text=True).stdout.strip()
TITLE = "Brightkeep Portable"
# Printed by cmd after the tool has ended, before its exit code.
EXIT_MARK = "brk-exit-code="
KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Brightkeep 8_is1"

# Client coordinates of the layout's parts (left, top, width, height).
BACKGROUND = (11, 12, 18)
GENERATE = (126, 214, 192, 48)
PROGRESS = (130, 268, 187, 17)
LINK_TEXT = (18, 99, 395, 16)
# Where the link may be: under the information text, and after a failure
# lower, under the reason line.
LINK_AREA = (18, 99, 395, 41)
INFO = (18, 55, 395, 40)
# The failure text and the reason line under it, down to the link.
FAILURE_AREA = (18, 55, 395, 60)
INFO_PALE = (0xD4, 0xE7, 0xF1)
FAILURE_RED = (0xFF, 0x5C, 0x5C)
# The window's text font, for drawing the texts a line must show.
TAHOMA = "/usr/share/wine/fonts/tahoma.ttf"
CLOSE_BUTTON = (440, 16)
EMPTY_BACKGROUND = (60, 200)
# Where the pointer rests when it should hover nothing.
PARK = (30, 285)
ART = os.path.join(HERE, "..", "..", "..", "src", "app", "art", "png")
sys.path.insert(0, os.path.dirname(ART))
from render import scale_value  # noqa: E402  the window's one rounding rule


def run(*cmd, check=True):
    r = subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if check and r.returncode != 0:
        raise AssertionError("%r failed (%d): %s" % (cmd, r.returncode, r.stderr.decode(errors="replace")[-500:]))
    return r.stdout.decode(errors="replace")


def wait_for(what, condition, timeout=60.0, step=0.2):
    end = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(step)


def windows_path(path):
    return run_wine("winepath", "-w", path).strip()


def relative_luminance(rgb):
    """WCAG 2 relative luminance of an sRGB colour."""
    def linear(c):
        c /= 255.0
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    """WCAG 2 contrast ratio of two colours (1 to 21)."""
    la, lb = sorted((relative_luminance(a), relative_luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def text_mask(text, height=12):
    """The text as the window draws it in Tahoma at `height` pixels (Wine
    draws it without smoothing): (width, height, set of lit (x, y))."""
    # A label's text takes "\\" for a backslash and "%%" for a percent sign.
    literal = text.replace("\\", "\\\\").replace("%", "%%")
    data = subprocess.run(["convert", "-background", "black", "-fill", "white", "-font", TAHOMA, "+antialias",
                           "-density", "72", "-pointsize", str(height), "label:" + literal, "-trim", "+repage",
                           "-depth", "8", "ppm:-"], stdout=subprocess.PIPE, check=True).stdout
    image = Pixels(data)
    lit = {(x, y) for y in range(image.height) for x in range(image.width) if image.at(x, y)[0] > 127}
    return image.width, image.height, lit


def desktop():
    return os.path.join(PREFIX, "drive_c", "users", USER, "Desktop")


def settings_file():
    return os.path.join(PREFIX, "drive_c", "users", USER, "AppData", "Roaming", "Halvane",
                        "Brightkeep V8", "Main.ini")


def set_language(language):
    path = settings_file()
    if language is None:
        if os.path.exists(path):
            os.remove(path)
        return
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(("[Main]\r\nLanguage=%s\r\n" % language).encode())


def register_install(folder):
    location = windows_path(folder)
    reg("add", KEY, "/v", "InstallLocation", "/t", "REG_SZ", "/d", location, "/reg:32", "/f")


def unregister_install():
    run("wine", "reg", "delete", KEY, "/reg:32", "/f", check=False)


def reg(*args):
    return run_wine("wine", "reg", *args)


def run_wine(*cmd):
    """Runs a Wine command that does no harm when repeated. Now and then
    Wine fails to start a process at all (scripts/lib/wine-test-run): a
    failed run is noted where the test command lists such retries and made
    once more; a second failure fails the test."""
    try:
        return run(*cmd)
    except AssertionError as failure:
        note_retry(str(failure))
        return run(*cmd)


def note_retry(what):
    print("started once more: " + what)
    if os.environ.get("BRK_WINE_RETRY_LOG"):
        with open(os.environ["BRK_WINE_RETRY_LOG"], "a") as f:
            f.write("%s; started once more\n" % what.replace("\n", " | "))


def make_install(folder, files, size, binary=False):
    """An install of `files` files in nested folders; returns their relative
    paths. Built once per folder and kept for later runs."""
    marker = os.path.join(folder, ".complete")
    names = ["%s/sub%d/file%05d.%s" % ("Data" if i % 3 else "Bin", (i // 7) % 6, i, "bin" if binary else "txt")
             for i in range(files)]
    if not os.path.exists(marker):
        shutil.rmtree(folder, ignore_errors=True)
        rng = random.Random(files)
        for i, name in enumerate(names):
            path = os.path.join(folder, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                if binary:
                    f.write(rng.randbytes(size))
                else:
                    f.write(("line %d of file %d: portable\n" % (i, i) * (size // 30 + 1)).encode()[:size + i % 50])
        with open(marker, "w") as f:
            f.write("ok")
        # Written back now rather than while the tool starts and runs.
        os.sync()
    return names + [".complete"]


def registered_install(name, files, size):
    """The install WORK/installs/<name> (see make_install), registered as the
    product's; returns its folder and its files' relative paths."""
    install = os.path.join(WORK, "installs", name)
    names = make_install(install, files, size)
    register_install(install)
    return install, names


class Hold:
    """Keeps a generation running until the test lets it end, however fast
    the machine: a named pipe in the install that the job reads like a file.
    The test holds it open and feeds it a byte now and then, so the job stays
    inside that file (it lies in the install's root, which the job packs
    first), yet keeps reading, and so sees a stop at its next read. Stop and
    close scenarios therefore never race the job's end. release() closes the
    pipe: the file ends there and the job goes on."""

    def __init__(self, install, name="hold.bin"):
        self.path = os.path.join(install, name)
        self.fed = 0
        if os.path.exists(self.path):
            os.remove(self.path)
        os.mkfifo(self.path)
        # Read and write: opening does not wait for the job to open it.
        self.fd = os.open(self.path, os.O_RDWR | os.O_NONBLOCK)
        self.done = threading.Event()
        self.feeder = threading.Thread(target=self.feed, daemon=True)
        self.feeder.start()

    def feed(self):
        while not self.done.wait(0.05):
            try:
                self.fed += os.write(self.fd, b"x")
            except BlockingIOError:
                pass

    def release(self):
        if self.fd is not None:
            self.done.set()
            self.feeder.join()
            os.close(self.fd)
            self.fd = None

    def settle(self):
        """After release: the pipe becomes a plain file of what was fed, so
        that the install matches what the job packed."""
        self.release()
        os.remove(self.path)
        with open(self.path, "wb") as f:
            f.write(b"x" * self.fed)

    def remove(self):
        self.release()
        if os.path.exists(self.path):
            os.remove(self.path)


def held_install(name="held"):
    """A small registered install with a Hold in it; returns the install's
    folder, its files' relative paths (the hold's not among them) and the
    hold, which the caller removes."""
    install, names = registered_install(name, 60, 2000)
    return install, names, Hold(install)


def check_archive(zip_path, install, names):
    """Every file of the install, with identical bytes, and the independent
    readers (7-Zip, bsdtar, Python's zipfile) accept the archive."""
    with zipfile.ZipFile(zip_path) as z:
        listed = [i.filename for i in z.infolist()]
    files = [n for n in listed if not n.endswith("/")]
    assert sorted(files) == sorted(names), "archive holds %d files, install %d: %r" % (
        len(files), len(names), sorted(set(files) ^ set(names))[:5])
    with tempfile.TemporaryDirectory() as tmp:
        os.symlink(os.path.abspath(zip_path), os.path.join(tmp, "archive.zip"))
        entries = [{"name": n, "folder": n.endswith("/"), "zeros": 0, "method": -1,
                    "source": os.path.join(install, n)} for n in listed]
        with open(os.path.join(tmp, "archive.json"), "w") as f:
            json.dump({"password": None, "entries": entries}, f)
        r = subprocess.run([sys.executable, CHECK_ARCHIVES, tmp], stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        assert r.returncode == 0, "independent readers reject the archive:\n" + r.stdout.decode()[-3000:]


class Pixels:
    """The pixels of a binary PPM image; at() gives (r, g, b)."""

    def __init__(self, data):
        fields, at = [], 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            start = at
            while not data[at:at + 1].isspace():
                at += 1
            fields.append(data[start:at])
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = data[at + 1:]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])


class Shot(Pixels):
    """The screen's pixels in one rectangle (the whole screen by default);
    at() takes coordinates relative to the rectangle's corner."""

    def __init__(self, rect=None):
        args = ["import", "-window", "root"]
        if rect:
            args += ["-crop", "%dx%d+%d+%d" % (rect[2], rect[3], rect[0], rect[1]), "+repage"]
        super().__init__(subprocess.run(args + ["-depth", "8", "ppm:-"], stdout=subprocess.PIPE, check=True).stdout)


class Tool:
    """The tool, copied with what it needs into a folder of its own. With a
    dpi other than 96 (the screen's resolution, see use_prefix) the window
    and every place in it are scaled as the window scales its layout."""

    def __init__(self, name, languages=True, explorer_stub=False, dpi=96, environment=None):
        self.name = name
        self.dpi = dpi
        self.folder = os.path.join(WORK, name, "tool")
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        self.exe = os.path.join(self.folder, "BRKPortable.exe")
        shutil.copy(os.path.join(BIN, "BRKPortable.exe"), self.exe)
        if languages:
            shutil.copytree(os.path.join(BIN, "ToolBox_Language"), os.path.join(self.folder, "ToolBox_Language"))
        if explorer_stub:
            shutil.copy(os.path.join(BIN, "explorer_stub.exe"), os.path.join(self.folder, "explorer.exe"))
        # Variables added to the tool's environment.
        self.environment = environment or {}
        self.process = None
        self.window = None
        self.generate_width = None

    def start(self):
        """Starts the tool and waits for its painted window. Now and then Wine
        fails to start a process (see scripts/lib/wine-test-run), so a start
        that shows no window is tried once more; the test command lists every
        such retry with what was seen, and a second failure fails the test."""
        # A copy that an earlier test left would take this start for a second
        # one and bring itself forward instead.
        wait_for("the copy of an earlier test to end", lambda: not running_copies(), timeout=30)
        failure = self.launch()
        if failure:
            note_retry("the tool in %s: %s" % (self.name, failure))
            failure = self.launch()
            if failure:
                raise AssertionError(failure)
        self.hover(*self.place(*PARK))
        wait_for("the window to be painted", lambda: self.shot().at(*self.place(*EMPTY_BACKGROUND)) == BACKGROUND)
        self.generate_width = self.caption_width(self.shot())
        return self

    def launch(self):
        """Starts the tool; returns None once its window shows, else what was
        seen instead."""
        self.spawn()
        log_path = self.log_path()
        started = time.monotonic()
        while not self.ended():
            self.window = self.find_window(TITLE)
            if self.window:
                return None
            if time.monotonic() - started > 60:
                break
            time.sleep(0.2)
        # What the display shows now, before a hung tool is ended.
        windows = visible_windows()
        if self.ended():
            seen = "the tool ended with code %s after %.1f s without a window" % (
                self.exit_code(), time.monotonic() - started)
        else:
            screen = os.path.join(self.folder, "no-window.png")
            run("import", "-window", "root", screen, check=False)
            self.kill()
            seen = "no window after 60 s (the screen: %s)" % screen
        with open(log_path, errors="replace") as log:
            said = log.read()[-1500:].strip()
        return "%s; windows on the display: %r; Wine said: %s" % (seen, windows, said or "nothing")

    def spawn(self):
        """Starts the tool and returns at once."""
        program = windows_path(self.exe)
        assert " " not in program and "&" not in program, "cmd would split " + program
        with open(self.log_path(), "wb") as log:
            # cmd waits for the program and then prints its exit code.
            self.process = subprocess.Popen(["wine", "cmd", "/c", "%s & echo %s%%errorlevel%%" % (program, EXIT_MARK)],
                                            stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                                            env=dict(os.environ, **self.environment))

    @staticmethod
    def find_window(title):
        out = run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % title, check=False).split()
        return out[0] if out else None

    def origin(self):
        fields = dict(line.split("=", 1) for line in run("xdotool", "getwindowgeometry", "--shell", self.window).split())
        return int(fields["X"]), int(fields["Y"])

    def place(self, x, y):
        """A point of the layout where the window has it at the tool's dpi."""
        return scale_value(x, self.dpi), scale_value(y, self.dpi)

    def shot(self):
        """The window's client area as on the screen."""
        x, y = self.origin()
        width, height = self.place(463, 303)
        return Shot((x, y, width, height))

    @staticmethod
    def count(shot, rect, test):
        left, top, width, height = rect
        return sum(1 for y in range(top, top + height) for x in range(left, left + width)
                   if test(shot.at(x, y)))

    def click(self, x, y, button=1, repeat=1):
        args = ["xdotool", "mousemove", "--window", self.window, str(x), str(y), "click"]
        if repeat > 1:
            args += ["--repeat", str(repeat), "--delay", "80"]
        run(*(args + [str(button)]))

    def hover(self, x, y):
        run("xdotool", "mousemove", "--window", self.window, str(x), str(y))

    def ended(self):
        return self.process is not None and self.process.poll() is not None

    def log_path(self):
        return os.path.join(self.folder, "wine.log")

    def exit_code(self):
        """The tool's exit code as Windows reports it (an unsigned 32-bit
        value), or None when it is not known (still running, or killed)."""
        if not self.ended():
            return None
        with open(self.log_path(), errors="replace") as log:
            found = re.findall(EXIT_MARK + r"(-?\d+)", log.read())
        return int(found[-1]) & 0xFFFFFFFF if found else None

    def expect_exit(self, code=0, timeout=30):
        """Waits for the tool to end and checks its exit code."""
        wait_for("the tool to end", self.ended, timeout=timeout)
        got = self.exit_code()
        assert got == code, "the tool ended with exit code %s, want %s (0x%08X is a crash); Wine said: %s" % (
            "unknown" if got is None else "0x%08X" % got, "0x%08X" % code, got or 0, self.wine_said())

    def close(self):
        """Closes the tool with its close button, as a user does, and checks
        that it ends well."""
        self.click(*CLOSE_BUTTON)
        self.expect_exit(0)

    def wine_said(self):
        with open(self.log_path(), errors="replace") as log:
            return log.read()[-1500:].strip() or "nothing"

    def kill(self):
        """Ends a hung tool: its own process (cmd only waits for it)."""
        for pid in running_copies():
            try:
                os.kill(int(pid), signal.SIGKILL)
            except ProcessLookupError:
                pass
        self.process.wait()

    def stop(self):
        """Clean-up after a scenario: a tool still running is closed, or
        ended when it does not close."""
        if self.process and self.process.poll() is None:
            try:
                self.click(*CLOSE_BUTTON)
                wait_for("the tool to end", self.ended, timeout=30)
            except Exception:
                self.kill()

    # What the window shows, read from its pixels.
    @staticmethod
    def caption_width(shot):
        # A few pixels in from the button's edge, where the keyboard's focus
        # ring, in the caption's colour, rounds its corners.
        left, top, width, height = GENERATE
        xs = [x for y in range(top + 4, top + height - 4) for x in range(left + 4, left + width - 4)
              if caption_pixel(shot.at(x, y))]
        return (max(xs) - min(xs) + 1) if xs else 0

    def state(self):
        shot = self.shot()
        progress = self.count(shot, PROGRESS, lambda p: p != BACKGROUND) > 50
        link = self.link(shot)
        red = self.count(shot, INFO, red_pixel) > 20
        width = self.caption_width(shot)
        if progress and link == "disabled":
            return "running"
        # After a failure the link stays, so that another target can be chosen.
        if not progress and link == "enabled" and red:
            return "failed"
        if not progress and link == "hidden" and width > self.generate_width * 1.4:
            return "succeeded"
        if not progress and link == "enabled" and abs(width - self.generate_width) <= 2:
            return "idle"
        return "other (progress %s, link %s, red %s, caption %d)" % (progress, link, red, width)

    def link(self, shot):
        aqua = self.count(shot, LINK_AREA, link_pixel)
        grey = self.count(shot, LINK_AREA, greyed_link_pixel)
        if aqua > 20:
            return "enabled"
        if grey > 20:
            return "disabled"
        return "hidden"

    def link_point(self):
        """A point on the link's text, wherever it is placed now."""
        shot = self.shot()
        left, top, width, height = LINK_AREA

        def on_link(p):
            return link_pixel(p) or greyed_link_pixel(p)
        rows = [y for y in range(top, top + height) if any(on_link(shot.at(x, y)) for x in range(left, left + 120))]
        assert rows, "no link to be seen"
        return left + 60, (min(rows) + max(rows)) // 2

    def failure_text_contrast(self):
        """The contrast of the failure text's own colour (its most common
        red) with the background, and the share of its pixels that reach
        4.5 : 1."""
        shot = self.shot()
        left, top, width, height = INFO
        reds = [shot.at(x, y) for y in range(top, top + height) for x in range(left, left + width)
                if red_pixel(shot.at(x, y))]
        assert reds, "no failure text to be seen"
        main = max(set(reds), key=reds.count)
        readable = sum(1 for p in reds if contrast(p, BACKGROUND) >= 4.5) / len(reds)
        return contrast(main, BACKGROUND), readable

    def reason_line(self):
        """The lit pixels of the line under the failure text (the window's
        pale text colour), relative to their bounding box."""
        shot = self.shot()
        left, top, width, height = FAILURE_AREA
        lit = [(x, y) for y in range(top, top + height) for x in range(left, left + width)
               if shot.at(x, y) == INFO_PALE]
        if not lit:
            return 0, 0, set()
        x0, y0 = min(x for x, _ in lit), min(y for _, y in lit)
        x1, y1 = max(x for x, _ in lit), max(y for _, y in lit)
        return x1 - x0 + 1, y1 - y0 + 1, {(x - x0, y - y0) for x, y in lit}

    def expect_reason(self, text):
        """The reason line reads `text`: its pixels are those of the text
        drawn in the window's font (the window draws text unsmoothed)."""
        want = text_mask(text)
        seen = self.reason_line()
        if seen != want:
            differ = len(seen[2] ^ want[2])
            raise AssertionError("the reason line does not read %r: %dx%d seen, %dx%d drawn, %d pixels differ" % (
                text, seen[0], seen[1], want[0], want[1], differ))

    def wait_state(self, wanted, timeout=60.0):
        seen = []

        def reached():
            seen.append(self.state())
            return seen[-1] == wanted
        try:
            wait_for("the %s state" % wanted, reached, timeout=timeout)
        except AssertionError:
            raise AssertionError("the window did not reach %s; last seen: %s" % (wanted, seen[-1:]))


def use_prefix(prefix, dpi):
    """Runs everything that follows (the tool, the registry, the Desktop,
    the copies waited for) in the Wine prefix `prefix` with the screen at
    `dpi` dots per inch: made on first use (scripts/lib/wine-session.sh),
    its server started outside any pipe, and its display resolution set
    where Wine reads it when a program starts (measured: HKCU\\Control
    Panel\\Desktop\\LogPixels, read by each new process; neither a new
    prefix nor a restarted server is needed). A prefix of its own keeps the
    resolution from the tests that share the session's. Returns a function
    that ends the prefix's server."""
    global PREFIX
    # What the script says goes to a file: a pipe would be held open by the
    # Wine services it starts.
    with tempfile.TemporaryFile() as output:
        r = subprocess.run(["bash", "-c", 'source "$0"; wine_prefix_prepare "$1"', SESSION_SCRIPT, prefix],
                           stdin=subprocess.DEVNULL, stdout=output, stderr=output)
        output.seek(0)
        said = output.read().decode(errors="replace")
    if r.returncode != 0:
        raise AssertionError("the prefix %s could not be prepared:\n%s" % (prefix, said))
    print(said, end="")
    PREFIX = prefix
    os.environ["WINEPREFIX"] = prefix
    reg("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
    return lambda: subprocess.run(["wineserver", "-k"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)


def running_copies():
    """The process ids of the copies of the tool running in this Wine prefix
    (under Wine a program's first argument is its path); copies in other
    prefixes have guards of their own."""
    found = []
    prefix = b"WINEPREFIX=" + PREFIX.encode()
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                program = f.read().split(b"\0")[0]
            with open("/proc/%s/environ" % pid, "rb") as f:
                environment = f.read().split(b"\0")
        except OSError:
            continue
        if program.endswith(b"BRKPortable.exe") and prefix in environment:
            found.append(pid)
    return found


def visible_windows():
    """(id, name) of every visible window on the display."""
    return [(w, run("xdotool", "getwindowname", w, check=False).strip())
            for w in run("xdotool", "search", "--onlyvisible", "--name", ".", check=False).split()]


def red_pixel(p):
    # The failure text's red, #FF5C5C, and its near shades.
    return p[0] > 150 and p[0] - p[1] > 80 and p[0] - p[2] > 80


def link_pixel(p):
    # The link's aqua, #00FFFF, and its near shades.
    return p[0] < 120 and p[1] > 150 and p[2] > 150


def greyed_link_pixel(p):
    # The disabled link's grey, #A6AAAE, and its near shades.
    return p[0] > 110 and abs(p[0] - p[2]) < 20 and abs(p[1] - p[2]) < 20


def caption_pixel(p):
    # The Generate button's caption colour, #B3E7FF, and its near shades.
    return p[0] > 140 and p[1] > 200 and p[2] > 230


def desktop_files():
    return sorted(os.listdir(desktop())) if os.path.isdir(desktop()) else []


def clean_desktop():
    os.makedirs(desktop(), exist_ok=True)
    for name in os.listdir(desktop()):
        path = os.path.join(desktop(), name)
        if os.path.isfile(path):
            os.remove(path)


SCENARIOS = {}


def scenario(function):
    """Registers a scenario under its function's name."""
    SCENARIOS[function.__name__] = function
    return function


def click_generate(tool, repeat=1):
    tool.click(GENERATE[0] + 96, GENERATE[1] + 24, repeat=repeat)


def click_generate_elsewhere(tool):
    """The next press on the button, away from click_generate's spot: at the
    same spot within the double-click time, two presses are one double-click,
    which the button takes as one click."""
    tool.click(GENERATE[0] + 40, GENERATE[1] + 24)



def save_as_windows():
    out = run("xdotool", "search", "--onlyvisible", "--name", "^Save As$", check=False).split()
    return out


def other_windows(dialog):
    """Named windows that are neither the tool's nor the dialog (Wine titles
    the overwrite question "Error")."""
    return [window for window, name in visible_windows() if window != dialog and name and name != TITLE]


def choose_in_save_dialog(tool, typed, expect_prompt=False):
    """Opens the save dialog from the link, types a name and confirms; with
    expect_prompt, waits for the overwrite question and answers yes."""
    tool.click(*tool.link_point())
    dialog = wait_for("the save dialog", lambda: save_as_windows(), timeout=30)[0]
    run("xdotool", "windowfocus", "--sync", dialog)
    if typed is None:
        run("xdotool", "key", "--window", dialog, "Escape")
    else:
        run("xdotool", "key", "--window", dialog, "ctrl+a")
        run("xdotool", "type", "--window", dialog, "--delay", "20", typed)
        run("xdotool", "key", "--window", dialog, "Return")
        if expect_prompt:
            prompt = wait_for("the overwrite question", lambda: other_windows(dialog), timeout=20)[0]
            run("xdotool", "windowfocus", "--sync", prompt)
            run("xdotool", "key", "--window", prompt, "Return")
    wait_for("the save dialog to close", lambda: not save_as_windows(), timeout=20)


def save_window_shot(tool, path):
    """The window's pixels as on the screen, and a 300% nearest-neighbour
    enlargement beside it for looking at single pixels."""
    x, y = tool.origin()
    width, height = tool.place(463, 303)
    run("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage", path)
    stem, ext = os.path.splitext(path)
    run("convert", path, "-filter", "point", "-resize", "300%", stem + "-300" + ext)


def art_rgba(name, x, y):
    data = subprocess.run(["convert", os.path.join(ART, name + ".png"), "-crop", "1x1+%d+%d" % (x, y),
                           "-depth", "8", "rgba:-"], stdout=subprocess.PIPE, check=True).stdout
    return tuple(data[:4])


def expect_pixel(shot, x, y, want, what):
    got = shot.at(x, y)
    assert got == tuple(want), "%s at (%d, %d): %r, want %r" % (what, x, y, got, tuple(want))


def end_leftovers():
    """After a failed scenario: the copies of the tool it left running (a hung
    tool, or the dialog of a crash report that nobody closes) are ended, so
    that the next scenarios do not fail waiting for them."""
    for pid in running_copies():
        print("ending a copy of the tool left running: %s" % pid)
        try:
            os.kill(int(pid), signal.SIGKILL)
        except ProcessLookupError:
            pass


def main():
    """Runs the scenario named on the command line, with a clean Desktop and
    no product settings before and after it."""
    if len(sys.argv) != 2 or sys.argv[1] not in SCENARIOS:
        print("usage: %s <%s>" % (os.path.basename(sys.argv[0]), "|".join(SCENARIOS)))
        return 2
    for name, value in (("BRK_BIN", BIN), ("BRK_E2E_WORK", WORK), ("WINEPREFIX", PREFIX)):
        if not value:
            print(name + " is not set: run inside a Wine session")
            return 2
    os.makedirs(WORK, exist_ok=True)
    clean_desktop()
    set_language(None)
    started = time.monotonic()
    try:
        SCENARIOS[sys.argv[1]]()
    except Exception:
        traceback.print_exc()
        print("FAILED %s" % sys.argv[1])
        end_leftovers()
        return 1
    finally:
        clean_desktop()
        set_language(None)
    print("ok %s (%.1f s)" % (sys.argv[1], time.monotonic() - started))
    return 0
