#!/usr/bin/env python3
"""Compares the batch calculator with the oracle on random landmark sets.

Usage: compare_with_batch.py PATH_TO_kanat-hesapla [--cases N] [--seed S] [--keep-all]
                             [--emulator 'env;WINEDEBUG=-all;wine']

Each case is a landmark file of up to 18 "x;y" lines, run as
    kanat-hesapla --mm-per-pixel M --decimal C FILE
and its stdout must equal the oracle's 117 lines byte for byte (UTF-8, LF).
Landmark files of failing cases are kept for reproduction. Exits 1 on any
difference.
"""

import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import kanat_oracle  # noqa: E402

STANDARD_MM = ["0.021052632", "0.010526316", "0.005263158"]

# A real wing at "x0,5", used as the shape of the realistic sets.
WING = [(147, 289), (240, 299), (280, 300), (349, 312), (197, 222), (280, 218), (310, 241),
        (349, 242), (424, 255), (546, 269), (270, 147), (446, 149), (506, 196), (652, 208),
        (940, 262), (433, 92), (509, 119), (664, 165)]

TYPED = ["12,5", "  42abc", "", "abc", "1 2", "1e3", "-7.25", "1D2", "1d-2", "+5", ".5", "-.5",
         "1e", "1e+", "--5", "1.2.3", "\t33\t", "0x10", "&H10", "12ç", "ç12", " - 7", "-0",
         "0.0", "4 2 0", "1e 3", "1E-2x", "7.", "300abc400"]

HUGE = ["1e12", "1E12", "-1e12", "1e15", "1.5e15", "123456789012345678", "99999999", "12345678.9",
        "123456.7", "1e200", "1E+300", "-1E+300", "1.5e300", "1.25E+300", "-1.5e300", "1.234e300",
        "1e154", "1e155", "1.2e20", "5e16", "1e308", "1.7976931348623157e308", "1e400",
        "2147483652.5", "2147483652.4", "-2147483654", "-2147483653.5", "2147483647.5",
        "3e38", "3.5e38", "1e39"]

TINY = ["1e-5", "1E-300", "1.23e-05", "1.234e-05", "1e-320", "0.000001", "-1e-7", "0.00012345678"]


def number_text(rng, value):
    """A text for value in one of the ways people and programs write numbers."""
    style = rng.randrange(5)
    if style == 0:
        return repr(value)
    if style == 1:
        return "%.*f" % (rng.randint(1, 17), value)
    if style == 2:
        return "%.*e" % (rng.randint(1, 16), value)
    if style == 3:
        return "%.*f" % (rng.randint(0, 3), value)
    return str(int(round(value)))


def realistic(rng):
    scale = rng.uniform(0.5, 2.1)
    ox, oy = rng.randint(-100, 300), rng.randint(-50, 300)
    pts = []
    for x, y in WING:
        px = min(2000, max(0, int(x * scale + ox + rng.randint(-12, 12))))
        py = min(2000, max(0, int(y * scale + oy + rng.randint(-12, 12))))
        pts.append([str(px), str(py)])
    return pts


def random_integers(rng):
    return [[str(rng.randint(0, 2000)), str(rng.randint(0, 2000))] for _ in range(18)]


def real_valued(rng):
    scale = rng.uniform(0.3, 4.0)
    return [[number_text(rng, x * scale + rng.uniform(-20, 20)),
             number_text(rng, y * scale + rng.uniform(-20, 20))] for x, y in WING]


def negative(rng):
    pts = real_valued(rng) if rng.random() < 0.5 else realistic(rng)
    shift_x, shift_y = rng.choice([(-1000, 0), (0, -500), (-3000, -3000), (-500, -200)])
    out = []
    for x, y in pts:
        vx = kanat_oracle.parse_leading(x) + shift_x
        vy = kanat_oracle.parse_leading(y) + shift_y
        out.append([number_text(rng, vx), number_text(rng, vy)])
    return out


def sprinkle(rng, pts, choices, count):
    for _ in range(count):
        n = rng.randrange(18)
        pts[n][rng.randrange(2)] = rng.choice(choices)


