#!/usr/bin/env python3
"""Checks the VERSIONINFO resource of a built Windows program with pefile (Debian's
python3-pefile, in the system's python3): the fixed file and product versions and the
FileVersion/ProductVersion strings are X.Y.Z, the product name is Marvento,
OriginalFilename is the file's own name, and there are a description and a copyright.

    check_version_info.py EXE X.Y.Z
"""
import os
import sys

import pefile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from checks import report  # noqa: E402  (tests/checks.py)


def check(path, version):
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    if not getattr(pe, "VS_FIXEDFILEINFO", None):
        return ["no VERSIONINFO resource"], {}
    fixed = pe.VS_FIXEDFILEINFO[0]
    strings = {}
    for info in pe.FileInfo[0]:
        for table in getattr(info, "StringTable", []):
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})

    wanted = [int(x) for x in version.split(".")] + [0]
    failures = []
    for what, ms, ls in (("file", fixed.FileVersionMS, fixed.FileVersionLS),
                         ("product", fixed.ProductVersionMS, fixed.ProductVersionLS)):
        got = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
        if got != wanted:
            failures.append("%s version %s, wanted %s" % (what, ".".join(map(str, got)), version))
    expected = {"FileVersion": version, "ProductVersion": version, "ProductName": "Marvento",
                "OriginalFilename": os.path.basename(path)}
    for name, value in expected.items():
        if strings.get(name, "").lower() != value.lower():
            failures.append("%s is %r, wanted %r" % (name, strings.get(name), value))
    if not strings.get("FileDescription"):
        failures.append("no FileDescription")
    if "Copyright" not in strings.get("LegalCopyright", ""):
        failures.append("LegalCopyright is %r" % strings.get("LegalCopyright"))
    return failures, strings


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    path, version = sys.argv[1:3]
    try:
        failures, strings = check(path, version)
    except (pefile.PEFormatError, OSError) as e:
        failures, strings = ["%s: %s" % (path, e)], {}
    print("%s: %s" % (path, ", ".join("%s=%s" % kv for kv in sorted(strings.items()))))
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
