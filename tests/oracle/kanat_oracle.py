#!/usr/bin/env python3
"""Reference computation of the Calculate run, written apart from the C++ code.

The tests use it as an oracle: given the 18 landmark texts, the mmPerPixel
text and the decimal separator, it yields the 117 result lines and the 118
fields of the record line. Standard library only.

Command line:
    kanat_oracle.py --mm-per-pixel M --decimal C LANDMARKS
prints the 117 result lines (UTF-8, LF).
"""

import argparse
import math
import re
import struct
import sys
from decimal import ROUND_HALF_EVEN, Decimal, localcontext

LANDMARK_COUNT = 18
INT32_MIN = -(2 ** 31)
INT32_MAX = 2 ** 31 - 1


class StepFailed(Exception):
    """An arithmetic or conversion error; the Calculate run skips the step."""


# ---------------------------------------------------------------- number texts

_DIGITS = "0123456789"


def parse_leading(text):
    """Leading-number parse: ignores blanks, tabs and line feeds anywhere,
    reads sign, digits, '.', digits and an E/e/D/d exponent as far as they
    fit; no number at all gives 0. Only '.' is a decimal point."""
    s = "".join(ch for ch in text if ch not in " \t\n")
    n = len(s)
    i = 0
    sign = ""
    if i < n and s[i] in "+-":
        sign = s[i]
        i += 1
    start = i
    while i < n and s[i] in _DIGITS:
        i += 1
    int_digits = s[start:i]
    frac_digits = ""
    if i < n and s[i] == ".":
        i += 1
        start = i
        while i < n and s[i] in _DIGITS:
            i += 1
        frac_digits = s[start:i]
    if not int_digits and not frac_digits:
        return 0.0
    exponent = ""
    if i < n and s[i] in "EeDd":
        j = i + 1
        exp_sign = ""
        if j < n and s[j] in "+-":
            exp_sign = s[j]
            j += 1
        start = j
        while j < n and s[j] in _DIGITS:
            j += 1
        # An exponent letter without digits is not part of the number.
        if j > start:
            exponent = "e" + exp_sign + s[start:j]
    value = float(sign + (int_digits or "0") + "." + (frac_digits or "0") + exponent)
    if math.isinf(value):
        # The number itself does not fit a double: overflow, like any other step.
        raise StepFailed("overflow in leading-number parse")
    return value


def _locale_pattern(sep):
    return re.compile(
        r"[ \t]*([+-]?)([0-9]*)(?:" + re.escape(sep) + r"([0-9]*))?"
        r"(?:[EeDd]([+-]?[0-9]+))?[ \t]*\Z"
    )


def parse_locale(text, sep):
    """Locale parse: the whole text must be one number written with the
    locale's separator, blanks and tabs allowed around it; anything else is
    a conversion error."""
    m = _locale_pattern(sep).match(text)
    if not m:
        raise StepFailed("conversion error: %r" % text)
    sign, int_digits, frac_digits, exp = m.group(1), m.group(2), m.group(3) or "", m.group(4)
    if not int_digits and not frac_digits:
        raise StepFailed("conversion error: %r" % text)
    literal = sign + (int_digits or "0") + "." + (frac_digits or "0")
    if exp is not None:
        literal += "e" + exp
    value = float(literal)
    if math.isinf(value):
        raise StepFailed("overflow in locale parse")
    return value


def to_single(value):
    """Round a double to single precision; beyond its range is an overflow."""
    try:
        return struct.unpack("<f", struct.pack("<f", value))[0]
    except OverflowError:
        raise StepFailed("overflow converting to single") from None


def format_general(value, sep, single=False):
    """General number format: 15 significant digits for a double, 7 for a
    single, exponent form exactly where C's %G switches to it."""
    if math.isinf(value) or math.isnan(value):
        raise ValueError("no text for %r" % value)
    if value == 0:
        return "0"  # also a negative zero
    text = ("%.7G" % to_single(value)) if single else ("%.15G" % value)
    return text.replace(".", sep)


def fixed7(value, sep):
    """The general format cut to seven characters or padded with blanks."""
    return format_general(value, sep)[:7].ljust(7)


def round_half_even(value, places):
    """Round to `places` decimals, ties to even, judged on the shortest
    round-trip decimal text of the double (so 2.0125 counts as a tie)."""
    digits = Decimal(repr(value))
    if digits.as_tuple().exponent >= -places:
        return value
    with localcontext() as ctx:
        ctx.prec = 1000
        rounded = digits.quantize(Decimal(1).scaleb(-places), rounding=ROUND_HALF_EVEN)
    return float(rounded)


def format_result(value, sep):
    return format_general(round_half_even(value, 3), sep)


