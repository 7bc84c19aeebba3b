#include "measure/number_fast_paths.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace kanat {
namespace {

constexpr double powersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t exactMantissaLimit = std::uint64_t{1} << 53;

// The digits of an integer 0 < whole < 10^18, without trailing zeros, the first standing at
// 10^(digit count − 1 − shift).
DecimalDigits digitsOfWhole(bool negative, std::uint64_t whole, int shift) {
    DecimalDigits digits;
    digits.negative = negative;
    char buffer[24];
    const auto out = std::to_chars(buffer, buffer + sizeof buffer, whole);
    int length = static_cast<int>(out.ptr - buffer);
    digits.exponent = length - 1 - shift;
    while (length > 1 && buffer[length - 1] == '0') --length;
    std::copy_n(buffer, length, digits.digits);
    digits.count = length;
    return digits;
}

// |value| × 10^decimals rounded half to even, without the shortest text, when the value is far
// enough from a tie that neither the scaling's error nor the distance to the shortest text
// (both below 2e-7 here) could change the side it rounds to.
std::optional<std::uint64_t> roundedWhole(double value, int decimals) {
    if (!(std::fabs(value) < 1e6) || decimals < 0 || decimals > 3) return std::nullopt;
    const double scaled = std::fabs(value) * powersOfTen[decimals];
    const double fraction = scaled - std::floor(scaled);
    if (std::fabs(fraction - 0.5) < 1e-6) return std::nullopt;
    return static_cast<std::uint64_t>(std::llround(scaled));
}

} // namespace

// Most numbers here have few digits: then one exact multiplication or division by a power of
// ten gives the correctly rounded double.
std::optional<double> exactlyComposed(const DecimalParts& parts) {
    if (parts.exponentDigits.size() > 4) return std::nullopt;
    std::uint64_t mantissa = 0;
    int significant = 0;
    for (const std::string_view part : {parts.integerDigits, parts.fractionDigits})
        for (char c : part) {
            if (significant > 0 || c != '0') ++significant;
            if (significant > 17) return std::nullopt;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        }
    if (mantissa > exactMantissaLimit) return std::nullopt;
    int exponent = 0;
    for (char c : parts.exponentDigits) exponent = exponent * 10 + (c - '0');
    if (parts.negativeExponent) exponent = -exponent;
    exponent -= static_cast<int>(parts.fractionDigits.size());
    double value = static_cast<double>(mantissa);
    if (mantissa == 0)
        value = 0.0;
    else if (exponent >= 0 && exponent <= 22)
        value *= powersOfTen[exponent];
    else if (exponent < 0 && exponent >= -22)
        value /= powersOfTen[-exponent];
    else
        return std::nullopt;
    return parts.negative ? -value : value;
}

// Found with one exact scaling when that leaves no doubt: the scaled value's error is under
// 0.07, so unless it lies within a quarter of a half, the nearest whole number is the rounded
// mantissa.
std::optional<DecimalDigits> fifteenDigits(double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude >= 1e-4 && magnitude < 1e14)) return std::nullopt;
    // A guess of the decimal exponent; a wrong guess shows in the mantissa's range below.
    int exponent = 0;
    if (magnitude >= 1) {
        while (exponent < 13 && magnitude >= powersOfTen[exponent + 1]) ++exponent;
    } else {
        exponent = -1;
        while (exponent > -4 && magnitude < 1.0 / powersOfTen[-exponent]) --exponent;
    }
    const int shift = 14 - exponent;
    if (shift > 22) return std::nullopt;
    const double scaled = magnitude * powersOfTen[shift];
    const double fraction = scaled - std::floor(scaled);
    if (std::fabs(fraction - 0.5) < 0.25) return std::nullopt;
    const auto whole = static_cast<std::uint64_t>(std::llround(scaled));
    if (whole < 100000000000000ULL || whole >= 1000000000000000ULL) return std::nullopt;
    return digitsOfWhole(value < 0, whole, shift);
}

std::optional<double> quicklyRounded(double value, int decimals) {
    const auto whole = roundedWhole(value, decimals);
    if (!whole) return std::nullopt;
    const double magnitude = static_cast<double>(*whole) / powersOfTen[decimals];
    return value < 0 ? -magnitude : magnitude;
}

std::optional<DecimalDigits> quicklyRoundedDigits3(double value) {
    const auto whole = roundedWhole(value, 3);
    if (!whole) return std::nullopt;
    if (*whole == 0) return DecimalDigits{value < 0, {}, 0, 0};
    return digitsOfWhole(value < 0, *whole, 3);
}

} // namespace kanat