def with_huge(rng):
    pts = realistic(rng)
    sprinkle(rng, pts, HUGE, rng.randint(1, 4))
    return pts


def with_tiny(rng):
    pts = realistic(rng) if rng.random() < 0.5 else [["0", "0"] for _ in range(18)]
    sprinkle(rng, pts, TINY, rng.randint(2, 8))
    return pts


def with_typed(rng):
    pts = realistic(rng)
    sprinkle(rng, pts, TYPED, rng.randint(2, 10))
    if rng.random() < 0.3:
        n = rng.randrange(18)
        pts[n][1] += ";" + rng.choice(["5", "x", ""])  # only the first ';' splits
    return pts


def cut_exponents(rng):
    # Coordinates whose seven-character text keeps, cuts or breaks the exponent.
    values = ["1.2e20", "5e16", "1.5e300", "1.25E+300", "1e150", "-1e150", "2e20", "3e20",
              "4e20", "1.1e21", "7e15", "1e-320", "1.23e-05", "0"]
    pts = [[rng.choice(values) if rng.random() < 0.5 else "0",
            rng.choice(values) if rng.random() < 0.5 else "0"] for _ in range(18)]
    # One pair of landmarks 1.1995E+20 apart: the distance text cannot be read back.
    a, b = rng.sample(range(18), 2)
    pts[a], pts[b] = ["1.2e20", "0"], ["5e16", "0"]
    return pts


def colour_edges(rng):
    pts = realistic(rng)
    edges = ["2147483652.5", "2147483652.4", "2147483647", "2147483647.5", "2147483646.5",
             "-2147483643", "-2147483643.5", "-2147483644", "-2147483653.5", "-2147483654",
             "4294967296", "12.5", "13.5", "-0.5", "0.5"]
    sprinkle(rng, pts, edges, rng.randint(2, 8))
    return pts


BASES = [realistic, random_integers, real_valued, negative, with_huge, with_tiny, with_typed,
         cut_exponents, colour_edges]


def make_coincident(rng, pts):
    a, b = rng.sample(range(18), 2)
    pts[b] = list(pts[a])


def make_collinear(rng, pts):
    a, b, c = rng.choice(kanat_oracle.ANGLES)
    x0, y0 = rng.randint(0, 1500), rng.randint(0, 1500)
    dx, dy = rng.choice([(1, 0), (0, 1), (1, 1), (3, 7), (-2, 5), (13, 4), (1, -1)])
    t1 = rng.randint(1, 40)
    t2 = rng.choice([-rng.randint(1, 40), rng.randint(1, 40)])
    pts[a - 1] = [str(x0), str(y0)]
    pts[b - 1] = [str(x0 + t1 * dx), str(y0 + t1 * dy)]
    pts[c - 1] = [str(x0 + (t1 + t2) * dx), str(y0 + (t1 + t2) * dy)]


def make_shift_special(rng, pts):
    # Landmarks 1, 4 (line A) and 2, 11 (line B) of the Discoidal Shift.
    x1, y1, x2, y2 = (rng.randint(0, 1000) for _ in range(4))
    p, q = rng.randint(1, 20), rng.randint(1, 20)
    kind = rng.choice(["vertical A", "vertical B", "perpendicular", "parallel", "near parallel"])
    l4 = (x1 + q, y1 + p)
    l11 = (x2 + q, y2 + p)
    if kind == "vertical A":
        l4 = (x1, y1 + p)
    elif kind == "vertical B":
        l11 = (x2, y2 + p)
    elif kind == "perpendicular":
        l11 = (x2 + p, y2 - q)
    elif kind == "near parallel":
        l11 = (x2 + 1000 * q, y2 + 1000 * p + rng.choice([-1, 1]))
    pts[0], pts[3] = [str(x1), str(y1)], [str(l4[0]), str(l4[1])]
    pts[1], pts[10] = [str(x2), str(y2)], [str(l11[0]), str(l11[1])]


MUTATIONS = [make_coincident, make_collinear, make_shift_special]


