#!/usr/bin/env python3
"""Worked examples of the measuring rules, checked against the oracle itself,
so that a slip in the oracle shows up before it is trusted as a reference.

Run: python3 test_oracle_examples.py
"""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import kanat_oracle as k  # noqa: E402

START_MM = "0.021052632"


def landmark_texts(points):
    """36 texts with the given {landmark: (x, y)} placed, the rest empty."""
    texts = [""] * 36
    for n, (x, y) in points.items():
        texts[2 * n - 2], texts[2 * n - 1] = str(x), str(y)
    return texts


def run_lines(points, mm=START_MM, sep="."):
    return k.result_lines(landmark_texts(points), k.mm_per_pixel_text(mm, sep), sep)


def line_value(lines, label, nth=0):
    hits = [ln.split(";", 1)[1] for ln in lines if ln.split(";", 1)[0] == label]
    return hits[nth]


def run_procedure(procedure, points, sep=".", *extra):
    f = {"cs": "before", "oran": "before", "Txt1": "", "Txt2": "", "Txt3": ""}
    for i, (x, y) in enumerate(points, start=1):
        f["x%d%d" % (i, i)], f["y%d%d" % (i, i)] = x, y
    try:
        procedure(f, sep, *extra)
        f["failed"] = False
    except k.StepFailed:
        f["failed"] = True
    return f


class NumberTexts(unittest.TestCase):
    def test_fixed7(self):
        for value, text in [(1.4142135, "1.41421"), (123.456789, "123.456"),
                            (1234.5678, "1234.56"), (-12.3456, "-12.345"), (12.0, "12     "),
                            (99999999.0, "9999999"), (1.5e300, "1.5E+30"), (-0.0, "0      ")]:
            with self.subTest(value=value):
                self.assertEqual(k.fixed7(value, "."), text)

    def test_general_format(self):
        for value, sep, text in [(1e-05, ".", "1E-05"), (1.5e15, ".", "1.5E+15"),
                                 (0.5, ",", "0,5"), (-0.0, ".", "0"), (123456789012345.6, ".", "123456789012346"),
                                 (0.0001, ".", "0.0001"), (1.0, ".", "1"), (-5.709999999999994, ",", "-5,70999999999999")]:
            with self.subTest(value=value):
                self.assertEqual(k.format_general(value, sep), text)
        self.assertEqual(k.format_general(0.1, ".", single=True), "0.1")
        self.assertEqual(k.format_general(1.0 / 3.0, ".", single=True), "0.3333333")

    def test_result_format_and_ties(self):
        for value, text in [(0.75, "0.75"), (1.0, "1"), (1.30049, "1.3"), (2.0125, "2.012"),
                            (2.0135, "2.014"), (-0.0004, "0"), (1e200, "1E+200")]:
            with self.subTest(value=value):
                self.assertEqual(k.format_result(value, "."), text)
        self.assertEqual(k.round_half_even(212.5, 0), 212.0)
        self.assertEqual(k.round_half_even(213.5, 0), 214.0)
        self.assertEqual(k.round_half_even(87.345, 2), 87.34)

    def test_leading_number_parse(self):
        for text, value in [("  42abc", 42.0), ("abc", 0.0), ("12,5", 12.0), ("-7.25", -7.25),
                            ("", 0.0), ("1 2", 12.0), ("1e3", 1000.0), ("1D2", 100.0), ("1d-2", 0.01),
                            ("\t3\n4", 34.0), ("+.5", 0.5), ("-", 0.0), ("1e", 1.0), ("1e+", 1.0),
                            ("--5", 0.0), ("1.2.3", 1.2), ("0x10", 0.0), ("١٢", 0.0)]:
            with self.subTest(text=text):
                self.assertEqual(k.parse_leading(text), value)
        with self.assertRaises(k.StepFailed):
            k.parse_leading("1e400")

    def test_locale_parse(self):
        for text, sep, value in [("1.41421", ".", 1.41421), ("12     ", ".", 12.0), ("0,5", ",", 0.5),
                                 ("\t-3,25 ", ",", -3.25), ("1,5E+30", ",", 1.5e30), ("123456.", ".", 123456.0),
                                 ("1.23E-0", ".", 1.23)]:
            with self.subTest(text=text):
                self.assertEqual(k.parse_locale(text, sep), value)
        for text, sep in [("", "."), ("   ", "."), ("0.5", ","), ("1.2345E", "."), ("1.234E+", "."),
                          ("1,234.5", "."), ("12abc", "."), ("-", ".")]:
            with self.subTest(text=text):
                with self.assertRaises(k.StepFailed):
                    k.parse_locale(text, sep)


