#!/usr/bin/env python3
"""End-to-end scenarios of crashes: the real tool made to crash on purpose
(see src/crash/CrashOnPurpose.h) in each way the crash reporter catches, at
start, while idle and inside a running generation, and what a user and a
developer get: the exit code (read the Windows way), one dump and one report
in the reports folder and nothing half-written, the dump's exception,
thread and modules, a report whose stack symbolises to the function that
crashed, no partial archive, and the dialog, whose button opens Explorer
with the report selected. Also: a crash of the handler itself, and a normal
run that leaves no report and no handler behind.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import time

import harness
import minidump
from harness import (PREFIX, SCENARIOS, TITLE, USER, Tool, click_generate, desktop_files, registered_install,
                     run, running_copies, scenario, set_language, wait_for, windows_path)

HERE = os.path.dirname(os.path.abspath(__file__))
SYMBOLIZE = os.path.join(HERE, "..", "..", "..", "scripts", "symbolize")
REPORTS = os.path.join(PREFIX, "drive_c", "users", USER, "AppData", "Local", "Brightkeep Portable",
                       "Crash Reports")
VARIABLE = "BRK_CRASH_ON_PURPOSE"

ACCESS_VIOLATION = 0xC0000005
DIVIDE_BY_ZERO = 0xC0000094
STACK_OVERFLOW = 0xC00000FD
CPP_EXCEPTION = 0x20474343
FAIL_FAST = 0xC0000409
# How far down the stack the function that crashed may be: the reporter's
# own handler and the runtime's frames (std::terminate, abort, the throw)
# come before it for the crashes that are no hardware fault.
TOP_FRAMES = 8

# name: (kind, moment, exit code, thread, functions one of which the top
# frames must show). The kinds and moments are CrashOnPurpose.h's.
CRASHES = {
    "early_access": ("access", "early", ACCESS_VIOLATION, "user interface", ["AccessViolationOnPurpose"]),
    "idle_access": ("access", "idle", ACCESS_VIOLATION, "user interface", ["AccessViolationOnPurpose"]),
    "idle_divide": ("divide", "idle", DIVIDE_BY_ZERO, "user interface", ["DivideByZeroOnPurpose"]),
    "idle_stack": ("stack", "idle", STACK_OVERFLOW, "user interface", ["OverflowStackOnPurpose"]),
    "idle_throw": ("throw", "idle", CPP_EXCEPTION, "other", ["ThrowOnPurpose"]),
    "idle_terminate": ("terminate", "idle", FAIL_FAST, "user interface", ["TerminateOnPurpose"]),
    "idle_purecall": ("purecall", "idle", FAIL_FAST, "user interface", ["CallPureVirtualOnPurpose"]),
    "idle_abort": ("abort", "idle", FAIL_FAST, "user interface", ["AbortOnPurpose"]),
    "idle_heap": ("heap", "idle", ACCESS_VIOLATION, "user interface", ["CorruptHeapOnPurpose"]),
    "idle_create": ("create", "idle", ACCESS_VIOLATION, "user interface", ["FaultInCreateMessage"]),
    "idle_timer": ("timer", "idle", ACCESS_VIOLATION, "user interface", ["FaultInTimerProc"]),
    "job_access": ("access", "job", ACCESS_VIOLATION, "archive job", ["AccessViolationOnPurpose"]),
    "job_divide": ("divide", "job", DIVIDE_BY_ZERO, "archive job", ["DivideByZeroOnPurpose"]),
    "job_stack": ("stack", "job", STACK_OVERFLOW, "archive job", ["OverflowStackOnPurpose"]),
    # The job calls it through a function that lets no exception out: the
    # exception ends in std::terminate there; the report shows the throw.
    "job_throw": ("throw", "job", CPP_EXCEPTION, "archive job", ["ThrowOnPurpose"]),
    "job_terminate": ("terminate", "job", FAIL_FAST, "archive job", ["TerminateOnPurpose"]),
    "job_purecall": ("purecall", "job", FAIL_FAST, "archive job", ["CallPureVirtualOnPurpose"]),
    "job_abort": ("abort", "job", FAIL_FAST, "archive job", ["AbortOnPurpose"]),
    "job_heap": ("heap", "job", ACCESS_VIOLATION, "archive job", ["CorruptHeapOnPurpose"]),
}
# What the report says for the C++ exception the tool throws on purpose.
THROWN = "std::runtime_error: crashed on purpose"


def build_stamp(exe):
    """The link time in a program's PE header, as the crash request wants it."""
    with open(exe, "rb") as f:
        data = f.read(4096)
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, pe + 8)[0]


