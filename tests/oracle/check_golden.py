#!/usr/bin/env python3
"""Runs the oracle's command line on the golden landmark sets and compares its
output byte for byte with the expected 117 lines.

Usage: check_golden.py [GOLDEN_DIR]
GOLDEN_DIR defaults to $KANAT_GOLDEN_DIR, else tests/data/golden of this
repository. Exits 1 on any difference, printing the first differing line.
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ORACLE = os.path.join(HERE, "kanat_oracle.py")

# Case name -> (mmPerPixel, decimal separator), as the golden set's notes give them.
CASES = {
    "wing-x05-point": ("0.021052632", "."),
    "wing-x4-comma": ("0.005263158", ","),
    "degenerate-point": ("0.010526316", "."),
}


def default_golden_dir():
    env = os.environ.get("KANAT_GOLDEN_DIR")
    if env:
        return env
    return os.path.join(os.path.dirname(HERE), "data", "golden")


def first_difference(actual, expected):
    """(line number, actual line, expected line) of the first difference, or None."""
    if actual == expected:
        return None
    got = actual.decode("utf-8", errors="replace").split("\n")
    want = expected.decode("utf-8", errors="replace").split("\n")
    for i in range(max(len(got), len(want))):
        g = got[i] if i < len(got) else "<missing>"
        w = want[i] if i < len(want) else "<missing>"
        if g != w:
            return i + 1, g, w
    return 0, "<same lines, different bytes>", ""


def main(argv):
    golden = argv[1] if len(argv) > 1 else default_golden_dir()
    failed = 0
    for name, (mm, sep) in CASES.items():
        landmarks = os.path.join(golden, name + ".txt")
        with open(os.path.join(golden, name + ".expected"), "rb") as fh:
            expected = fh.read()
        run = subprocess.run([sys.executable, ORACLE, "--mm-per-pixel", mm, "--decimal", sep, landmarks],
                             capture_output=True)
        if run.returncode != 0:
            failed += 1
            print("%s: oracle exited %d: %s" % (name, run.returncode, run.stderr.decode(errors="replace")))
            continue
        diff = first_difference(run.stdout, expected)
        if diff is None:
            print("%s: ok" % name)
        else:
            failed += 1
            line, got, want = diff
            print("%s: line %d differs\n  oracle:   %r\n  expected: %r" % (name, line, got, want))
    print("%d passed, %d failed" % (len(CASES) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