# ----------------------------------------------------------- checked arithmetic
# Every step is checked on its own, so a failure shows where the run would stop.

def _checked(value):
    if math.isinf(value):
        raise StepFailed("overflow")
    if math.isnan(value):
        raise StepFailed("invalid operation")
    return value


def _add(a, b):
    return _checked(a + b)


def _sub(a, b):
    return _checked(a - b)


def _mul(a, b):
    return _checked(a * b)


def _div(a, b):
    if b == 0:
        raise StepFailed("division by zero")
    return _checked(a / b)


def _sqrt(a):
    if a < 0:
        raise StepFailed("square root of a negative number")
    return math.sqrt(a)


def _distance(x1, y1, x2, y2):
    dx = _sub(x2, x1)
    dy = _sub(y2, y1)
    return _sqrt(_add(_mul(dx, dx), _mul(dy, dy)))


def arc_cos(x):
    """arctan(-x / sqrt(-x*x + 1)) + 2*arctan(1), unclamped on purpose."""
    root = _sqrt(_add(_mul(-x, x), 1.0))
    return _add(math.atan(_div(-x, root)), _mul(2.0, math.atan(1.0)))


# ------------------------------------------------------- measuring procedures
# Each takes the dict of working fields and changes it as the window would.

def _point_value(text, sep):
    # Point fields pass through their seven-character text before any use.
    return parse_locale(fixed7(parse_leading(text), sep), sep)


def _read_points(f, count, sep):
    xs = [_point_value(f["x%d%d" % (i, i)], sep) for i in range(1, count + 1)]
    ys = [_point_value(f["y%d%d" % (i, i)], sep) for i in range(1, count + 1)]
    return xs, ys


def vertex_angle(f, sep):
    (x1, x2, x3), (y1, y2, y3) = _read_points(f, 3, sep)
    a = fixed7(_distance(x1, y1, x2, y2), sep)
    b = fixed7(_distance(x2, y2, x3, y3), sep)
    c = fixed7(_distance(x3, y3, x1, y1), sep)
    f["Txt1"], f["Txt2"], f["Txt3"] = a, c, b
    a, b, c = parse_locale(a, sep), parse_locale(b, sep), parse_locale(c, sep)
    k = _div(_sub(_mul(c, c), _add(_mul(a, a), _mul(b, b))), _mul(_mul(a, -2.0), b))
    theta = arc_cos(k)
    f["cs"] = format_result(_div(_mul(theta, 180.0), 3.14), sep)
    f["oran"] = format_result(_div(a, b), sep)


def distance_ratio(f, sep):
    (x1, x2, x3, x4), (y1, y2, y3, y4) = _read_points(f, 4, sep)
    d1 = fixed7(_distance(x1, y1, x2, y2), sep)
    d2 = fixed7(_distance(x3, y3, x4, y4), sep)
    f["oran"] = format_result(_div(parse_locale(d1, sep), parse_locale(d2, sep)), sep)


def length_pair(f, sep, mm_text):
    (x1, x2, x3, x4), (y1, y2, y3, y4) = _read_points(f, 4, sep)
    d1 = fixed7(_distance(x1, y1, x2, y2), sep)
    d2 = fixed7(_distance(x3, y3, x4, y4), sep)
    # d2 is read back only after oran is written, so a bad d2 text still
    # leaves the first length in place.
    f["oran"] = format_result(_mul(parse_locale(d1, sep), parse_locale(mm_text, sep)), sep)
    f["cs"] = format_result(_mul(parse_locale(d2, sep), parse_locale(mm_text, sep)), sep)


SHIFT_PI = 3.14159265358979


def discoidal_shift(f, sep, texts):
    x1 = parse_leading(texts[0])
    y1 = parse_leading(texts[1])
    x4 = parse_leading(texts[6])
    y4 = parse_leading(texts[7])
    x2 = parse_leading(texts[2])
    y2 = parse_leading(texts[3])
    x11 = parse_leading(texts[20])
    y11 = to_single(parse_leading(texts[21]))
    slope_a = _div(_sub(y4, y1), _sub(x4, x1))
    slope_b = _div(_sub(y11, y2), _sub(x11, x2))
    tangent = _div(_sub(slope_b, slope_a), _add(_mul(slope_a, slope_b), 1.0))
    angle = round_half_even(_div(_mul(math.atan(tangent), 180.0), SHIFT_PI), 2)
    if angle > 0:
        f["cs"] = format_general(_sub(angle, 90.0), sep)
    elif angle < 0:
        f["cs"] = format_general(_add(angle, 90.0), sep)
    else:
        f["cs"] = "0"


