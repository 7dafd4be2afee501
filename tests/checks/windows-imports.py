#!/usr/bin/env python3
"""windows-imports.py EXE LIST: fails when the 32-bit program EXE imports a
library or a function that LIST (oldest-windows.txt) does not name (one
imported by ordinal included), or when its header claims another oldest
Windows than LIST's, so that an older system would try to start it rather
than refuse it."""
import subprocess
import sys


def read_list(path):
    version = None
    allowed = {}
    dll = None
    for line in open(path, encoding="utf-8"):
        if not line.strip() or line.startswith("#"):
            continue
        if line.startswith("windows "):
            version = line.split()[1]
        elif line[0].isspace():
            allowed[dll].add(line.strip())
        else:
            dll = line.strip().lower()
            allowed[dll] = set()
    return version, allowed


def read_program(path):
    """The header's fields and the imports as {dll: [names]}, as objdump reads them."""
    text = subprocess.run(["i686-w64-mingw32-objdump", "-p", path], check=True,
                          capture_output=True, text=True).stdout
    fields = {}
    imports = {}
    dll = None
    for line in text.splitlines():
        words = line.split()
        if line.startswith("\tDLL Name:"):
            dll = words[2].lower()
            imports[dll] = []
        elif dll and line.startswith("\t") and len(words) >= 2 and words[1].isdigit():
            # A function imported by ordinal has no name to check.
            imports[dll].append(words[2] if len(words) >= 3 else "ordinal " + words[1])
        elif not line.startswith("\t"):
            dll = None
            if len(words) == 2:
                fields[words[0]] = words[1]
    return fields, imports


def main():
    exe, list_path = sys.argv[1:3]
    version, allowed = read_list(list_path)
    fields, imports = read_program(exe)
    faults = []
    for name in ("OSystemVersion", "SubsystemVersion"):
        claimed = fields.get("Major" + name, "?") + "." + fields.get("Minor" + name, "?")
        if claimed != version:
            faults.append(f"header: {name} is {claimed}, not {version}")
    if not imports:
        faults.append("no imports found")
    for dll, names in sorted(imports.items()):
        if dll not in allowed:
            faults.append(f"{dll}: not a library of the oldest Windows named")
            continue
        for name in names:
            if name not in allowed[dll]:
                faults.append(f"{dll}: {name} is not known to be in Windows {version}")
    for fault in faults:
        print(f"{exe}: {fault}", file=sys.stderr)
    count = sum(len(names) for names in imports.values())
    print(f"{exe}: {count} imports from {len(imports)} libraries, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
