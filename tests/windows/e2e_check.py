#!/usr/bin/env python3
"""Checks the file that the GUI tests wrote after editing Wine's light.msstyles: lists
the original and the written file with the cross-built marvento-cli under Wine and
requires the written one to equal the original with exactly the recorded changes (the
bulk font name of a page, then single cells) and nothing else changed.

    e2e_check.py WINE_RUN CLI_EXE DIR      (DIR holds written.msstyles and
                                            expected-changes.txt; exit 77 = skipped)
"""
import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir))
from checks import report, run  # noqa: E402  (tests/checks.py)

FIELDS = ("file", "section", "key", "font", "size", "option")


def listing(wine_run, cli, path):
    status, out, err = run([wine_run, cli, "list", path, "--json"])
    if status != 0:
        raise RuntimeError("marvento-cli list %s failed (exit %d): %s" % (path, status, err))
    return json.loads(out.decode("utf-8"))


def main():
    wine_run, cli, folder = sys.argv[1:4]
    changes_path = os.path.join(folder, "expected-changes.txt")
    if not os.path.exists(changes_path):
        print("skipped: the GUI tests wrote no edited file (is Wine's light.msstyles installed?)")
        return 77
    with open(changes_path, encoding="cp932") as f:
        lines = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    source = next(l[1] for l in lines if l[0] == "source")
    original = listing(wine_run, cli, source)
    written = listing(wine_run, cli, "Z:" + os.path.join(folder, "written.msstyles"))

    expected = json.loads(json.dumps(original))
    changed = 0
    for line in lines:
        if line[0] == "bulk":
            page, field, value = int(line[1]), line[2], line[3]
            for row in expected["pages"][page]["rows"]:
                row[field] = value
                changed += 1
        elif line[0] == "cell":
            page, row, field, value = int(line[1]), int(line[2]), line[3], line[4]
            expected["pages"][page]["rows"][row][field] = value
            changed += 1

    failures = []
    if expected == original:
        failures.append("the recorded changes change nothing: the check would prove nothing")
    for key in sorted(set(expected) | set(written)):
        if key != "pages" and expected.get(key) != written.get(key):
            failures.append("%s: expected %r, written %r" % (key, expected.get(key), written.get(key)))
    exp_pages, got_pages = expected.get("pages", []), written.get("pages", [])
    if len(exp_pages) != len(got_pages):
        failures.append("%d pages written, %d expected" % (len(got_pages), len(exp_pages)))
    for p, (e, g) in enumerate(zip(exp_pages, got_pages)):
        if {k: v for k, v in e.items() if k != "rows"} != {k: v for k, v in g.items() if k != "rows"}:
            failures.append("page %d header differs: %r / %r" % (p, g, e))
        if len(e["rows"]) != len(g["rows"]):
            failures.append("page %d: %d rows written, %d expected" % (p, len(g["rows"]), len(e["rows"])))
        for i, (er, gr) in enumerate(zip(e["rows"], g["rows"])):
            for field in FIELDS:
                if er.get(field) != gr.get(field):
                    failures.append("page %d row %d %s: written %r, expected %r" % (p, i, field, gr.get(field),
                                                                                   er.get(field)))
    print("%d rows compared, %d recorded changes" % (sum(len(p["rows"]) for p in got_pages), changed))
    return report(failures, most=40)


if __name__ == "__main__":
    sys.exit(main())
