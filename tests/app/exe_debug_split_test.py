#!/usr/bin/env python3
"""The program's debug information lives in BRKPortable.exe.debug beside it.
Sections of it inside the .exe are mapped at every start (tens of
milliseconds under Wine) and make the file ten times larger."""
import re
import subprocess
import sys
from pathlib import Path


def main() -> int:
    objdump, exe = sys.argv[1], sys.argv[2]
    headers = subprocess.run([objdump, "-h", exe], check=True, capture_output=True, text=True).stdout
    debug_sections = re.findall(r"^\s*\d+\s+(\.debug_\S+)", headers, re.MULTILINE)
    if debug_sections:
        print(f"{exe} holds debug sections: {', '.join(debug_sections)}")
        return 1
    if not Path(exe + ".debug").is_file():
        print(f"{exe}.debug is missing")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
