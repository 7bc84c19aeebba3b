#pragma once

#include <string_view>

// The two shapes a decimal number takes inside the number texts: as written (parsing) and as
// the digits of a double (formatting). Shared by number_parsing, number_formatting and
// number_fast_paths; not part of the public face, which is number_text.h.
namespace kanat {

// A number as written: sign, the digits before and after the separator, and the exponent's
// digits and sign. The views point into the text that was read.
struct DecimalParts {
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    std::string_view exponentDigits;
    bool negativeExponent = false;

    bool hasDigits() const { return !integerDigits.empty() || !fractionDigits.empty(); }
};

// The double nearest to the parts; beyond the double range is an overflow, below it a zero of
// the right sign.
double composeNumber(const DecimalParts& parts);

// Significant digits of a double without trailing zeros: 0 <= count <= 17 (0 only for a value
// rounded to nothing), and the first digit stands at 10^exponent.
struct DecimalDigits {
    bool negative = false;
    char digits[20] = {};
    int count = 0;
    int exponent = 0;
};

} // namespace kanat
