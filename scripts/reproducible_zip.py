#!/usr/bin/env python3
"""Writes a zip file whose bytes depend only on the files put in it: entries in the
order given, every entry dated SOURCE_DATE_EPOCH (UTC), MS-DOS attributes, deflate
at level 9, no extra fields, no comment.

    reproducible_zip.py OUT.zip NAME=FILE...      (SOURCE_DATE_EPOCH must be set)
"""
import os
import sys
import time
import zipfile

# Zip dates are MS-DOS dates, which begin in 1980.
DOS_EPOCH = 315532800
FILE_ATTRIBUTE_ARCHIVE = 0x20


def entry(name, epoch):
    info = zipfile.ZipInfo(name, date_time=time.gmtime(max(epoch, DOS_EPOCH))[:6])
    info.create_system = 0  # MS-DOS: the attributes below are Windows file attributes
    info.external_attr = FILE_ATTRIBUTE_ARCHIVE
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def main():
    if len(sys.argv) < 3 or "SOURCE_DATE_EPOCH" not in os.environ:
        print(__doc__, file=sys.stderr)
        return 2
    out, pairs = sys.argv[1], sys.argv[2:]
    epoch = int(os.environ["SOURCE_DATE_EPOCH"])
    with zipfile.ZipFile(out + ".part", "w") as z:
        for pair in pairs:
            name, _, path = pair.partition("=")
            with open(path, "rb") as f:
                z.writestr(entry(name, epoch), f.read(), compresslevel=9)
    os.replace(out + ".part", out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
