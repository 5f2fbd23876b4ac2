#!/usr/bin/env python3
"""Checks the VERSIONINFO resource of a built Windows program: the fixed file and
product versions and the FileVersion/ProductVersion strings are X.Y.Z, the product
name is Marvento, OriginalFilename is the file's own name, and the description and
copyright are there.

    check_version_info.py EXE X.Y.Z
"""
import os
import struct
import sys

from check_imports import Pe, PeError

RT_VERSION = 16
FIXED_SIGNATURE = 0xFEEF04BD


def align4(offset):
    return (offset + 3) & ~3


def parse_node(data, start):
    """One VERSIONINFO block: (key, value bytes, children, end offset)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, start)
    if length < 6 or start + length > len(data):
        raise PeError("version block at %#x has a bad length %d" % (start, length))
    end = start + length
    key_end = start + 6
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= end:
            raise PeError("unterminated version key at %#x" % start)
    key = data[start + 6:key_end].decode("utf-16-le")
    value_start = align4(key_end + 2)
    value_bytes = value_length * 2 if value_type == 1 else value_length
    value = data[value_start:value_start + value_bytes]
    children = []
    child = align4(value_start + value_bytes)
    while child < end:
        node = parse_node(data, child)
        children.append(node)
        child = align4(node[3])
    return key, value, children, end


def read_version_info(pe):
    data = pe.resource(RT_VERSION, 1)
    if data is None:
        raise PeError("no VERSIONINFO resource (RT_VERSION 1)")
    key, fixed, children, _ = parse_node(data, 0)
    if key != "VS_VERSION_INFO" or len(fixed) < 52:
        raise PeError("the version resource does not start with VS_VERSION_INFO")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != FIXED_SIGNATURE:
        raise PeError("VS_FIXEDFILEINFO signature %#x" % signature)
    strings = {}
    for child_key, _, tables, _ in children:
        if child_key == "StringFileInfo":
            for _, _, entries, _ in tables:
                for name, value, _, _ in entries:
                    strings.setdefault(name, value.decode("utf-16-le").rstrip("\0"))
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    return split(file_ms, file_ls), split(product_ms, product_ls), strings


def check(path, version):
    with open(path, "rb") as f:
        pe = Pe(f.read())
    file_version, product_version, strings = read_version_info(pe)
    wanted = tuple(int(x) for x in version.split(".")) + (0,)
    failures = []
    if file_version != wanted:
        failures.append("file version %s, wanted %s" % (".".join(map(str, file_version)), version))
    if product_version != wanted:
        failures.append("product version %s, wanted %s" % (".".join(map(str, product_version)), version))
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
    except (PeError, struct.error, UnicodeDecodeError, OSError) as e:
        failures, strings = ["%s: %s" % (path, e)], {}
    print("%s: %s" % (path, ", ".join("%s=%s" % kv for kv in sorted(strings.items()))))
    for failure in failures:
        print("FAIL: " + failure)
    print("%d passed, %d failed" % (0 if failures else 1, len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