def crashing_tool(name, kind, moment):
    return Tool(name, explorer_stub=True,
                environment={VARIABLE: "%s@%s#%08x" % (kind, moment, build_stamp(os.path.join(harness.BIN,
                                                                                                 "BRKPortable.exe")))})


def report_files():
    return sorted(os.listdir(REPORTS)) if os.path.isdir(REPORTS) else []


def one_report():
    """The names of the one dump and the one report, once both are complete."""
    names = report_files()
    dumps = [n for n in names if n.endswith(".dmp")]
    texts = [n for n in names if n.endswith(".txt")]
    if len(dumps) == 1 and len(texts) == 1 and len(names) == 2:
        return dumps[0], texts[0]
    return None


def report_field(text, label):
    m = re.search(r"^%s:\s+(.*)$" % re.escape(label), text, re.M)
    assert m, "the report has no %r line:\n%s" % (label, text[:1500])
    return m.group(1).strip()


def top_functions(report_path, exe):
    out = subprocess.run([sys.executable, SYMBOLIZE, report_path, "--exe", exe], stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, text=True)
    assert out.returncode == 0, "symbolize failed: " + out.stdout
    frames, functions = 0, []
    for line in out.stdout.splitlines():
        if line.lstrip().startswith("#"):
            frames += 1
            if frames > TOP_FRAMES:
                break
        elif frames:
            functions.append(line.strip())
    return functions, out.stdout


def dialog_window():
    return Tool.find_window(TITLE)