# Sampling direction (dx, dy) and distances per landmark 1..18.
COLOUR_SAMPLING = [
    (-1, -1, (5, 6, 7)), (0, 1, (3, 4, 5)), (1, 1, (5, 6, 7)), (1, 0, (5, 6, 7)),
    (-1, -1, (5, 6, 7)), (-1, -1, (5, 6, 7)), (-1, 0, (5, 6, 7)), (-1, -1, (5, 6, 7)),
    (1, -1, (5, 6, 7)), (1, 0, (5, 6, 7)), (0, -1, (5, 6, 7)), (1, 0, (5, 6, 7)),
    (-1, -1, (5, 6, 7)), (-1, -1, (5, 6, 7)), (-1, 0, (5, 6, 7)), (-1, 0, (5, 6, 7)),
    (-1, 0, (5, 6, 7)), (0, -1, (5, 6, 7)),
]


def _pixel_position(value):
    rounded = round_half_even(value, 0)
    if not INT32_MIN <= rounded <= INT32_MAX:
        raise StepFailed("overflow: pixel position out of range")
    return int(rounded)


def landmark_colour(x_text, y_text, dx, dy, distances, picture, sep):
    total = 0
    for k in distances:
        column = _pixel_position(_add(parse_leading(x_text), dx * k))
        row = _pixel_position(_add(parse_leading(y_text), dy * k))
        total += picture(column, row) if picture is not None else -1
    # Readings are summed as packed integers; a third never ties.
    return format_general(round_half_even(total / 3, 0), sep)


# ------------------------------------------------------------------- catalogue

ANGLES = [
    (1, 2, 5), (2, 5, 6), (5, 2, 3), (5, 6, 7), (6, 7, 3), (7, 3, 4), (3, 4, 9),
    (4, 9, 8), (7, 8, 9), (4, 9, 10), (5, 6, 11), (6, 11, 12), (9, 10, 14),
    (14, 15, 10), (8, 13, 14), (11, 12, 13), (12, 17, 18), (16, 17, 12), (13, 14, 18),
]

RATIOS = [
    (1, 2, 2, 5), (2, 5, 5, 6), (5, 2, 2, 3), (6, 7, 7, 3), (7, 3, 3, 4), (3, 4, 4, 9),
    (4, 9, 9, 8), (7, 8, 8, 9), (4, 9, 9, 10), (5, 6, 6, 11), (6, 11, 11, 12),
    (9, 10, 10, 14), (14, 15, 15, 10), (8, 13, 13, 14), (11, 12, 12, 13),
    (12, 17, 17, 18), (16, 17, 17, 12),
    (1, 2, 2, 3), (2, 3, 3, 4), (5, 6, 6, 7), (6, 7, 7, 8), (7, 8, 8, 9), (8, 9, 9, 10),
    (11, 12, 12, 13), (12, 13, 13, 14), (13, 14, 14, 15), (16, 17, 17, 18),
    (1, 2, 2, 5), (2, 3, 3, 7), (3, 4, 4, 9), (5, 6, 6, 11), (8, 13, 13, 12),
    (13, 15, 15, 18), (11, 12, 12, 17),
    (2, 3, 5, 6), (2, 5, 3, 7), (2, 5, 6, 7), (3, 4, 7, 8), (3, 4, 8, 9), (3, 7, 4, 9),
    (6, 7, 11, 12), (6, 7, 12, 13), (6, 11, 8, 13), (6, 11, 12, 13), (7, 8, 11, 12),
    (8, 9, 10, 14), (8, 9, 13, 14), (9, 10, 13, 14), (8, 13, 10, 14), (12, 13, 14, 18),
    (12, 13, 17, 18), (13, 14, 17, 18), (12, 17, 14, 18),
]

# (label, landmarks for x11..x44): Cubital 6-7 over 5-6, Hantel 5-7 over 2-3.
INDEX_RATIOS = [
    ("Cubital index", (6, 7, 5, 6)),
    ("Hantel index", (5, 7, 2, 3)),
]

LENGTH_PAIRS = [
    (4, 17, 5, 15), (1, 2, 2, 3), (3, 4, 4, 9), (2, 5, 3, 7), (5, 6, 6, 7), (7, 8, 8, 9),
    (9, 10, 10, 14), (1, 2, 2, 3), (14, 15, 14, 18), (6, 11, 11, 12), (12, 13, 12, 17),
    (16, 17, 17, 18),
]


def _copy_landmarks(f, texts, landmarks):
    for i, n in enumerate(landmarks, start=1):
        f["x%d%d" % (i, i)] = texts[2 * n - 2]
        f["y%d%d" % (i, i)] = texts[2 * n - 1]


def _run(procedure, *args):
    try:
        procedure(*args)
    except StepFailed:
        pass  # the Calculate run skips a failing step and goes on


