#!/usr/bin/env python3
"""The tool is one .exe that a user copies anywhere: it may import only DLLs
that every Windows has. Wine brings some DLLs of its own (zlib1.dll among
them), so a program that needs them still runs under Wine and would fail to
start on Windows; only its import table tells."""
import re
import subprocess
import sys

WINDOWS_DLLS = {
    "advapi32.dll", "bcrypt.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll",
    "kernel32.dll", "msimg32.dll", "msvcrt.dll", "ole32.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "uxtheme.dll",
}


def main() -> int:
    objdump, exe = sys.argv[1], sys.argv[2]
    table = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    imports = {name.lower() for name in re.findall(r"DLL Name: (\S+)", table)}
    if not imports:
        print(f"{exe}: no import table found")
        return 1
    foreign = sorted(imports - WINDOWS_DLLS)
    print(f"{exe} imports: {', '.join(sorted(imports))}")
    if foreign:
        print(f"not part of Windows: {', '.join(foreign)}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
