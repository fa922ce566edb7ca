#!/usr/bin/env python3
"""Makes the large inputs of the archive job's benchmark, the same every time.

  make_scale_trees.py many <folder> <count>
      count small files (0 to 3000 bytes of text), 50 to a folder, the
      folders 40 to a group: 100,000 files lie in 2,000 folders.
  make_scale_trees.py sparse <file> <bytes>
      a sparse file of that size that holds a few MiB of data at its start,
      at a third and two thirds of its length and at its end, and zeros
      elsewhere (which cost no disk space); prints its size and CRC-32 as
      "size=<n> crc=<n>".
"""
import os
import random
import sys
import zlib

FILES_PER_FOLDER = 50
FOLDERS_PER_GROUP = 40
WORDS = ("brightkeep backup folder profile sync schedule restore archive option window "
         "button label language skin plugin settings version update user file path").split()


def many(root, count):
    rng = random.Random(19)
    for i in range(count):
        folder = i // FILES_PER_FOLDER
        path = os.path.join(root, "Group%d" % (folder // FOLDERS_PER_GROUP), "Folder%d" % folder)
        if i % FILES_PER_FOLDER == 0:
            os.makedirs(path, exist_ok=True)
        size = rng.randint(0, 3000)
        text = " ".join(rng.choice(WORDS) for _ in range(size // 5 + 1))[:size]
        with open(os.path.join(path, "file%d.txt" % i), "wb") as f:
            f.write(text.encode())
    print("%d files in %d folders in %s" % (count, (count + FILES_PER_FOLDER - 1) // FILES_PER_FOLDER,
                                            root))


def sparse(path, size):
    rng = random.Random(45)
    piece = 1 << 20
    with open(path, "wb") as f:
        f.truncate(size)
        for at in (0, size // 3, 2 * size // 3, size - piece):
            f.seek(at)
            f.write(rng.randbytes(piece // 2) + b"text of a log line\r\n" * (piece // 40))
    crc, chunk = 0, 1 << 24
    with open(path, "rb") as f:
        while True:
            data = f.read(chunk)
            if not data:
                break
            crc = zlib.crc32(data, crc)
    print("size=%d crc=%d" % (os.path.getsize(path), crc))


def main():
    what, target, number = sys.argv[1], sys.argv[2], int(sys.argv[3])
    if what == "many":
        many(target, number)
    elif what == "sparse":
        sparse(target, number)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
