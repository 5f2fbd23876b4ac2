#!/usr/bin/env python3
"""Checks that a built Windows program can load on Windows XP, reading its PE file:
machine, GUI subsystem and subsystem/OS version, the application manifest, and every
imported DLL and function (normal and delay-load imports). Fails on a DLL that XP does
not ship and on functions that XP's system DLLs do not export (xp_missing_imports.txt).
With --console: the console subsystem instead, and no manifest needed.

    check_imports.py EXE [--machine i386|amd64] [--subsystem-version 5.1]
                         [--manifest-arch X86|amd64] [--console]
"""
import argparse
import os
import struct
import sys

from check_report import report

MACHINES = {"i386": 0x14C, "amd64": 0x8664}
SUBSYSTEM_GUI = 2
SUBSYSTEM_CONSOLE = 3

# The system DLLs of Windows XP (SP0) that a program like this may use.
XP_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll",
    "msimg32.dll", "msvcrt.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll", "shell32.dll",
    "shlwapi.dll", "user32.dll", "uxtheme.dll", "version.dll", "winmm.dll", "ws2_32.dll",
}


class PeError(Exception):
    pass


class Pe:
    def __init__(self, data):
        self.data = data
        if self.u16(0) != 0x5A4D:
            raise PeError("no MZ header")
        nt = self.u32(0x3C)
        if self.data[nt:nt + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        self.machine = self.u16(nt + 4)
        sections = self.u16(nt + 6)
        optional_size = self.u16(nt + 20)
        opt = nt + 24
        magic = self.u16(opt)
        if magic not in (0x10B, 0x20B):
            raise PeError("unknown optional header magic %#x" % magic)
        self.pe32plus = magic == 0x20B
        self.os_version = (self.u16(opt + 40), self.u16(opt + 42))
        self.subsystem_version = (self.u16(opt + 48), self.u16(opt + 50))
        self.subsystem = self.u16(opt + 68)
        dirs = opt + (112 if self.pe32plus else 96)
        count = self.u32(dirs - 4)
        self.directories = [(self.u32(dirs + 8 * i), self.u32(dirs + 8 * i + 4)) for i in range(count)]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            s = table + 40 * i
            vsize, va, rsize, raw = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((va, max(vsize, rsize), raw, rsize))

    def u16(self, off):
        return struct.unpack_from("<H", self.data, off)[0]

    def u32(self, off):
        return struct.unpack_from("<I", self.data, off)[0]

    def u64(self, off):
        return struct.unpack_from("<Q", self.data, off)[0]

    def offset(self, rva):
        for va, size, raw, rsize in self.sections:
            if va <= rva < va + size:
                if rva - va >= rsize:
                    raise PeError("RVA %#x lies in uninitialised data" % rva)
                return raw + rva - va
        raise PeError("RVA %#x is in no section" % rva)

    def cstr(self, rva):
        off = self.offset(rva)
        end = self.data.index(b"\0", off)
        return self.data[off:end].decode("ascii")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def _thunks(self, rva):
        step = 8 if self.pe32plus else 4
        ordinal_flag = 1 << (63 if self.pe32plus else 31)
        while True:
            value = self.u64(self.offset(rva)) if self.pe32plus else self.u32(self.offset(rva))
            if value == 0:
                return
            if value & ordinal_flag:
                yield "#%d" % (value & 0xFFFF)
            else:
                yield self.cstr((value & 0x7FFFFFFF) + 2)
            rva += step

    def imports(self):
        """{dll: [function, ...]} of the import and delay-import tables."""
        result = {}
        rva, size = self.directory(1)
        if rva:
            off = self.offset(rva)
            while True:
                lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, off)
                if name == 0:
                    break
                result.setdefault(self.cstr(name), []).extend(self._thunks(lookup or first))
                off += 20
        rva, size = self.directory(13)
        if rva:
            off = self.offset(rva)
            while True:
                fields = struct.unpack_from("<IIIIIIII", self.data, off)
                if fields[1] == 0:
                    break
                result.setdefault(self.cstr(fields[1]), []).extend(self._thunks(fields[4]))
                off += 32
        return result

    def resource(self, type_id, name_id):
        """The data of the first language of resource (type_id, name_id), or None."""
        rva, _ = self.directory(2)
        if not rva:
            return None
        root = self.offset(rva)

        def find(directory, wanted):
            named, ids = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                if wanted is None or (not name & 0x80000000 and name == wanted):
                    return target
            return None

        entry = find(root, type_id)
        if entry is None or not entry & 0x80000000:
            return None
        entry = find(root + (entry & 0x7FFFFFFF), name_id)
        if entry is None or not entry & 0x80000000:
            return None
        entry = find(root + (entry & 0x7FFFFFFF), None)
        if entry is None or entry & 0x80000000:
            return None
        data_rva, data_size = struct.unpack_from("<II", self.data, root + entry)
        off = self.offset(data_rva)
        return self.data[off:off + data_size]


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
    with open(path, "rb") as f:
        pe = Pe(f.read())
    if pe.machine != MACHINES[machine]:
        failures.append("machine is %#x, not %s" % (pe.machine, machine))
    if console and pe.subsystem != SUBSYSTEM_CONSOLE:
        failures.append("subsystem %d is not the console subsystem (3)" % pe.subsystem)
    if not console and pe.subsystem != SUBSYSTEM_GUI:
        failures.append("subsystem %d is not the Windows GUI subsystem (2)" % pe.subsystem)
    if pe.subsystem_version != subsystem_version:
        failures.append("subsystem version %d.%d, wanted %d.%d" % (pe.subsystem_version + subsystem_version))
    if pe.os_version > subsystem_version:
        failures.append("OS version %d.%d is above %d.%d" % (pe.os_version + subsystem_version))

    manifest = pe.resource(24, 1)
    if manifest is None:
        if not console:
            failures.append("no application manifest (RT_MANIFEST 1)")
    else:
        text = manifest.decode("utf-8", "replace")
        for needle in ('name="Microsoft.Windows.Common-Controls"', 'version="6.0.0.0"',
                       'processorArchitecture="%s"' % manifest_arch):
            if needle not in text:
                failures.append("manifest lacks %s" % needle)

    imports = pe.imports()
    if not imports:
        failures.append("no imports at all: not the program expected")
    for dll, functions in sorted(imports.items()):
        key = dll.lower()
        if key not in XP_DLLS:
            failures.append("imports %s, which Windows XP does not ship" % dll)
        for function in functions:
            if function in missing.get(key, ()) or (key == "msvcrt.dll" and function.endswith("_s")):
                failures.append("imports %s!%s, which Windows XP does not have" % (dll, function))
    return failures, imports


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
    except (PeError, struct.error, ValueError, IndexError) as e:
        print("FAIL: %s is not a readable PE file: %s" % (args.exe, e))
        return 1
    count = sum(len(f) for f in imports.values())
    print("%s: %d functions from %d DLLs: %s" % (args.exe, count, len(imports), ", ".join(sorted(imports))))
    return report(failures)


if __name__ == "__main__":
    sys.exit(main())