class Procedures(unittest.TestCase):
    def test_vertex_angle(self):
        f = run_procedure(k.vertex_angle, [("0", "30"), ("0", "0"), ("40", "0")])
        self.assertEqual((f["Txt1"], f["Txt2"], f["Txt3"], f["cs"], f["oran"]),
                         ("30     ", "50     ", "40     ", "90.046", "0.75"))
        f = run_procedure(k.vertex_angle, [("10", "0"), ("0", "0"), ("10", "10")])
        self.assertEqual((f["Txt3"], f["cs"]), ("14.1421", "45.023"))
        f = run_procedure(k.vertex_angle, [("20", "0"), ("0", "0"), ("-10", "17.3205")])
        self.assertEqual((f["Txt2"], f["Txt3"], f["cs"]), ("34.6410", "19.9999", "120.061"))
        f = run_procedure(k.vertex_angle, [("0", "30"), ("0", "0"), ("40", "0")], ",")
        self.assertEqual(f["cs"], "90,046")

    def test_vertex_angle_failures_keep_later_fields(self):
        f = run_procedure(k.vertex_angle, [("0", "0"), ("10", "0"), ("20", "0")])
        self.assertTrue(f["failed"])
        self.assertEqual((f["Txt1"], f["Txt2"], f["Txt3"], f["cs"], f["oran"]),
                         ("10     ", "20     ", "10     ", "before", "before"))
        f = run_procedure(k.vertex_angle, [("5", "5"), ("5", "5"), ("9", "9")])
        self.assertTrue(f["failed"])
        self.assertEqual(f["cs"], "before")

    def test_distance_ratio(self):
        f = run_procedure(k.distance_ratio, [("0", "0"), ("3", "4"), ("0", "0"), ("0", "10")])
        self.assertEqual(f["oran"], "0.5")
        f = run_procedure(k.distance_ratio, [("0", "0"), ("1000", "1000"), ("0", "0"), ("1", "0")])
        self.assertEqual(f["oran"], "1414.21")
        f = run_procedure(k.distance_ratio, [("1", "1"), ("1", "1"), ("0", "0"), ("1", "0")])
        self.assertEqual(f["oran"], "0")
        f = run_procedure(k.distance_ratio, [("0", "0"), ("1", "0"), ("2", "2"), ("2", "2")])
        self.assertTrue(f["failed"])
        self.assertEqual(f["oran"], "before")

    def test_length_pair_partial_write(self):
        # The second distance is 1.1995E+20, whose cut text "1.1995E" cannot be read back.
        f = run_procedure(k.length_pair, [("0", "0"), ("30", "40"), ("1.2e20", "0"), ("5e16", "0")],
                          ".", "0.5")
        self.assertTrue(f["failed"])
        self.assertEqual((f["oran"], f["cs"]), ("25", "before"))


