#!/usr/bin/env python3
"""Checks the Windows release zip: exactly Marvento.exe, marvento-cli.exe, README.txt,
LICENSE.txt and THIRD-PARTY.txt, every entry dated from SOURCE_DATE_EPOCH; both programs load on
Windows XP (i686, subsystem 5.01; the command line a console program) and carry the
version; the texts are UTF-8 with a byte-order mark and CRLF line ends.

    check_package.py ZIP X.Y.Z SOURCE_DATE_EPOCH
"""
import os
import sys
import tempfile
import time
import zipfile

import check_imports
import check_version_info
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from checks import report  # noqa: E402  (tests/checks.py)

NAMES = ["Marvento.exe", "marvento-cli.exe", "README.txt", "LICENSE.txt", "THIRD-PARTY.txt"]
BOM = b"\xef\xbb\xbf"


def text_failures(name, data, needles):
    failures = []
    if not data.startswith(BOM):
        failures.append("%s has no UTF-8 byte-order mark" % name)
    if data.count(b"\n") == 0 or data.count(b"\n") != data.count(b"\r\n") or data.count(b"\r") != data.count(b"\n"):
        failures.append("%s: not every line ends in CRLF" % name)
    try:
        text = data[len(BOM):].decode("utf-8")
    except UnicodeDecodeError as e:
        return failures + ["%s is not UTF-8: %s" % (name, e)]
    for needle in needles:
        if needle not in text:
            failures.append("%s lacks %r" % (name, needle))
    if "@" + "VERSION@" in text:
        failures.append("%s still holds the version placeholder" % name)
    return failures


def check(path, version, epoch):
    failures = []
    with zipfile.ZipFile(path) as z:
        infos = z.infolist()
        names = [i.filename for i in infos]
        if sorted(names) != sorted(NAMES):
            failures.append("entries %s, wanted %s" % (names, NAMES))
        dos_time = time.gmtime(epoch - epoch % 2)[:6]
        for info in infos:
            if info.date_time != dos_time:
                failures.append("%s is dated %s, not %s" % (info.filename, info.date_time, dos_time))
        contents = {name: z.read(name) for name in names}

    failures += text_failures("README.txt", contents.get("README.txt", b""),
                              [version, "Marvento.exe", "marvento-cli.exe", "使い方", "Installing", "Windows XP"])
    failures += text_failures("LICENSE.txt", contents.get("LICENSE.txt", b""), ["MIT License"])
    failures += text_failures("THIRD-PARTY.txt", contents.get("THIRD-PARTY.txt", b""),
                              ["GCC Runtime Library Exception", "mingw-w64-crt", "Zope Public License"])

    missing = check_imports.load_missing(os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                      "xp_missing_imports.txt"))
    with tempfile.TemporaryDirectory() as folder:
        for name, console in (("Marvento.exe", False), ("marvento-cli.exe", True)):
            if name not in contents:
                continue
            exe = os.path.join(folder, name)
            with open(exe, "wb") as f:
                f.write(contents[name])
            try:
                found, _ = check_imports.check(exe, "i386", (5, 1), "X86", missing, console)
                failures += ["%s: %s" % (name, f) for f in found]
                found, _ = check_version_info.check(exe, version)
                failures += ["%s: %s" % (name, f) for f in found]
            except (check_version_info.pefile.PEFormatError, ValueError, IndexError) as e:
                failures.append("%s: not a readable PE file: %s" % (name, e))
    return failures


def main():
    if len(sys.argv) != 4:
        print(__doc__)
        return 2
    path, version, epoch = sys.argv[1], sys.argv[2], int(sys.argv[3])
    failures = check(path, version, epoch)
    print("%s: %d bytes" % (path, os.path.getsize(path)))
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
