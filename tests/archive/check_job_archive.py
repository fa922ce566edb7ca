#!/usr/bin/env python3
"""Checks one archive written by the archive job with independent readers.

Usage: check_job_archive.py <archive.zip> <expected-names.txt> <source-folder> <report.txt>

The expected names (UTF-8, one a line, in archive order) are the entries the
archive must hold, each the path of a file below the source folder. 7-Zip
tests the archive, libarchive lists and extracts it, Python's zipfile reads
every entry; each entry's bytes must equal the source file's. Problems go to
the report file (and stdout), which reads "ok" when there are none; it
appears only once complete. The exit code is 0 only when there are none.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile

SEARCH_PATH = os.pathsep.join([os.environ.get("PATH", ""), "/usr/bin", "/bin"])


def tool(*names):
    for name in names:
        found = shutil.which(name, path=SEARCH_PATH)
        if found:
            return found
    return None


def source_bytes(source, name):
    with open(os.path.join(source, *name.split("/")), "rb") as f:
        return f.read()


def check(archive, expected, source):
    problems = []

    with zipfile.ZipFile(archive) as z:
        names = z.namelist()
        if names != expected:
            problems.append(f"zipfile names {names} != expected {expected}")
        bad = z.testzip()
        if bad is not None:
            problems.append(f"zipfile: bad CRC in {bad}")
        for name in names:
            if name in expected and z.read(name) != source_bytes(source, name):
                problems.append(f"zipfile: content of {name} differs from the source")

    sevenzip = tool("7zz", "7z", "7za")
    if sevenzip is None:
        problems.append("7-Zip not found")
    else:
        run = subprocess.run([sevenzip, "t", archive], capture_output=True, text=True)
        if run.returncode != 0 or "Everything is Ok" not in run.stdout:
            problems.append(f"7-Zip test failed: {run.stdout[-400:]} {run.stderr[-400:]}")

    bsdtar = tool("bsdtar")
    if bsdtar is None:
        problems.append("bsdtar not found")
    else:
        run = subprocess.run([bsdtar, "-tf", archive], capture_output=True)
        listed = run.stdout.decode("utf-8", "replace").splitlines()
        if run.returncode != 0 or listed != expected:
            problems.append(f"bsdtar listing {listed} != expected {expected}")
        with tempfile.TemporaryDirectory() as out:
            run = subprocess.run([bsdtar, "-xf", archive, "-C", out], capture_output=True)
            if run.returncode != 0:
                problems.append(f"bsdtar extraction failed: {run.stderr[-400:]}")
            for name in expected:
                path = os.path.join(out, *name.split("/"))
                if not os.path.isfile(path):
                    problems.append(f"bsdtar did not extract {name}")
                    continue
                with open(path, "rb") as f:
                    if f.read() != source_bytes(source, name):
                        problems.append(f"bsdtar: content of {name} differs from the source")
    return problems


def main():
    archive, names_file, source, report = sys.argv[1:5]
    with open(names_file, encoding="utf-8") as f:
        expected = [line.rstrip("\n") for line in f if line.strip()]
    try:
        problems = check(archive, expected, source)
    except Exception as e:  # a reader that cannot open the archive at all
        problems = [f"{type(e).__name__}: {e}"]
    text = "\n".join(problems) if problems else "ok"
    # Written under another name and renamed, so that the waiting test sees
    # the whole report or none.
    with open(report + ".tmp", "w", encoding="utf-8") as f:
        f.write(text + "\n")
    os.replace(report + ".tmp", report)
    print(text)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