def make_case(rng, index):
    pts = BASES[index % len(BASES)](rng)
    for mutate in MUTATIONS:
        if rng.random() < 0.35:
            mutate(rng, pts)
    lines = [x + ";" + y for x, y in pts]
    if rng.random() < 0.15:
        for _ in range(rng.randint(1, 3)):
            lines[rng.randrange(18)] = ""  # a landmark never placed
    if rng.random() < 0.1:
        lines = lines[:rng.randint(0, 17)]
    text = "\n".join(lines)
    if lines and rng.random() < 0.9:
        text += "\n"
    mm_pick = rng.randrange(4)
    if mm_pick < 3:
        mm = STANDARD_MM[mm_pick]
    else:
        mm = rng.choice(["%.*f" % (rng.randint(3, 20), rng.uniform(0.0005, 0.2)),
                         "0.0123456789012345678", "1", "0.5", "123.456", "2000000.125"])
    sep = rng.choice([".", ","])
    return text, mm, sep


def batch_command(batch, mm, sep, path, emulator=()):
    cmd = [batch, "--mm-per-pixel", mm, "--decimal", sep, path]
    if batch.endswith(".py"):
        cmd.insert(0, sys.executable)
    return list(emulator) + cmd


def first_difference(actual, expected):
    got = actual.decode("utf-8", errors="replace").split("\n")
    want = expected.decode("utf-8", errors="replace").split("\n")
    for i in range(max(len(got), len(want))):
        g = got[i] if i < len(got) else "<missing>"
        w = want[i] if i < len(want) else "<missing>"
        if g != w:
            return i + 1, g, w
    return 0, "<same lines, different bytes>", ""


def main(argv=None):
    parser = argparse.ArgumentParser(description="Compare the batch calculator with the oracle.")
    parser.add_argument("batch", metavar="PATH_TO_kanat-hesapla")
    parser.add_argument("--cases", type=int, default=300)
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--keep-all", action="store_true", help="keep passing landmark files too")
    parser.add_argument("--show", type=int, default=5, help="how many failures to describe")
    parser.add_argument("--emulator", default="",
                        help="what runs the program, as a CMake list (a Windows build's Wine)")
    args = parser.parse_args(argv)

    if not (os.path.isfile(args.batch) or shutil.which(args.batch)):
        parser.error("no batch calculator at %s" % args.batch)
    seed = args.seed if args.seed is not None else random.randrange(2 ** 31)
    rng = random.Random(seed)
    work = tempfile.mkdtemp(prefix="kanat-compare-")
    print("seed %d, landmark files in %s" % (seed, work))

    passed = failed = 0
    for index in range(args.cases):
        text, mm, sep = make_case(rng, index)
        path = os.path.join(work, "case-%04d.txt" % index)
        with open(path, "wb") as fh:
            fh.write(text.encode("utf-8"))

        lines = kanat_oracle.result_lines(kanat_oracle.read_landmark_texts(text),
                                          kanat_oracle.mm_per_pixel_text(mm, sep), sep)
        expected = "".join(line + "\n" for line in lines).encode("utf-8")
        cmd = batch_command(args.batch, mm, sep, path, [part for part in args.emulator.split(";") if part])
        try:
            run = subprocess.run(cmd, capture_output=True, timeout=60)
            actual, problem = run.stdout, (None if run.returncode == 0 else "exit code %d" % run.returncode)
        except (OSError, subprocess.TimeoutExpired) as err:
            actual, problem = b"", str(err)

        if problem is None and actual == expected:
            passed += 1
            if not args.keep_all:
                os.remove(path)
            continue
        failed += 1
        if failed <= args.show:
            print("FAIL %s  (--mm-per-pixel %s --decimal %s)" % (path, mm, sep))
            if problem:
                detail = run.stderr.decode(errors="replace").strip() if problem.startswith("exit") else ""
                print("  batch: %s%s" % (problem, ": " + detail if detail else ""))
            if actual != expected:
                line, got, want = first_difference(actual, expected)
                print("  line %d\n    batch:  %r\n    oracle: %r" % (line, got, want))

    print("%d passed, %d failed" % (passed, failed))
    if failed == 0 and not args.keep_all:
        shutil.rmtree(work, ignore_errors=True)
    elif failed:
        print("failing landmark files kept in %s" % work)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
