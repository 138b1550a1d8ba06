#!/usr/bin/python3
"""Checks what each built gauge module exports and imports.

A module must export exactly Linkage and ImportTable (by name, as data)
and import only from DLLs every Windows machine has; the radio alone may
also use the registry and message boxes. The PE tables are read with
pefile, independently of our own code.
"""
import os
import sys

import pefile

EXPORTS = {"Linkage", "ImportTable"}
BASE_DLLS = {"kernel32.dll", "msvcrt.dll"}
EXTRA_DLLS = {"ORIM_TR410": {"advapi32.dll", "user32.dll"}}


def check(path):
    problems = []
    name = os.path.splitext(os.path.basename(path))[0]
    pe = pefile.PE(path)
    if pe.FILE_HEADER.Machine != pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]:
        problems.append("not a 32-bit x86 image")
    if not pe.is_dll():
        problems.append("not a DLL")

    exports = set()
    if hasattr(pe, "DIRECTORY_ENTRY_EXPORT"):
        for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols:
            exports.add(symbol.name.decode() if symbol.name else f"#{symbol.ordinal}")
    if exports != EXPORTS:
        problems.append(f"exports {sorted(exports)}, expected {sorted(EXPORTS)}")

    allowed = BASE_DLLS | EXTRA_DLLS.get(name, set())
    imports = set()
    if hasattr(pe, "DIRECTORY_ENTRY_IMPORT"):
        imports = {entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT}
    extra = imports - allowed
    if extra:
        problems.append(f"imports {sorted(extra)}, which a user's machine may lack")
    return problems


def main(paths):
    if not paths:
        print("check_module_pe: no modules given")
        return 1
    failed = 0
    for path in paths:
        problems = check(path)
        status = "ok" if not problems else "FAILED"
        print(f"{os.path.basename(path)}: {status}")
        for problem in problems:
            print(f"  {problem}")
        failed += bool(problems)
    print(f"{len(paths) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
