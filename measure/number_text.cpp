#include "measure/number_text.h"

#include "measure/arithmetic_error.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <algorithm>
#include <cstdlib>
#include <system_error>

namespace kanat {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isExponentMark(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// Decimal exponent of the leading significant digit of "digits.fraction E exponent".
long magnitudeOf(std::string_view integerDigits, std::string_view fractionDigits, long exponent) {
    const auto firstInteger = integerDigits.find_first_not_of('0');
    if (firstInteger != std::string_view::npos)
        return static_cast<long>(integerDigits.size() - firstInteger) - 1 + exponent;
    const auto firstFraction = fractionDigits.find_first_not_of('0');
    return -static_cast<long>(firstFraction) - 1 + exponent;
}

bool allZero(std::string_view digits) {
    return digits.find_first_not_of('0') == std::string_view::npos;
}

// Turns the parts of a decimal number into a double; beyond the double range is an overflow,
// below it a zero of the right sign.
constexpr double powersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                  1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t exactMantissaLimit = std::uint64_t{1} << 53;

// Most numbers here have few digits: then one exact multiplication or division by a power of
// ten gives the correctly rounded double, with no need for the general conversion.
std::optional<double> exactlyComposed(bool negative, std::string_view integerDigits,
                                      std::string_view fractionDigits, std::string_view exponentDigits,
                                      bool negativeExponent) {
    if (exponentDigits.size() > 4) return std::nullopt;
    std::uint64_t mantissa = 0;
    int significant = 0;
    for (const std::string_view part : {integerDigits, fractionDigits})
        for (char c : part) {
            if (significant > 0 || c != '0') ++significant;
            if (significant > 17) return std::nullopt;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        }
    if (mantissa > exactMantissaLimit) return std::nullopt;
    int exponent = 0;
    for (char c : exponentDigits) exponent = exponent * 10 + (c - '0');
    if (negativeExponent) exponent = -exponent;
    exponent -= static_cast<int>(fractionDigits.size());
    double value = static_cast<double>(mantissa);
    if (mantissa == 0) value = 0.0;
    else if (exponent >= 0 && exponent <= 22) value *= powersOfTen[exponent];
    else if (exponent < 0 && exponent >= -22) value /= powersOfTen[-exponent];
    else return std::nullopt;
    return negative ? -value : value;
}

double composeNumber(bool negative, std::string_view integerDigits,
                     std::string_view fractionDigits, std::string_view exponentDigits,
                     bool negativeExponent) {
    if (const auto exact =
            exactlyComposed(negative, integerDigits, fractionDigits, exponentDigits, negativeExponent))
        return *exact;
    std::string text;
    text.reserve(integerDigits.size() + fractionDigits.size() + exponentDigits.size() + 5);
    if (negative) text += '-';
    text += integerDigits.empty() ? std::string_view("0") : integerDigits;
    if (!fractionDigits.empty()) {
        text += '.';
        text += fractionDigits;
    }
    long exponent = 0;
    if (!exponentDigits.empty()) {
        const auto significant = exponentDigits.find_first_not_of('0');
        const auto kept = significant == std::string_view::npos ? std::string_view("0")
                                                                 : exponentDigits.substr(significant);
        // An exponent of more than eight digits is far outside any double anyway.
        exponent = kept.size() > 8 ? 999999999L : std::strtol(std::string(kept).c_str(), nullptr, 10);
        if (negativeExponent) exponent = -exponent;
        text += 'e';
        text += std::to_string(exponent);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc()) return value;
    if (allZero(integerDigits) && allZero(fractionDigits)) return negative ? -0.0 : 0.0;
    if (magnitudeOf(integerDigits, fractionDigits, exponent) > 0)
        throw ArithmeticError(ArithmeticFault::Overflow);
    return negative ? -0.0 : 0.0;
}

// Scans sign, digits, separator, digits and an exponent from `text` starting at `pos`.
struct NumberScan {
    bool negative = false;
    std::string_view integerDigits;
    std::string_view fractionDigits;
    std::string_view exponentDigits;
    bool negativeExponent = false;
    std::size_t end = 0;
    bool hasDigits() const { return !integerDigits.empty() || !fractionDigits.empty(); }
};

NumberScan scanNumber(std::string_view text, char decimal) {
    NumberScan scan;
    std::size_t pos = 0;
    auto digitsFrom = [&](std::size_t start) {
        while (pos < text.size() && isDigit(text[pos])) ++pos;
        return text.substr(start, pos - start);
    };
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) scan.negative = text[pos++] == '-';
    scan.integerDigits = digitsFrom(pos);
    if (pos < text.size() && text[pos] == decimal) {
        ++pos;
        scan.fractionDigits = digitsFrom(pos);
    }
    scan.end = pos;
    if (!scan.hasDigits() || pos >= text.size() || !isExponentMark(text[pos])) return scan;
    std::size_t exponentPos = pos + 1;
    bool negativeExponent = false;
    if (exponentPos < text.size() && (text[exponentPos] == '+' || text[exponentPos] == '-'))
        negativeExponent = text[exponentPos++] == '-';
    pos = exponentPos;
    const auto exponentDigits = digitsFrom(exponentPos);
    if (exponentDigits.empty()) return scan; // "12e" reads as 12
    scan.exponentDigits = exponentDigits;
    scan.negativeExponent = negativeExponent;
    scan.end = pos;
    return scan;
}

// The shortest round-trip digits of a finite non-zero double: 0 < count <= 17, and the first
// digit stands at 10^exponent.
struct DecimalDigits {
    bool negative = false;
    char digits[20] = {};
    int count = 0;
    int exponent = 0;
};

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
        if (isDigit(*p)) result.digits[result.count++] = *p;
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
        if (position >= 0) ++kept[position];
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

// The value rounded to 15 significant digits, as %.15G does, found with one exact scaling
// when that leaves no doubt: the scaled value's error is under 0.07, so unless it lies within
// a quarter of a half, the nearest whole number is the rounded mantissa.
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

// |value| × 10^decimals rounded half to even, without the shortest text, when the value is far
// enough from a tie that neither the scaling's error nor the distance to the shortest text
// (both below 2e-7 here) could change the side it rounds to.
std::optional<std::uint64_t> quicklyRounded(double value, int decimals) {
    if (!(std::fabs(value) < 1e6) || decimals < 0 || decimals > 3) return std::nullopt;
    const double scaled = std::fabs(value) * powersOfTen[decimals];
    const double fraction = scaled - std::floor(scaled);
    if (std::fabs(fraction - 0.5) < 1e-6) return std::nullopt;
    return static_cast<std::uint64_t>(std::llround(scaled));
}

std::optional<DecimalDigits> quicklyRounded3(double value) {
    const auto whole = quicklyRounded(value, 3);
    if (!whole) return std::nullopt;
    if (*whole == 0) return DecimalDigits{value < 0, {}, 0, 0};
    return digitsOfWhole(value < 0, *whole, 3);
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

std::string_view trimBlanksAndTabs(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string withSeparator(const char* begin, const char* end, char decimal) {
    std::string text(begin, end);
    for (char& c : text) {
        if (c == '.') c = decimal;
        else if (c == 'e') c = 'E';
    }
    return text;
}

} // namespace

double parseLeadingNumber(std::string_view text) {
    // Only blanks, tabs and line feeds are dropped; a short text is compacted on the stack.
    char shortBuffer[64];
    std::string longBuffer;
    char* compact = shortBuffer;
    if (text.size() > sizeof shortBuffer) {
        longBuffer.resize(text.size());
        compact = longBuffer.data();
    }
    std::size_t length = 0;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') compact[length++] = c;
    const NumberScan scan = scanNumber(std::string_view(compact, length), '.');
    if (!scan.hasDigits()) return 0.0;
    return composeNumber(scan.negative, scan.integerDigits, scan.fractionDigits,
                         scan.exponentDigits, scan.negativeExponent);
}

double parseLocale(std::string_view text, char decimal) {
    const std::string_view number = trimBlanksAndTabs(text);
    const NumberScan scan = scanNumber(number, decimal);
    if (!scan.hasDigits() || scan.end != number.size())
        throw ArithmeticError(ArithmeticFault::Conversion);
    return composeNumber(scan.negative, scan.integerDigits, scan.fractionDigits,
                         scan.exponentDigits, scan.negativeExponent);
}

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
    const auto out = std::to_chars(buffer, buffer + sizeof buffer, value,
                                   std::chars_format::general, 15);
    return withSeparator(buffer, out.ptr, decimal);
}

std::string formatGeneralSingle(float value, char decimal) {
    if (value == 0.0f) return "0";
    checked::result(value);
    char buffer[32];
    const auto out = std::to_chars(buffer, buffer + sizeof buffer, value,
                                   std::chars_format::general, 7);
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
    const auto quick = quicklyRounded3(value);
    const DecimalDigits rounded = quick ? *quick : roundedDigits(shortestDigits(value), 3);
    if (rounded.count == 0) return "0";
    if (rounded.count <= 15) return generalText(rounded, 15, decimal);
    return formatGeneral(roundHalfEven(value, 3), decimal);
}

double roundHalfEven(double value, int decimals) {
    if (!std::isfinite(value) || std::trunc(value) == value) return value; // whole already
    if (const auto whole = quicklyRounded(value, decimals)) {
        const double magnitude = static_cast<double>(*whole) / powersOfTen[decimals];
        return value < 0 ? -magnitude : magnitude;
    }
    const DecimalDigits digits = shortestDigits(value);
    if (digits.exponent + 1 + decimals >= digits.count) return value; // nothing to round
    const DecimalDigits rounded = roundedDigits(digits, decimals);
    if (rounded.count == 0) return digits.negative ? -0.0 : 0.0;
    const std::string_view kept(rounded.digits, static_cast<std::size_t>(rounded.count));
    const int shift = rounded.count - 1 - rounded.exponent; // value = kept × 10^-shift
    const std::string exponent = std::to_string(shift < 0 ? -shift : shift);
    return composeNumber(rounded.negative, kept, {}, exponent, shift > 0);
}

} // namespace kanat
