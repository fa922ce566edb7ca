#!/usr/bin/env python3
"""Makes a tree shaped like an installed desktop product, the same every time:
thousands of small files (texts, markup, settings, language files, icons,
already-compressed pictures) in nested folders, plus a few large ones (real
Windows libraries from Wine's install, a data file, an archive).

Usage: make_install_tree.py <folder>
"""
import os
import random
import sys

WORDS = ("brightkeep backup folder profile sync schedule restore archive option "
         "window button label language skin plugin settings version update user "
         "file path size date time error warning success cancel open save the a "
         "of to and in is for with on this that from by").split()


def text(rng, size):
    out = []
    length = 0
    while length < size:
        word = rng.choice(WORDS)
        out.append(word)
        length += len(word) + 1
    return " ".join(out)[:size].encode()


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def wine_libraries(count):
    for d in ("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows", "/usr/lib/wine/x86_64-windows",
              "/usr/lib/x86_64-linux-gnu/wine"):
        if os.path.isdir(d):
            files = []
            for name in sorted(os.listdir(d)):
                path = os.path.join(d, name)
                # Library sizes as a product ships them (Wine's largest carry
                # debug information that would swamp the rest of the tree).
                if name.endswith(".dll") and os.path.isfile(path):
                    size = os.path.getsize(path)
                    if size <= 8 * 1024 * 1024:
                        files.append((size, name, path))
            files.sort(reverse=True)
            return [(name, path) for _, name, path in files[:count]]
    return []


def main():
    root = sys.argv[1]
    rng = random.Random(8)
    # Help pages, language files, settings: small and compressible.
    for i in range(1500):
        page = f"<html><head><title>Topic {i}</title></head><body><p>".encode()
        write(f"{root}/Help/Section{i % 30}/topic{i}.html",
              page + text(rng, rng.randint(800, 12000)) + b"</p></body></html>\n")
    for i in range(60):
        lines = "".join(f"M_text{k}={' '.join(rng.choices(WORDS, k=6))}\r\n" for k in range(400))
        write(f"{root}/ToolBox_Language/Language{i}.lng", ("[Main]\r\n" + lines).encode("utf-16"))
    for i in range(700):
        write(f"{root}/Plugins/Plugin{i % 40}/settings{i}.ini",
              "".join(f"Key{k}={rng.randint(0, 99999)}\r\n" for k in range(rng.randint(5, 120))).encode())
    # Icons: small pictures with structure; and pictures that are compressed already.
    for i in range(600):
        row = bytes(rng.randrange(256) for _ in range(64))
        write(f"{root}/Skins/Skin{i % 12}/icon{i}.bmp", b"BM" + row * rng.randint(8, 64))
    for i in range(400):
        write(f"{root}/Skins/Skin{i % 12}/Pictures/picture{i}.png",
              b"\x89PNG\r\n\x1a\n" + rng.randbytes(rng.randint(1000, 30000)))
    # The large ones.
    for name, path in wine_libraries(4):
        with open(path, "rb") as f:
            write(f"{root}/{name}", f.read())
    write(f"{root}/Data/catalog.dat",
          b"".join(text(rng, 200) + rng.randbytes(56) for _ in range(30000)))
    write(f"{root}/Data/updates.zip", rng.randbytes(4 * 1024 * 1024))
    count = sum(len(files) for _, _, files in os.walk(root))
    size = sum(os.path.getsize(os.path.join(d, f)) for d, _, fs in os.walk(root) for f in fs)
    print(f"install tree: {count} files, {size / 1048576:.1f} MB in {root}")


if __name__ == "__main__":
    main()
