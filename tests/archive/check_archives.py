#!/usr/bin/env python3
"""Reads every archive that the zip writer's tests kept, with readers that
share no code with the writer: 7-Zip (test), libarchive's bsdtar (listing
from the directory, listing as a stream, full extraction) and Python's
zipfile (every entry read back, names, sizes, CRC, flags, attributes and
times compared with the test's manifest). No single reader catches every
fault: a streaming reader sees bytes that the directory does not list,
zipfile checks the CRC of every byte, 7-Zip checks records the others skip.

An entry of the manifest names the file with its content ("source"), or
gives it as a run of zeros ("zeros"), or, for content too large to hold,
only by its "size" and "crc".

Usage: check_archives.py <folder with NAME.zip and NAME.json pairs>
Exits non-zero if any archive fails any check.
"""
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile
import zlib

BIG = 1 << 30  # archives above this are extracted to a pipe, not to disk, and removed after
CHUNK = 1 << 20
ENV = dict(os.environ, LC_ALL="C.UTF-8")


def run(cmd):
    return subprocess.run(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=ENV)


def seven_zip():
    for name in ("7zz", "7z", "7za"):
        path = shutil.which(name)
        if path:
            return path
    raise SystemExit("no 7-Zip program found")


class Archive:
    def __init__(self, folder, stem):
        self.folder = folder
        self.stem = stem
        self.path = os.path.join(folder, stem + ".zip")
        with open(os.path.join(folder, stem + ".json"), encoding="utf-8") as f:
            manifest = json.load(f)
        self.password = manifest["password"]
        self.entries = manifest["entries"]
        self.names = [e["name"] for e in self.entries]
        self.failures = []

    def fail(self, text):
        self.failures.append(text)

    def content(self, entry):
        """The bytes the entry must hold (None for a run of zeros, or for an
        entry known only by its size and CRC)."""
        if entry["folder"]:
            return b""
        if entry["zeros"] or entry.get("source") is None:
            return None
        with open(os.path.join(self.folder, entry["source"]), "rb") as f:
            return f.read()

    def size(self, entry):
        if entry["zeros"]:
            return entry["zeros"]
        if "size" in entry:
            return entry["size"]
        return len(self.content(entry))

    def expected_crc(self, entry):
        if "crc" not in entry:
            entry["crc"] = self.compute_crc(entry)
        return entry["crc"]

    def compute_crc(self, entry):
        data = self.content(entry)
        if data is not None:
            return zlib.crc32(data)
        crc, left, zeros = 0, entry["zeros"], bytes(CHUNK)
        while left:
            n = min(left, CHUNK)
            crc = zlib.crc32(zeros[:n], crc)
            left -= n
        return crc

    def big(self):
        """Gigabytes, packed or not: read through pipes, not kept on disk."""
        return os.path.getsize(self.path) > BIG or sum(
            e["zeros"] or e.get("size", 0) for e in self.entries) > BIG


def check_7zip(a):
    r = run([seven_zip(), "t", "-p" + (a.password or "unused"), a.path])
    out = r.stdout.decode("utf-8", "replace")
    if r.returncode != 0 or "Everything is Ok" not in out:
        a.fail("7-Zip test failed:\n" + out[-2000:])


def bsdtar_args(a):
    return ["bsdtar"] + (["--passphrase", a.password] if a.password else [])


def check_bsdtar_listing(a):
    r = run(bsdtar_args(a) + ["-tf", a.path])
    names = r.stdout.decode("utf-8", "replace").splitlines()
    if r.returncode != 0 or names != a.names:
        a.fail("bsdtar listing differs: rc %d, %r" % (r.returncode, names[:10]))
    r = run(bsdtar_args(a) + ["-tvf", a.path])
    if r.returncode != 0:
        a.fail("bsdtar -tvf failed: " + r.stdout.decode("utf-8", "replace")[-1000:])


