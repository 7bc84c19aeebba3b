#include "tools/tps_output.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace kanat {
namespace {

constexpr const char* toCheckLabel = "denetlenecek noktalar:";

std::string withPoint(std::string text) {
    for (char& c : text)
        if (c == ',') c = '.';
    return text;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t;");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t;") - first + 1);
}

// Five decimals; no "-0.00000" for a coordinate that rounds to zero.
std::string coordinate(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.5f", value);
    const std::string text = withPoint(buffer);
    return text == "-0.00000" ? text.substr(1) : text;
}

// A name or comment from outside stays on its keyword's line.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

} // namespace

std::string coordinateLine(double x, double y) { return coordinate(x) + " " + coordinate(y); }

std::string tpsText(const PrintedSpecimen& specimen) {
    std::string text = "LM=18\n";
    for (const std::string& line : specimen.lines) text += (line.empty() ? "-1 -1" : line) + "\n";
    if (!specimen.image.empty()) text += "IMAGE=" + oneLine(specimen.image) + "\n";
    text += "ID=" + specimen.id + "\n";
    if (specimen.scale) {
        char scale[64];
        std::snprintf(scale, sizeof scale, "%.9g", *specimen.scale);
        text += "SCALE=" + withPoint(scale) + "\n";
    }
    if (!specimen.comment.empty()) text += "COMMENT=" + oneLine(specimen.comment) + "\n";
    return text;
}

std::string commentWith(const std::string& own, const std::vector<int>& toCheck) {
    std::set<int> landmarks(toCheck.begin(), toCheck.end());
    std::string rest = own;
    if (const auto label = own.find(toCheckLabel); label != std::string::npos) {
        // The earlier list runs to the next ';' or the end.
        const auto start = label + std::string(toCheckLabel).size();
        const auto end = std::min(own.find(';', start), own.size());
        std::size_t pos = start;
        while (pos < end) {
            const auto digits = own.find_first_of("0123456789", pos);
            if (digits >= end) break;
            const auto after = std::min(own.find_first_not_of("0123456789", digits), end);
            const int landmark = after - digits <= 2 ? std::stoi(own.substr(digits, after - digits)) : 0;
            if (landmark >= 1 && landmark <= landmarkCount) landmarks.insert(landmark);
            pos = after;
        }
        const std::string before = trimmed(own.substr(0, label)), behind = trimmed(own.substr(end));
        rest = before.empty() || behind.empty() ? before + behind : before + "; " + behind;
    }
    std::string named;
    for (const int landmark : landmarks) named += " " + std::to_string(landmark);
    if (named.empty()) return rest;
    return (rest.empty() ? "" : rest + "; ") + toCheckLabel + named;
}

} // namespace kanat
