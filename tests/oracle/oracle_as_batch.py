#!/usr/bin/env python3
"""Stands in for kanat-hesapla by running the oracle, so compare_with_batch.py
can be tried before the C++ tool exists.

Setting ORACLE_AS_BATCH_FAULT=N changes result line N (1-based), for checking
that the comparison does catch a difference.
"""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    run = subprocess.run([sys.executable, os.path.join(HERE, "kanat_oracle.py")] + sys.argv[1:],
                         capture_output=True)
    out = run.stdout
    fault = os.environ.get("ORACLE_AS_BATCH_FAULT")
    if fault and run.returncode == 0:
        lines = out.split(b"\n")
        lines[int(fault) - 1] += b"0"
        out = b"\n".join(lines)
    sys.stdout.buffer.write(out)
    sys.stderr.buffer.write(run.stderr)
    return run.returncode


if __name__ == "__main__":
    sys.exit(main())
