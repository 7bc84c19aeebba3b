#include "measure/number_text.h"

#include "measure/arithmetic_error.h"

#include <charconv>
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
double composeNumber(bool negative, std::string_view integerDigits,
                     std::string_view fractionDigits, std::string_view exponentDigits,
                     bool negativeExponent) {
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
    std::string compact;
    compact.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') compact += c;
    const NumberScan scan = scanNumber(compact, '.');
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
    return formatGeneral(roundHalfEven(value, 3), decimal);
}

double roundHalfEven(double value, int decimals) {
    if (!std::isfinite(value) || value == 0.0) return value;
    // Shortest round-trip text, d.ddddde±x: its digits are the value's decimal digits.
    char buffer[40];
    const auto out = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<std::size_t>(out.ptr - buffer));
    const bool negative = text.front() == '-';
    const auto mark = text.find('e');
    std::string digits;
    for (char c : text.substr(0, mark))
        if (isDigit(c)) digits += c;
    const long exponent = std::strtol(std::string(text.substr(mark + 1)).c_str(), nullptr, 10);

    const long keep = exponent + 1 + decimals; // digits that stay
    if (keep >= static_cast<long>(digits.size())) return value;
    if (keep < 0) return negative ? -0.0 : 0.0;

    std::string kept = digits.substr(0, static_cast<std::size_t>(keep));
    const char first = digits[static_cast<std::size_t>(keep)];
    const bool moreAfter = static_cast<std::size_t>(keep) + 1 < digits.size();
    const bool lastKeptOdd = !kept.empty() && (kept.back() - '0') % 2 == 1;
    const bool up = first > '5' || (first == '5' && (moreAfter || lastKeptOdd));
    if (up) {
        int position = static_cast<int>(kept.size()) - 1;
        while (position >= 0 && kept[static_cast<std::size_t>(position)] == '9')
            kept[static_cast<std::size_t>(position--)] = '0';
        if (position < 0) kept.insert(kept.begin(), '1');
        else ++kept[static_cast<std::size_t>(position)];
    }
    if (kept.empty() || allZero(kept)) return negative ? -0.0 : 0.0;
    const std::string rounded = (negative ? "-" : "") + kept + "e" + std::to_string(-decimals);
    double result = 0.0;
    std::from_chars(rounded.data(), rounded.data() + rounded.size(), result);
    return result;
}

} // namespace kanat
