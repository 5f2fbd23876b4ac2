"""The closing lines of every host check: one "FAIL: ..." line per failure and the
"N passed, N failed" line that scripts/test-windows.sh adds up."""


def report(failures, passed=None, most=None):
    """Prints the failures (the first `most` of them when given) and the totals; a check
    that counts no cases of its own passes as one. Returns the exit status."""
    for failure in failures[:most]:
        print("FAIL: " + failure)
    if passed is None:
        passed = 0 if failures else 1
    print("%d passed, %d failed" % (passed, len(failures)))
    return 1 if failures else 0
