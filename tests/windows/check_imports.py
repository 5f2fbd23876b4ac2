#!/usr/bin/env python3
"""Checks that a built Windows program can load on Windows XP, reading its PE file with
Debian's python3-pefile (in the system's python3): machine, GUI subsystem and
subsystem/OS version, the application manifest, and every imported DLL and function
(normal and delay-load imports). Fails on a DLL that XP does
not ship and on functions that XP's system DLLs do not export (xp_missing_imports.txt).
With --console: the console subsystem instead, and no manifest needed.

    check_imports.py EXE [--machine i386|amd64] [--subsystem-version 5.1]
                         [--manifest-arch X86|amd64] [--console]
"""
import argparse
import os
import sys

import pefile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from checks import report  # noqa: E402  (tests/checks.py, shared by the host checks)

MACHINES = {"i386": 0x14C, "amd64": 0x8664}
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3
RT_MANIFEST = 24

# The system DLLs of Windows XP (SP0) that a program like this may use.
XP_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll",
    "msimg32.dll", "msvcrt.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "uxtheme.dll", "version.dll", "winmm.dll", "ws2_32.dll",
}


def imports(pe):
    """{dll: [function, ...]} of the import and delay-import tables ("#N" for an ordinal)."""
    result = {}
    for table in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        for entry in getattr(pe, table, []):
            functions = result.setdefault(entry.dll.decode("ascii"), [])
            for imp in entry.imports:
                functions.append(imp.name.decode("ascii") if imp.name else "#%d" % imp.ordinal)
    return result


def resource(pe, type_id, name_id):
    """The data of the first language of resource (type_id, name_id), or None."""
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return None
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if t.id != type_id:
            continue
        for r in t.directory.entries:
            if r.id == name_id and r.directory.entries:
                data = r.directory.entries[0].data.struct
                return pe.get_data(data.OffsetToData, data.Size)
    return None


def load_missing(path):
    missing = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                dll, function = line.split(None, 1)
                missing.setdefault(dll.lower(), set()).add(function.strip())
    return missing


def check(path, machine, subsystem_version, manifest_arch, missing, console=False):
    failures = []
    pe = pefile.PE(path)
    machine_found = pe.FILE_HEADER.Machine
    opt = pe.OPTIONAL_HEADER
    found_version = (opt.MajorSubsystemVersion, opt.MinorSubsystemVersion)
    os_version = (opt.MajorOperatingSystemVersion, opt.MinorOperatingSystemVersion)
    if machine_found != MACHINES[machine]:
        failures.append("machine is %#x, not %s" % (machine_found, machine))
    if console and opt.Subsystem != SUBSYSTEM_CONSOLE:
        failures.append("subsystem %d is not the console subsystem (3)" % opt.Subsystem)
    if not console and opt.Subsystem != SUBSYSTEM_GUI:
        failures.append("subsystem %d is not the Windows GUI subsystem (2)" % opt.Subsystem)
    if found_version != subsystem_version:
        failures.append("subsystem version %d.%d, wanted %d.%d" % (found_version + subsystem_version))
    if os_version > subsystem_version:
        failures.append("OS version %d.%d is above %d.%d" % (os_version + subsystem_version))

    manifest = resource(pe, RT_MANIFEST, 1)
    if manifest is None:
        if not console:
            failures.append("no application manifest (RT_MANIFEST 1)")
    else:
        text = manifest.decode("utf-8", "replace")
        for needle in ('name="Microsoft.Windows.Common-Controls"', 'version="6.0.0.0"',
                       'processorArchitecture="%s"' % manifest_arch):
            if needle not in text:
                failures.append("manifest lacks %s" % needle)

    imported = imports(pe)
    if not imported:
        failures.append("no imports at all: not the program expected")
    for dll, functions in sorted(imported.items()):
        key = dll.lower()
        if key not in XP_DLLS:
            failures.append("imports %s, which Windows XP does not ship" % dll)
        for function in functions:
            if function in missing.get(key, ()) or (key == "msvcrt.dll" and function.endswith("_s")):
                failures.append("imports %s!%s, which Windows XP does not have" % (dll, function))
    return failures, imported


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--machine", choices=sorted(MACHINES), default="i386")
    parser.add_argument("--subsystem-version", default="5.1")
    parser.add_argument("--manifest-arch", default="X86")
    parser.add_argument("--console", action="store_true", help="a console program: subsystem 3, no manifest")
    parser.add_argument("--missing", default=os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                          "xp_missing_imports.txt"))
    args = parser.parse_args()
    major, minor = (int(x) for x in args.subsystem_version.split("."))
    try:
        failures, imports = check(args.exe, args.machine, (major, minor), args.manifest_arch,
                                  load_missing(args.missing), args.console)
    except (pefile.PEFormatError, OSError, ValueError, IndexError) as e:
        print("FAIL: %s is not a readable PE file: %s" % (args.exe, e))
        return 1
    count = sum(len(f) for f in imports.values())
    print("%s: %d functions from %d DLLs: %s" % (args.exe, count, len(imports), ", ".join(sorted(imports))))
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