def check_bsdtar_stream(a, infos):
    """A reader that walks the local headers one after another sees every
    byte between them; only entries with their sizes in the local header can
    be walked that way, and only from a first header at the file's start."""
    if any(i.flag_bits & 0x0008 for i in infos) or (infos and infos[0].header_offset != 0):
        return
    # Through a pipe: given a file, even on standard input, libarchive
    # seeks to the directory instead.
    r = run(["sh", "-c", 'cat "$0" | "$@"', a.path] + bsdtar_args(a) + ["-tf", "-"])
    names = r.stdout.decode("utf-8", "replace").splitlines()
    if r.returncode != 0 or names != a.names:
        a.fail("bsdtar stream listing differs: rc %d, %r" % (r.returncode, names[:10]))


def check_bsdtar_extraction(a):
    if a.big():
        # Through a pipe: the total must be every entry's bytes, all zeros
        # where the manifest says so.
        proc = subprocess.Popen(bsdtar_args(a) + ["-xOf", a.path], stdout=subprocess.PIPE,
                                stdin=subprocess.DEVNULL, env=ENV)
        total = 0
        while True:
            chunk = proc.stdout.read(CHUNK)
            if not chunk:
                break
            total += len(chunk)
        proc.wait()
        want = sum(a.size(e) for e in a.entries)
        if proc.returncode != 0 or total != want:
            a.fail("bsdtar extraction to a pipe: rc %d, %d bytes, want %d" % (proc.returncode, total, want))
        return
    with tempfile.TemporaryDirectory(dir=scratch_dir()) as out:
        r = run(bsdtar_args(a) + ["-xf", a.path, "-C", out])
        if r.returncode != 0:
            a.fail("bsdtar extraction failed: " + r.stdout.decode("utf-8", "replace")[-1000:])
            return
        for e in a.entries:
            path = os.path.join(out, e["name"])
            if e["folder"]:
                # Without a final "/" (a directory added as a handle) libarchive
                # goes by the name and makes an empty file.
                as_file = not e["name"].endswith("/") and os.path.isfile(path)
                if not os.path.isdir(path) and not (as_file and os.path.getsize(path) == 0):
                    a.fail("bsdtar did not make folder %r" % e["name"])
                continue
            try:
                with open(path, "rb") as f:
                    got = f.read()
            except OSError as err:
                a.fail("bsdtar did not extract %r: %s" % (e["name"], err))
                continue
            want = a.content(e)
            if (got != want if want is not None else
                    (len(got), zlib.crc32(got)) != (a.size(e), a.expected_crc(e))):
                a.fail("bsdtar extracted other bytes for %r" % e["name"])
        for root, dirs, _ in os.walk(out):  # read-only files and folders must not stop the clean-up
            for d in dirs:
                os.chmod(os.path.join(root, d), 0o755)


def scratch_dir():
    """Memory-backed when the machine has it: creating tens of thousands of
    folders on disk takes many seconds."""
    shm = "/dev/shm"
    return shm if os.path.isdir(shm) and os.access(shm, os.W_OK) else None


def extended_mtime(extra):
    """Modification time from an extended timestamp (0x5455) extra field."""
    at = 0
    while at + 4 <= len(extra):
        tag, size = struct.unpack_from("<HH", extra, at)
        if tag == 0x5455 and size >= 5 and extra[at + 4] & 1:
            return struct.unpack_from("<I", extra, at + 5)[0]
        at += 4 + size
    return None


def dos_fields(unix_seconds):
    """What an extractor shows: the local time of the moment, two-second
    steps, clamped to the years the DOS date holds."""
    t = time.localtime(unix_seconds)
    if t.tm_year < 1980:
        return (1980, 1, 1, 0, 0, 0)
    if t.tm_year > 2107:
        return (2107, 12, 31, 23, 59, 58)
    return (t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec - t.tm_sec % 2)


def check_local_header(a, f, info):
    f.seek(info.header_offset)
    head = f.read(30)
    sig, _, flags, method, _, _, crc, csize, usize, nlen, xlen = struct.unpack("<IHHHHHIIIHH", head)
    name = f.read(nlen)
    extra = f.read(xlen)
    if sig != 0x04034B50 or flags != info.flag_bits or method != info.compress_type:
        a.fail("local header of %r: signature %x, flags %x, method %d" % (info.filename, sig, flags, method))
    if name != info.orig_filename.encode("utf-8" if flags & 0x800 else "cp437"):
        a.fail("local header of %r names %r" % (info.filename, name))
    if flags & 0x0008:
        return
    if csize == 0xFFFFFFFF and usize == 0xFFFFFFFF:
        if extra[:2] != b"\x01\x00":
            a.fail("local header of %r lacks its ZIP64 sizes" % info.filename)
            return
        usize, csize = struct.unpack_from("<QQ", extra, 4)
    if (crc, csize, usize) != (info.CRC, info.compress_size, info.file_size):
        a.fail("local header of %r was not patched: %x %d %d" % (info.filename, crc, csize, usize))


