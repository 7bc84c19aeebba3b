#include "measure/number_text.h"

#include "measure/arithmetic_error.h"
#include "measure/decimal_forms.h"
#include "measure/number_fast_paths.h"

#include <charconv>
#include <cstdlib>
#include <string>
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

bool allZero(std::string_view digits) { return digits.find_first_not_of('0') == std::string_view::npos; }

// Sign, digits, separator, digits and an exponent from the start of `text`; `end` is where
// the number stops.
struct NumberScan {
    DecimalParts parts;
    std::size_t end = 0;
};

NumberScan scanNumber(std::string_view text, char decimal) {
    NumberScan scan;
    DecimalParts& parts = scan.parts;
    std::size_t pos = 0;
    auto digitsFrom = [&](std::size_t start) {
        while (pos < text.size() && isDigit(text[pos])) ++pos;
        return text.substr(start, pos - start);
    };
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) parts.negative = text[pos++] == '-';
    parts.integerDigits = digitsFrom(pos);
    if (pos < text.size() && text[pos] == decimal) {
        ++pos;
        parts.fractionDigits = digitsFrom(pos);
    }
    scan.end = pos;
    if (!parts.hasDigits() || pos >= text.size() || !isExponentMark(text[pos])) return scan;
    std::size_t exponentPos = pos + 1;
    bool negativeExponent = false;
    if (exponentPos < text.size() && (text[exponentPos] == '+' || text[exponentPos] == '-'))
        negativeExponent = text[exponentPos++] == '-';
    pos = exponentPos;
    const auto exponentDigits = digitsFrom(exponentPos);
    if (exponentDigits.empty()) return scan; // "12e" reads as 12
    parts.exponentDigits = exponentDigits;
    parts.negativeExponent = negativeExponent;
    scan.end = pos;
    return scan;
}

std::string_view trimBlanksAndTabs(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

} // namespace

double composeNumber(const DecimalParts& parts) {
    if (const auto exact = exactlyComposed(parts)) return *exact;
    std::string text;
    text.reserve(parts.integerDigits.size() + parts.fractionDigits.size() + parts.exponentDigits.size() + 5);
    if (parts.negative) text += '-';
    text += parts.integerDigits.empty() ? std::string_view("0") : parts.integerDigits;
    if (!parts.fractionDigits.empty()) {
        text += '.';
        text += parts.fractionDigits;
    }
    long exponent = 0;
    if (!parts.exponentDigits.empty()) {
        const auto significant = parts.exponentDigits.find_first_not_of('0');
        const auto kept =
            significant == std::string_view::npos ? std::string_view("0") : parts.exponentDigits.substr(significant);
        // An exponent of more than eight digits is far outside any double anyway.
        exponent = kept.size() > 8 ? 999999999L : std::strtol(std::string(kept).c_str(), nullptr, 10);
        if (parts.negativeExponent) exponent = -exponent;
        text += 'e';
        text += std::to_string(exponent);
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc()) return value;
    const double zero = parts.negative ? -0.0 : 0.0;
    if (allZero(parts.integerDigits) && allZero(parts.fractionDigits)) return zero;
    if (magnitudeOf(parts.integerDigits, parts.fractionDigits, exponent) > 0)
        throw ArithmeticError(ArithmeticFault::Overflow);
    return zero;
}

namespace {

// What the leading-number parse reads: the text without its blanks, tabs and line feeds. A
// short text is compacted on the stack.
class CompactText {
public:
    explicit CompactText(std::string_view text) {
        if (text.size() > sizeof shortBuffer_) {
            longBuffer_.resize(text.size());
            compact_ = longBuffer_.data();
        }
        for (char c : text)
            if (c != ' ' && c != '\t' && c != '\n') compact_[length_++] = c;
    }
    CompactText(const CompactText&) = delete;
    CompactText& operator=(const CompactText&) = delete;
    // Its digits are views into this object.
    NumberScan scan() const { return scanNumber(std::string_view(compact_, length_), '.'); }

private:
    char shortBuffer_[64];
    std::string longBuffer_;
    char* compact_ = shortBuffer_;
    std::size_t length_ = 0;
};

} // namespace

double parseLeadingNumber(std::string_view text) {
    // The scan's digits point into the compacted text, which must outlive them.
    const CompactText compact(text);
    const NumberScan scan = compact.scan();
    if (!scan.parts.hasDigits()) return 0.0;
    return composeNumber(scan.parts);
}

bool hasLeadingNumber(std::string_view text) {
    const CompactText compact(text);
    return compact.scan().parts.hasDigits();
}

double parseLocale(std::string_view text, char decimal) {
    const std::string_view number = trimBlanksAndTabs(text);
    const NumberScan scan = scanNumber(number, decimal);
    if (!scan.parts.hasDigits() || scan.end != number.size()) throw ArithmeticError(ArithmeticFault::Conversion);
    return composeNumber(scan.parts);
}

} // namespace kanat
