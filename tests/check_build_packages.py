#!/usr/bin/env python3
"""The README's line for building the command line alone names every Debian package that
build asks for: the header packages cli/CMakeLists.txt requires, CMake and the release
preset's generator; and scripts/setup.sh installs each of them.

    check_build_packages.py SOURCE_DIR"""
import json
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from checks import Checks  # noqa: E402  (tests/checks.py, shared by the host checks)

# The Debian package of each CMake generator a preset may name.
GENERATOR_PACKAGES = {"Ninja": "ninja-build", "Unix Makefiles": "make"}


def read(source, path):
    with open(os.path.join(source, path), encoding="utf-8") as f:
        return f.read()


def main():
    source = sys.argv[1]
    checks = Checks()
    cmake = read(source, "cli/CMakeLists.txt")
    wanted = re.search(r"set\(MARVENTO_CLI_HEADER_PACKAGES ([^)]*)\)", cmake)
    if not checks.expect(wanted is not None, "cli/CMakeLists.txt sets no MARVENTO_CLI_HEADER_PACKAGES"):
        return checks.report()
    needed = [pair.split(":")[1] for pair in wanted.group(1).split()]
    presets = json.loads(read(source, "CMakePresets.json"))["configurePresets"]
    release = next(p for p in presets if p["name"] == "release")
    needed += ["cmake", GENERATOR_PACKAGES.get(release["generator"], release["generator"])]

    readme = read(source, "README.md")
    section = readme[readme.index("## The command line"):]
    line = re.search(r"`apt-get install ([^`]*)`", section)
    if not checks.expect(line is not None, "the README's command-line section has no `apt-get install ...`"):
        return checks.report()
    named = line.group(1).split()
    setup = read(source, "scripts/setup.sh")
    native = re.search(r"native=\(([^)]*)\)", setup)
    installed = native.group(1).split() if native else []
    for package in needed:
        checks.expect(package in named, "the README's build line leaves out %s, which the build asks for" % package)
    for package in named:
        checks.expect(package in installed, "scripts/setup.sh does not install %s, which the README names" % package)
    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