class CalculateRun(unittest.TestCase):
    def test_indices(self):
        lines = run_lines({5: (0, 0), 6: (30, 40), 7: (30, 100)})
        self.assertEqual(line_value(lines, "Cubital index"), "1.2")
        lines = run_lines({2: (0, 0), 3: (0, 20), 5: (10, 10), 7: (40, 50)})
        self.assertEqual(line_value(lines, "Hantel index"), "2.5")

    def test_discoidal_shift(self):
        base = {1: (0, 0), 4: (100, 0), 2: (50, 0)}
        for l11, sep, text in [((60, 100), ".", "-5.70999999999999"), ((40, 100), ".", "5.70999999999999"),
                               ((150, 100), ".", "-45"), ((60, 0), ".", "0"), ((50, 100), ".", ""),
                               ((60, 100), ",", "-5,70999999999999")]:
            with self.subTest(l11=l11, sep=sep):
                lines = run_lines({**base, 11: l11}, sep=sep)
                self.assertEqual(line_value(lines, "Discoidal Shift"), text)

    def test_discoidal_shift_reads_y11_in_single_precision(self):
        # 100.000001 is 100 in single precision, so line B stays exactly as for y = 100.
        lines = run_lines({1: (0, 0), 4: (100, 0), 2: (50, 0), 11: (150, "100.000001")})
        self.assertEqual(line_value(lines, "Discoidal Shift"), "-45")
        lines = run_lines({1: (0, 0), 4: (100, 0), 2: (50, 0), 11: (150, "1e39")})
        self.assertEqual(line_value(lines, "Discoidal Shift"), "")

    def test_lengths(self):
        for mm, text in [(START_MM, "1.053"), ("0.010526316", "0.526"), ("0.005263158", "0.263")]:
            with self.subTest(mm=mm):
                lines = run_lines({4: (0, 0), 17: (30, 40)}, mm=mm)
                self.assertEqual(line_value(lines, "Uzunluk(mm)(4-17)"), text)
        lines = run_lines({1: (0, 0), 2: (18, 10)})
        self.assertEqual(line_value(lines, "Uzunluk(mm)(1-2)"), "0.433")
        self.assertEqual(line_value(lines, "Uzunluk(mm)(1-2)", 1), "0.433")
        lines = run_lines({1: (0, 0), 2: (54, 30)})
        self.assertEqual(line_value(lines, "Uzunluk(mm)(1-2)"), "1.3")

    def test_empty_sheet(self):
        lines = run_lines({})
        self.assertEqual(len(lines), 117)
        self.assertTrue(all(ln.endswith(";") for ln in lines[:75]))
        self.assertTrue(all(ln.endswith(";0") for ln in lines[75:99]))
        self.assertEqual(lines[99:], ["-1"] * 18)

    def test_repeated_steps_match(self):
        lines = run_lines({n: (n * 37 % 101, n * n % 89) for n in range(1, 19)})
        values = [ln.split(";", 1)[-1] for ln in lines]
        for later, earlier in [(41, 27), (43, 34), (47, 20), (49, 25), (50, 29), (90, 78), (91, 79)]:
            self.assertEqual(values[later - 1], values[earlier - 1])


class Colours(unittest.TestCase):
    def colour(self, n, x, y, picture):
        dx, dy, distances = k.COLOUR_SAMPLING[n - 1]
        try:
            return k.landmark_colour(x, y, dx, dy, distances, picture, ".")
        except k.StepFailed:
            return None

    def test_means(self):
        grey = 128 + 256 * 128 + 65536 * 128
        self.assertEqual(self.colour(4, "10", "10", lambda c, r: grey), "8421504")
        readings = {15: 0, 16: 0, 17: 1}
        self.assertEqual(self.colour(4, "10", "10", lambda c, r: readings[c]), "0")
        readings = {15: 0, 16: 1, 17: 1}
        self.assertEqual(self.colour(4, "10", "10", lambda c, r: readings[c]), "1")
        readings = {15: -1, 16: -1, 17: 16777215}
        self.assertEqual(self.colour(4, "10", "10", lambda c, r: readings[c]), "5592404")
        self.assertEqual(self.colour(1, "3", "3", None), "-1")

    def test_positions(self):
        seen = []
        self.colour(2, "12.5", "0", lambda c, r: seen.append((c, r)) or 0)
        self.colour(2, "13.5", "0", lambda c, r: seen.append((c, r)) or 0)
        self.colour(1, "100", "50", lambda c, r: seen.append((c, r)) or 0)
        self.assertEqual(seen, [(12, 3), (12, 4), (12, 5), (14, 3), (14, 4), (14, 5),
                                (95, 45), (94, 44), (93, 43)])

    def test_out_of_range_position(self):
        self.assertIsNone(self.colour(1, "2147483652.5", "100", None))
        self.assertEqual(self.colour(1, "2147483652.4", "100", None), "-1")
        # -2147483648.5 goes to the even -2147483648, still in range.
        self.assertEqual(self.colour(4, "-2147483653.5", "100", None), "-1")
        self.assertIsNone(self.colour(4, "-2147483654", "100", None))

    def test_record_closing_field(self):
        texts = landmark_texts({18: (10, 20)})
        mm = k.mm_per_pixel_text(START_MM, ".")
        fields = k.record_fields(texts, mm, ".", "kanat1.jpg", lambda c, r: 16777215)
        self.assertEqual(len(fields), 118)
        self.assertEqual((fields[0], fields[117]), ("kanat1.jpg", "1677721"))
        fields = k.record_fields(texts, mm, ".", "kanat1.jpg")
        self.assertEqual(fields[117], "-1     ")
        texts = landmark_texts({18: ("1e300", 20), 17: ("5", "5")})
        fields = k.record_fields(texts, mm, ".")
        self.assertEqual((fields[116], fields[117]), ("-1", "       "))


if __name__ == "__main__":
    unittest.main()
