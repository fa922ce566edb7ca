"""A small reader of Windows minidump files (MDMP), enough for the crash
tests to check what a dump holds: the exception (code, address, thread),
the threads and the modules. The layout is the documented one of
minidumpapiset.h; every structure is little-endian and 4-byte packed."""
import struct

THREAD_LIST = 3
MODULE_LIST = 4
EXCEPTION = 6
SYSTEM_INFO = 7


class Dump:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        signature, version, count, directory = struct.unpack_from("<4sIII", self.data, 0)
        if signature != b"MDMP":
            raise ValueError("%s is no minidump (signature %r)" % (path, signature))
        self.streams = {}
        for i in range(count):
            kind, size, rva = struct.unpack_from("<III", self.data, directory + 12 * i)
            self.streams.setdefault(kind, (rva, size))

    def stream(self, kind):
        if kind not in self.streams:
            raise AssertionError("the dump has no stream %d (it has %s)" % (kind, sorted(self.streams)))
        return self.streams[kind][0]

    def string(self, rva):
        (length,) = struct.unpack_from("<I", self.data, rva)
        return self.data[rva + 4:rva + 4 + length].decode("utf-16-le")

    def exception(self):
        """(thread id, code, address) of MINIDUMP_EXCEPTION_STREAM."""
        rva = self.stream(EXCEPTION)
        thread, _, code, _flags, _record, address = struct.unpack_from("<IIIIQQ", self.data, rva)
        return thread, code, address

    def threads(self):
        """The ids of MINIDUMP_THREAD_LIST."""
        rva = self.stream(THREAD_LIST)
        (count,) = struct.unpack_from("<I", self.data, rva)
        # MINIDUMP_THREAD is 48 bytes; its id comes first.
        return [struct.unpack_from("<I", self.data, rva + 4 + 48 * i)[0] for i in range(count)]

    def modules(self):
        """(base, size, file name) of MINIDUMP_MODULE_LIST, in its order."""
        rva = self.stream(MODULE_LIST)
        (count,) = struct.unpack_from("<I", self.data, rva)
        found = []
        for i in range(count):
            # MINIDUMP_MODULE is 108 bytes: base, size, checksum, time stamp,
            # the name's RVA, then version and records.
            base, size, _checksum, _stamp, name = struct.unpack_from("<QIIII", self.data, rva + 4 + 108 * i)
            found.append((base, size, self.string(name).replace("/", "\\").split("\\")[-1]))
        return found

    def module_at(self, address):
        for base, size, name in self.modules():
            if base <= address < base + size:
                return name
        return None
