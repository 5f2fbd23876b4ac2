"""What every host check shares: running a program, counting what holds, and the closing
lines, one "FAIL: ..." line per failure and the "N passed, N failed" line that
scripts/test-windows.sh adds up."""
import subprocess


def run(command, timeout=300):
    """Runs `command` to its end: (exit status, standard output with CRLF line ends made
    LF, standard error as text)."""
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=timeout, check=False)
    return result.returncode, result.stdout.replace(b"\r\n", b"\n"), result.stderr.decode("utf-8", "replace")


def report(failures, passed=None, most=None):
    """Prints the failures (the first `most` of them when given) and the totals; a check
    that counts no cases of its own passes as one. Returns the exit status."""
    for failure in failures[:most]:
        print("FAIL: " + failure)
    if passed is None:
        passed = 0 if failures else 1
    print("%d passed, %d failed" % (passed, len(failures)))
    return 1 if failures else 0


class Checks:
    """Counts the expectations that hold and keeps the text of those that do not."""

    def __init__(self):
        self.passed = 0
        self.failures = []

    def expect(self, ok, what):
        if ok:
            self.passed += 1
        else:
            self.failures.append(what)
        return ok

    def report(self, most=None):
        return report(self.failures, passed=self.passed, most=most)