def handle_dialog(tool, report_name):
    """The dialog is on screen: a screenshot of it is kept beside the tool,
    and its default button (Enter) opens Explorer with the report selected.
    Returns the screenshot's path."""
    dialog = wait_for("the crash dialog", dialog_window, timeout=60)
    geometry = dict(line.split("=", 1) for line in run("xdotool", "getwindowgeometry", "--shell", dialog).split())
    x, y, width, height = (int(geometry[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
    assert 200 < width < 900 and 80 < height < 600, "the dialog is %dx%d" % (width, height)
    picture = os.path.join(tool.folder, "dialog.png")
    run("import", "-window", "root", "-crop", "%dx%d+%d+%d" % (width, height, x, y), "+repage", picture)
    print("the dialog: " + picture)
    log = os.path.join(tool.folder, "explorer-args.txt")
    run("xdotool", "windowfocus", "--sync", dialog)
    run("xdotool", "key", "--window", dialog, "Return")
    wait_for("Explorer to be started", lambda: os.path.exists(log) and "\n" in open(log, encoding="utf-8").read(),
             timeout=30)
    started = open(log, encoding="utf-8").read()
    want = '/select,"%s"' % windows_path(os.path.join(REPORTS, report_name))
    assert want in started, "Explorer got %r, want %r" % (started, want)
    return picture


def crash(name, kind, moment, code, role, functions):
    shutil.rmtree(REPORTS, ignore_errors=True)
    wait_for("the copy of an earlier test to end", lambda: not running_copies(), timeout=30)
    tool = crashing_tool(name, kind, moment)
    try:
        if moment == "job":
            registered_install("small", 60, 2000)
            tool.start()
            click_generate(tool)
        else:
            tool.spawn()
        tool.expect_exit(code, timeout=120)
        dump_name, report_name = wait_for("one dump and one report", one_report, timeout=120)
        picture = handle_dialog(tool, report_name)
        wait_for("the handler to end", lambda: not running_copies(), timeout=30)
        assert one_report() == (dump_name, report_name), report_files()

        report_path = os.path.join(REPORTS, report_name)
        with open(report_path, encoding="utf-8-sig") as f:
            report = f.read()
        thread = int(report_field(report, "Thread").split()[0])
        assert report_field(report, "Thread").endswith("(%s)" % role), report_field(report, "Thread")
        assert report_field(report, "Exception").startswith("0x%08X" % code), report_field(report, "Exception")
        if kind == "throw":
            assert report_field(report, "C++ exception") == THROWN, report_field(report, "C++ exception")

        dump = minidump.Dump(os.path.join(REPORTS, dump_name))
        dump_thread, dump_code, address = dump.exception()
        assert dump_code == code, "the dump's exception is 0x%08X, want 0x%08X" % (dump_code, code)
        assert dump_thread == thread, "the dump's exception is on thread %d, the report's on %d" % (dump_thread, thread)
        assert thread in dump.threads(), "thread %d is not among the dump's threads %r" % (thread, dump.threads())
        modules = [m[2].lower() for m in dump.modules()]
        for module in ("brkportable.exe", "ntdll.dll", "kernel32.dll"):
            assert module in modules, "the dump's modules lack %s: %r" % (module, modules)
        if code in (ACCESS_VIOLATION, DIVIDE_BY_ZERO, STACK_OVERFLOW):
            assert dump.module_at(address) == "BRKPortable.exe", "the fault at 0x%x lies in %s" % (
                address, dump.module_at(address))

        found, symbolized = top_functions(report_path, os.path.join(harness.BIN, "BRKPortable.exe"))
        assert any(f in line for f in functions for line in found), (
            "none of %r in the top %d frames:\n%s" % (functions, TOP_FRAMES, symbolized))
        assert not [n for n in desktop_files() if n.endswith(".partial")], desktop_files()
        if moment == "job":
            assert report_field(report, "Removed").endswith("BRK_Portable.zip.partial"), report
        return picture
    finally:
        if running_copies():
            tool.kill()


for _name, _case in CRASHES.items():
    SCENARIOS[_name] = (lambda name, case: lambda: crash(name, *case))(_name, _case)


@scenario
def dialog_language():
    """The dialog speaks the window's language: the same crash in English and
    in German shows different dialogs (look at the pictures it names)."""
    case = CRASHES["idle_access"]
    english = crash("dialog_english", *case)
    set_language("German")
    german = crash("dialog_german", *case)
    pixels = [subprocess.run(["convert", picture, "ppm:-"], stdout=subprocess.PIPE, check=True).stdout
              for picture in (english, german)]
    assert pixels[0] != pixels[1], "the German dialog looks like the English one"


@scenario
def handler_crash():
    """The handler crashes while it reports: the tool still ends, with its own
    exception's code, and nothing waits for a debugger or a box."""
    shutil.rmtree(REPORTS, ignore_errors=True)
    wait_for("the copy of an earlier test to end", lambda: not running_copies(), timeout=30)
    tool = crashing_tool("handler_crash", "handler", "idle")
    try:
        tool.spawn()
        tool.expect_exit(ACCESS_VIOLATION, timeout=120)
        wait_for("the handler to end", lambda: not running_copies(), timeout=60)
        assert not dialog_window(), "a window is left: %r" % harness.visible_windows()
        assert [n for n in report_files() if not n.endswith(".tmp")] == [], report_files()
    finally:
        if running_copies():
            tool.kill()


@scenario
def normal_run():
    """A generation and a close: no report, and the handler ends with the
    tool."""
    shutil.rmtree(REPORTS, ignore_errors=True)
    registered_install("small", 60, 2000)
    tool = Tool("normal_run").start()
    try:
        wait_for("the handler to start", lambda: len(running_copies()) == 2, timeout=30)
        click_generate(tool)
        tool.wait_state("succeeded")
        tool.click(*harness.CLOSE_BUTTON)
        tool.expect_exit(0)
        ended = time.monotonic()
        wait_for("the handler to end", lambda: not running_copies(), timeout=30)
        assert time.monotonic() - ended < 5, "the handler outlived the tool by %.1f s" % (time.monotonic() - ended)
        assert report_files() == [], report_files()
    finally:
        tool.stop()


if __name__ == "__main__":
    sys.exit(harness.main())