def calculate(texts, mm_text, sep, picture=None):
    """The Calculate run over the 36 landmark texts (x1, y1, ..., x18, y18).

    Returns a list of 117 (label, value) pairs in list order; label is None
    for the colour lines. Before each step the result field it reports is
    emptied, so a failing step reports an empty value."""
    if len(texts) != 2 * LANDMARK_COUNT:
        raise ValueError("need 36 landmark texts")
    f = {name: "" for name in (
        "x11", "y11", "x22", "y22", "x33", "y33", "x44", "y44",
        "Txt1", "Txt2", "Txt3", "cs", "oran", "renk")}
    out = []

    for a, b, c in ANGLES:
        _copy_landmarks(f, texts, (a, b, c))
        f["cs"] = ""
        _run(vertex_angle, f, sep)
        out.append(("Açı(%d-%d-%d)" % (a, b, c), f["cs"]))

    for a, b, c, d in RATIOS:
        _copy_landmarks(f, texts, (a, b, c, d))
        f["oran"] = ""
        _run(distance_ratio, f, sep)
        out.append(("Oran(%d-%d/%d-%d)" % (a, b, c, d), f["oran"]))

    for label, landmarks in INDEX_RATIOS:
        _copy_landmarks(f, texts, landmarks)
        f["oran"] = ""
        _run(distance_ratio, f, sep)
        out.append((label, f["oran"]))

    f["cs"] = ""
    _run(discoidal_shift, f, sep, texts)
    out.append(("Discoidal Shift", f["cs"]))

    for a, b, c, d in LENGTH_PAIRS:
        _copy_landmarks(f, texts, (a, b, c, d))
        f["oran"] = ""
        f["cs"] = ""
        _run(length_pair, f, sep, mm_text)
        out.append(("Uzunluk(mm)(%d-%d)" % (a, b), f["oran"]))
        out.append(("Uzunluk(mm)(%d-%d)" % (c, d), f["cs"]))

    for n, (dx, dy, distances) in enumerate(COLOUR_SAMPLING, start=1):
        f["renk"] = ""
        try:
            f["renk"] = landmark_colour(texts[2 * n - 2], texts[2 * n - 1],
                                        dx, dy, distances, picture, sep)
        except StepFailed:
            pass  # only this landmark is lost; the next ones are still sampled
        out.append((None, f["renk"]))

    assert len(out) == 117
    return out


def result_lines(texts, mm_text, sep, picture=None):
    """The 117 result lines: 'label;value' for measurements, the value alone
    for colours."""
    return [value if label is None else label + ";" + value
            for label, value in calculate(texts, mm_text, sep, picture)]


def record_fields(texts, mm_text, sep, image_name="", picture=None):
    """The 118 fields of the record line: image name, slots 1..116, and the
    landmark-18 colour cut or padded to seven characters."""
    values = [value for _, value in calculate(texts, mm_text, sep, picture)]
    return [image_name] + values[:116] + [values[116][:7].ljust(7)]


# ------------------------------------------------------------------------ input

_MM_PATTERN = re.compile(r"[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?\Z")


def mm_per_pixel_text(mm, sep):
    """The program's mmPerPixel text for a value given with '.'."""
    if not _MM_PATTERN.match(mm):
        raise ValueError("not a number: %r" % mm)
    return format_general(float(mm), sep)


def read_landmark_texts(data):
    """36 texts from up to 18 'x;y' lines; a blank or missing line leaves
    both texts empty, a line without ';' is all x text."""
    if isinstance(data, bytes):
        data = data.decode("utf-8", errors="surrogateescape")
    lines = data.split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    texts = []
    for n in range(LANDMARK_COUNT):
        line = lines[n] if n < len(lines) else ""
        if line.endswith("\r"):
            line = line[:-1]
        x, _, y = line.partition(";")
        texts += [x, y]
    return texts


def main(argv=None):
    parser = argparse.ArgumentParser(description="Reference Calculate run: prints the 117 result lines.")
    parser.add_argument("--mm-per-pixel", required=True, metavar="M")
    parser.add_argument("--decimal", required=True, metavar="C")
    parser.add_argument("landmarks", metavar="LANDMARKS")
    args = parser.parse_args(argv)
    if len(args.decimal) != 1:
        parser.error("--decimal takes one character")
    try:
        mm_text = mm_per_pixel_text(args.mm_per_pixel, args.decimal)
    except ValueError as err:
        parser.error(str(err))
    with open(args.landmarks, "rb") as fh:
        texts = read_landmark_texts(fh.read())
    lines = result_lines(texts, mm_text, args.decimal)
    out = "".join(line + "\n" for line in lines)
    sys.stdout.buffer.write(out.encode("utf-8", errors="surrogateescape"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
