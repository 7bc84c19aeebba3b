#include "measure/number_text.h"

#include "measure/arithmetic_error.h"
#include "measure/decimal_forms.h"
#include "measure/number_fast_paths.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kanat {
namespace {

// The shortest round-trip digits of a finite non-zero double.
DecimalDigits shortestDigits(double value) {
    char buffer[40];
    const auto out = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    DecimalDigits result;
    const char* p = buffer;
    if (*p == '-') {
        result.negative = true;
        ++p;
    }
    for (; p < out.ptr && *p != 'e'; ++p)
        if (*p != '.') result.digits[result.count++] = *p;
    const bool negativeExponent = p + 1 < out.ptr && p[1] == '-';
    int exponent = 0;
    for (p += 2; p < out.ptr; ++p) exponent = exponent * 10 + (*p - '0');
    result.exponent = negativeExponent ? -exponent : exponent;
    return result;
}

// The digits rounded half to even at `decimals` places after the point, without trailing
// zeros; no digits at all when the value rounds to zero.
DecimalDigits roundedDigits(const DecimalDigits& digits, int decimals) {
    DecimalDigits rounded;
    rounded.negative = digits.negative;
    const int keep = digits.exponent + 1 + decimals;
    if (keep >= digits.count) return digits;
    if (keep < 0) return rounded;
    int length = keep;
    std::copy_n(digits.digits, keep, rounded.digits);
    char* kept = rounded.digits;
    const char first = digits.digits[keep];
    const bool moreAfter = keep + 1 < digits.count;
    const bool lastKeptOdd = keep > 0 && (kept[keep - 1] - '0') % 2 == 1;
    if (first > '5' || (first == '5' && (moreAfter || lastKeptOdd))) {
        int position = length - 1;
        while (position >= 0 && kept[position] == '9') kept[position--] = '0';
        if (position >= 0)
            ++kept[position];
        else {
            std::copy_backward(kept, kept + length, kept + length + 1);
            kept[0] = '1';
            ++length;
        }
    }
    // kept × 10^-decimals: its first digit stands at 10^(length − 1 − decimals).
    rounded.exponent = length - 1 - decimals;
    while (length > 0 && kept[length - 1] == '0') --length;
    int leading = 0;
    while (leading < length && kept[leading] == '0') ++leading;
    if (leading == length) return DecimalDigits{digits.negative, {}, 0, 0};
    std::copy(kept + leading, kept + length, kept);
    rounded.count = length - leading;
    rounded.exponent -= leading;
    return rounded;
}

// The text %G gives for digits that need no further rounding at `precision`.
std::string generalText(const DecimalDigits& d, int precision, char decimal) {
    std::string text;
    if (d.negative) text += '-';
    const std::string_view digits(d.digits, static_cast<std::size_t>(d.count));
    if (d.exponent < -4 || d.exponent >= precision) {
        text += digits.front();
        if (d.count > 1) {
            text += decimal;
            text += digits.substr(1);
        }
        text += d.exponent < 0 ? "E-" : "E+";
        const int magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
        if (magnitude < 10) text += '0';
        text += std::to_string(magnitude);
    } else if (d.exponent < 0) {
        text += '0';
        text += decimal;
        text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        text += digits;
    } else {
        const auto whole = static_cast<std::size_t>(d.exponent + 1);
        text += digits.substr(0, whole);
        if (digits.size() < whole) text.append(whole - digits.size(), '0');
        if (digits.size() > whole) {
            text += decimal;
            text += digits.substr(whole);
        }
    }
    return text;
}

std::string withSeparator(const char* begin, const char* end, char decimal) {
    std::string text(begin, end);
    for (char& c : text) {
        if (c == '.')
            c = decimal;
        else if (c == 'e')
            c = 'E';
    }
    return text;
}

} // namespace

std::string formatGeneral(double value, char decimal) {
    if (value == 0.0) return "0";
    checked::result(value);
    if (const auto digits = fifteenDigits(value)) return generalText(*digits, 15, decimal);
    // A normal value whose shortest round-trip text has at most 15 digits prints just those
    // digits at 15; a subnormal one carries too few bits for that and takes the long way.
    if (std::isnormal(value)) {
        const DecimalDigits digits = shortestDigits(value);
        if (digits.count <= 15) return generalText(digits, 15, decimal);
    }
    char buffer[40];
    const auto out = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return withSeparator(buffer, out.ptr, decimal);
}

std::string formatGeneralSingle(float value, char decimal) {
    if (value == 0.0f) return "0";
    checked::result(value);
    char buffer[32];
    const auto out = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
    return withSeparator(buffer, out.ptr, decimal);
}

std::string padOrCut7(std::string text) {
    text.resize(7, ' ');
    return text;
}

std::string fixed7(double value, char decimal) { return padOrCut7(formatGeneral(value, decimal)); }

std::string formatResult(double value, char decimal) {
    if (value == 0.0) return "0";
    checked::result(value);
    // Rounded digits of at most 15 are exactly the shortest text of the rounded double.
    const auto quick = quicklyRoundedDigits3(value);
    const DecimalDigits rounded = quick ? *quick : roundedDigits(shortestDigits(value), 3);
    if (rounded.count == 0) return "0";
    if (rounded.count <= 15) return generalText(rounded, 15, decimal);
    return formatGeneral(roundHalfEven(value, 3), decimal);
}

double roundHalfEven(double value, int decimals) {
    if (!std::isfinite(value) || std::trunc(value) == value) return value; // whole already
    if (const auto quick = quicklyRounded(value, decimals)) return *quick;
    const DecimalDigits digits = shortestDigits(value);
    if (digits.exponent + 1 + decimals >= digits.count) return value; // nothing to round
    const DecimalDigits rounded = roundedDigits(digits, decimals);
    if (rounded.count == 0) return digits.negative ? -0.0 : 0.0;
    const std::string_view kept(rounded.digits, static_cast<std::size_t>(rounded.count));
    const int shift = rounded.count - 1 - rounded.exponent; // value = kept × 10^-shift
    const std::string exponent = std::to_string(shift < 0 ? -shift : shift);
    return composeNumber({rounded.negative, kept, {}, exponent, shift > 0});
}

} // namespace kanat
