#!/usr/bin/env python3
"""Runs the cross-built marvento-cli.exe under Wine on Wine's own light.msstyles and
holds it against the native marvento-cli: the same version, the same list (table and
JSON); the copy that Wine's build writes is byte for byte the native build's copy and
lists the same; a Japanese face given on Wine's command line lands on every row.

    cli_wine_check.py WINE_RUN CLI_EXE NATIVE_CLI WORK_DIR THEME...
    (CLI_EXE as Wine sees it, e.g. Z:/.../marvento-cli.exe)
"""
import hashlib
import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from checks import Checks, run  # noqa: E402  (tests/checks.py)

JAPANESE_FACE = "ＭＳ ゴシック"


def wine_path(path):
    return "Z:" + os.path.abspath(path)


def check_theme(checks, wine, native, theme, work):
    name = os.path.basename(os.path.dirname(theme))
    status, native_json, err = run(native + ["list", theme, "--json"])
    if not checks.expect(status == 0, "%s: native list failed: %s" % (theme, err)):
        return
    original = json.loads(native_json)

    status, wine_json, err = run(wine + ["list", wine_path(theme), "--json"])
    checks.expect(status == 0 and wine_json == native_json,
                  "%s: the JSON list under Wine differs from the native one (exit %d) %s" % (theme, status, err))
    _, native_table, _ = run(native + ["list", theme])
    status, wine_table, err = run(wine + ["list", wine_path(theme)])
    checks.expect(status == 0 and wine_table == native_table,
                  "%s: the table under Wine differs from the native one (exit %d) %s" % (theme, status, err))

    wine_copy = os.path.join(work, name + "-wine.msstyles")
    native_copy = os.path.join(work, name + "-native.msstyles")
    status, _, err = run(wine + ["write", wine_path(theme), "-o", wine_path(wine_copy)])
    if not checks.expect(status == 0 and os.path.exists(wine_copy),
                         "%s: write under Wine failed (exit %d): %s" % (theme, status, err)):
        return
    run(native + ["write", theme, "-o", native_copy])
    with open(wine_copy, "rb") as a, open(native_copy, "rb") as b:
        checks.expect(a.read() == b.read(), "%s: Wine's rebuilt copy is not the native one" % theme)
    status, copy_json, err = run(native + ["list", wine_copy, "--json"])
    checks.expect(status == 0 and copy_json == native_json,
                  "%s: the native build lists Wine's copy differently: %s" % (theme, err))

    face_copy = os.path.join(work, name + "-face.msstyles")
    status, _, err = run(wine + ["write", wine_path(theme), "-o", wine_path(face_copy), "--font", JAPANESE_FACE])
    if not checks.expect(status == 0, "%s: write --font under Wine failed (exit %d): %s" % (theme, status, err)):
        return
    _, face_json, _ = run(native + ["list", face_copy, "--json"])
    expected = json.loads(native_json)
    for page in expected["pages"]:
        for row in page["rows"]:
            row["font"] = JAPANESE_FACE
    rows = sum(len(p["rows"]) for p in original["pages"])
    checks.expect(rows > 0 and json.loads(face_json) == expected,
                  "%s: Wine's --font %s did not land on every one of %d rows and only there" % (theme, JAPANESE_FACE,
                                                                                                 rows))
    print("%s: %d rows, %d pages" % (theme, rows, len(original["pages"])))


def main():
    if len(sys.argv) < 6:
        print(__doc__)
        return 2
    wine_run, cli, native_cli, work = sys.argv[1:5]
    wine, native = [wine_run, cli], [native_cli]
    os.makedirs(work, exist_ok=True)
    checks = Checks()

    _, wine_version, err = run(wine + ["--version"])
    _, native_version, _ = run(native + ["--version"])
    checks.expect(wine_version == native_version and wine_version.startswith(b"marvento-cli "),
                  "--version under Wine %r, natively %r %s" % (wine_version, native_version, err))

    seen = set()
    for theme in sys.argv[5:]:
        with open(theme, "rb") as f:
            digest = hashlib.sha256(f.read()).hexdigest()
        if digest in seen:
            print("%s: the same file as one before, skipped" % theme)
            continue
        seen.add(digest)
        check_theme(checks, wine, native, theme, work)

    return checks.report()


if __name__ == "__main__":
    sys.exit(main())