def check_zipfile(a):
    pwd = a.password.encode() if a.password else None
    with zipfile.ZipFile(a.path) as z:
        infos = z.infolist()
        if [i.filename for i in infos] != a.names:
            a.fail("zipfile names differ: %r" % [i.filename for i in infos][:10])
            return infos
        if pwd:
            z.setpassword(pwd)
        if not a.big():  # a big archive's entries are read once, below
            bad = z.testzip()
            if bad is not None:
                a.fail("zipfile finds a bad CRC in %r" % bad)
        with open(a.path, "rb") as raw:
            for info, e in zip(infos, a.entries):
                check_entry(a, z, raw, info, e)
    return infos


def check_entry(a, z, raw, info, e):
    name = e["name"]
    size = a.size(e)
    if info.file_size != size:
        a.fail("%r: size %d, want %d" % (name, info.file_size, size))
    if info.CRC != a.expected_crc(e):
        a.fail("%r: CRC %08x, want %08x" % (name, info.CRC, a.expected_crc(e)))
    if e["method"] >= 0 and info.compress_type != e["method"]:
        a.fail("%r: method %d, want %d" % (name, info.compress_type, e["method"]))
    if "flags" in e and info.flag_bits != e["flags"]:
        a.fail("%r: flags %04x, want %04x" % (name, info.flag_bits, e["flags"]))
    if "attributes" in e and info.external_attr != e["attributes"]:
        a.fail("%r: attributes %08x, want %08x" % (name, info.external_attr, e["attributes"]))
    ut = extended_mtime(info.extra)
    if ut is None:
        a.fail("%r: no extended timestamp" % name)
    elif "mtime" in e and ut != e["mtime"] & 0xFFFFFFFF:
        a.fail("%r: extended timestamp %d, want %d" % (name, ut, e["mtime"]))
    moment = e.get("mtime", ut)
    if moment is not None and info.date_time != dos_fields(moment):
        a.fail("%r: DOS time %r, want %r" % (name, info.date_time, dos_fields(moment)))
    check_local_header(a, raw, info)
    if e["folder"]:
        return
    with z.open(info) as f:  # reading to the end checks the CRC
        want = a.content(e)
        got = bytearray() if want is not None else None
        total = 0
        while True:
            chunk = f.read(CHUNK)
            if not chunk:
                break
            total += len(chunk)
            if got is not None:
                got += chunk
            elif e["zeros"] and chunk.count(0) != len(chunk):
                a.fail("%r: bytes other than zeros" % name)
                return
    if (got is not None and bytes(got) != want) or total != size:
        a.fail("%r: zipfile read other bytes" % name)


def main():
    folder = sys.argv[1]
    stems = sorted(f[:-5] for f in os.listdir(folder) if f.endswith(".json"))
    if not stems:
        print("no kept archives in " + folder)
        return 1
    failed = 0
    for stem in stems:
        a = Archive(folder, stem)
        try:
            if not os.path.exists(a.path):
                raise FileNotFoundError(a.path)
            check_7zip(a)
            check_bsdtar_listing(a)
            infos = check_zipfile(a)
            check_bsdtar_stream(a, infos)
            check_bsdtar_extraction(a)
        except Exception as err:  # a reader that crashes is a failed check too
            a.fail("%s: %r" % (type(err).__name__, err))
        if os.path.exists(a.path) and os.path.getsize(a.path) > BIG:
            # Gigabytes are not kept once read; nor is the manifest that names them.
            os.remove(a.path)
            os.remove(os.path.join(folder, stem + ".json"))
        print(("ok     " if not a.failures else "FAILED ") + stem)
        for text in a.failures:
            print("    " + text)
        failed += bool(a.failures)
    print("zip readers: %d archives, %d failed" % (len(stems), failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
