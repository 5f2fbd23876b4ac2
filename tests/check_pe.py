#!/usr/bin/env python3
"""Independent checks of rebuilt theme files, with tools that share no code with Marvento.

For every pair NAME.orig.msstyles / NAME.rebuilt.msstyles in the folder:
  - Debian's python3-pefile parses the rebuilt file and reports no warning that it does
    not also report for the original (numbers in warnings are ignored);
  - both list the same resources: types, names and languages in the same order, with
    the same data for every resource that is copied (all but the first language of
    TEXTFILE and STRING resources, which are regenerated);
  - every data entry of the rebuilt file lies inside the resource section and inside the file;
  - every other section keeps its name, order and data, the bytes after the last section
    are kept (less a certificate table), and SizeOfInitializedData counts the raw data of
    the sections that hold initialized data, as the PE format has it;
  - `wrestool -l` (icoutils) lists the same resources, with the same sizes for copied ones.
"""
import argparse
import os
import re
import subprocess
import sys

try:
    import pefile
except ImportError:
    sys.exit("check_pe: python3-pefile is missing (run scripts/setup.sh)")

from checks import Checks

REGENERATED_TYPES = ("TEXTFILE", 6)


def entry_id(entry):
    return str(entry.name) if entry.name is not None else entry.id


def resources(pe, raw):
    """(type, name, language, is_first_language, data) in directory order."""
    out = []
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return out
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for r in t.directory.entries:
            for index, lang in enumerate(r.directory.entries):
                d = lang.data.struct
                out.append((entry_id(t), entry_id(r), entry_id(lang), index == 0,
                            d.OffsetToData, pe.get_data(d.OffsetToData, d.Size)))
    return out


def appended(pe, raw):
    """The bytes after the last section, less the certificate table (dropped by a write)."""
    end = max((s.PointerToRawData + s.SizeOfRawData for s in pe.sections if s.SizeOfRawData), default=0)
    tail = bytearray(raw[end:])
    security = pe.OPTIONAL_HEADER.DATA_DIRECTORY[4]
    if security.VirtualAddress and security.Size:
        start = max(security.VirtualAddress - end, 0)
        del tail[start:max(security.VirtualAddress + security.Size - end, 0)]
    return bytes(tail)


def normalised_warnings(pe):
    return {re.sub(r"0x[0-9a-fA-F]+|\d+(\.\d+)?", "#", w) for w in pe.get_warnings()}


def wrestool_listing(wrestool, path):
    done = subprocess.run([wrestool, "-l", path], capture_output=True, text=True, check=False)
    if done.returncode != 0:
        raise RuntimeError(f"wrestool -l {path} failed ({done.returncode}): {done.stderr.strip()}")
    rows = []
    for line in done.stdout.splitlines():
        m = re.match(r"^(.*?)\s*\[(?:type=\S+ )?offset=0x[0-9a-fA-F]+ size=(\d+)\]$", line)
        if not m:
            raise RuntimeError(f"wrestool: unexpected line {line!r}")
        rows.append((m.group(1), int(m.group(2))))
    return rows


def check_pair(orig_path, rebuilt_path, wrestool):
    problems = []
    orig_raw = open(orig_path, "rb").read()
    new_raw = open(rebuilt_path, "rb").read()
    orig = pefile.PE(data=orig_raw)
    try:
        new = pefile.PE(data=new_raw)
    except pefile.PEFormatError as e:
        return [f"pefile refuses the rebuilt file: {e}"]

    extra = normalised_warnings(new) - normalised_warnings(orig)
    for w in sorted(extra):
        problems.append(f"new pefile warning: {w}")

    before = resources(orig, orig_raw)
    after = resources(new, new_raw)
    if len(before) != len(after):
        problems.append(f"{len(before)} resources before, {len(after)} after")
    for i, (b, a) in enumerate(zip(before, after)):
        if b[:4] != a[:4]:
            problems.append(f"resource {i}: {b[:3]} became {a[:3]}")
            continue
        copied = b[0] not in REGENERATED_TYPES or not b[3]
        if copied and b[5] != a[5]:
            problems.append(f"resource {b[:3]}: copied data differs ({len(b[5])} -> {len(a[5])} bytes)")

    if [x.Name for x in new.sections] != [x.Name for x in orig.sections]:
        problems.append(f"sections {[x.Name for x in orig.sections]} became {[x.Name for x in new.sections]}")
    resource_rva = new.OPTIONAL_HEADER.DATA_DIRECTORY[2].VirtualAddress
    for before_s, s in zip(orig.sections, new.sections):
        if s.PointerToRawData + s.SizeOfRawData > len(new_raw):
            problems.append(f"section {s.Name} raw data runs past the end of the file")
        if not s.contains_rva(resource_rva):
            if s.get_data() != before_s.get_data():
                problems.append(f"section {s.Name}: its data changed")
            continue
        start, end = s.VirtualAddress, s.VirtualAddress + s.Misc_VirtualSize
        for a in after:
            rva, size = a[4], len(a[5])
            if rva < start or rva + size > end:
                problems.append(f"resource {a[:3]} data at RVA {rva:#x} outside the section")
    if appended(orig, orig_raw) != appended(new, new_raw):
        problems.append("the bytes after the last section changed")
    initialized = sum(s.SizeOfRawData for s in new.sections if s.Characteristics & 0x40)
    if new.OPTIONAL_HEADER.SizeOfInitializedData != initialized:
        problems.append(f"SizeOfInitializedData {new.OPTIONAL_HEADER.SizeOfInitializedData:#x}, "
                        f"the initialized sections hold {initialized:#x}")

    if wrestool:
        try:
            lb = wrestool_listing(wrestool, orig_path)
            la = wrestool_listing(wrestool, rebuilt_path)
            if [x[0] for x in lb] != [x[0] for x in la]:
                problems.append("wrestool lists other resources after the rebuild")
            for (name, size_b), (_, size_a) in zip(lb, la):
                regenerated = name.startswith("--type='TEXTFILE'") or name.startswith("--type=6 ")
                if not regenerated and size_b != size_a:
                    problems.append(f"wrestool: {name} size {size_b} -> {size_a}")
        except RuntimeError as e:
            problems.append(str(e))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("folder")
    parser.add_argument("--wrestool", default="wrestool")
    args = parser.parse_args()
    wrestool = args.wrestool if args.wrestool and not args.wrestool.endswith("NOTFOUND") else None
    if wrestool is None:
        sys.exit("check_pe: wrestool is missing (package icoutils; run scripts/setup.sh)")

    pairs = sorted(f[: -len(".orig.msstyles")] for f in os.listdir(args.folder) if f.endswith(".orig.msstyles"))
    if not pairs:
        sys.exit(f"check_pe: no rebuilt files in {args.folder}")
    checks = Checks()
    for stem in pairs:
        orig = os.path.join(args.folder, stem + ".orig.msstyles")
        rebuilt = os.path.join(args.folder, stem + ".rebuilt.msstyles")
        if not checks.expect(os.path.exists(rebuilt), f"{stem}: no rebuilt file"):
            continue
        problems = check_pair(orig, rebuilt, wrestool)
        if len(problems) > 20:
            problems[20:] = [f"... {len(problems) - 20} more"]
        if checks.expect(not problems, stem + "".join(f"\n  {p}" for p in problems)):
            print(f"ok   {stem}")
    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
