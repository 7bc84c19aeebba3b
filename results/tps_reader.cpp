#include "results/tps_reader.h"

#include "measure/arithmetic_error.h"
#include "measure/number_text.h"
#include "results/coordinate_file.h"
#include "results/input_error.h"

#include <algorithm>
#include <cctype>

namespace kanat {
namespace {

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool isSkippable(std::string_view line) {
    const auto text = trim(line);
    return text.empty() || text.front() == '#';
}

struct Keyword {
    std::string name; // upper case
    std::string_view value;
};

// "NAME=value" with a letter first; the name is returned in upper case.
std::optional<Keyword> keywordOf(std::string_view line) {
    const auto text = trim(line);
    const auto equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return std::nullopt;
    Keyword keyword{std::string(trim(text.substr(0, equals))), trim(text.substr(equals + 1))};
    for (char& c : keyword.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return keyword;
}

// A plain decimal number with '.', optionally with an exponent: what TPS writers put there.
bool isNumber(std::string_view text) {
    try {
        parseLocale(text, '.');
        return true;
    } catch (const ArithmeticError&) {
        return false;
    }
}

// Some writers mark a landmark they could not place with NaN, most with -1 -1.
bool isMissing(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    return text.size() == 3 && std::tolower(static_cast<unsigned char>(text[0])) == 'n' &&
           std::tolower(static_cast<unsigned char>(text[1])) == 'a' &&
           std::tolower(static_cast<unsigned char>(text[2])) == 'n';
}

std::vector<std::string_view> fieldsOf(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const auto start = line.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos) break;
        const auto end = std::min(line.find_first_of(" \t", start), line.size());
        fields.push_back(line.substr(start, end - start));
        pos = end;
    }
    return fields;
}

// A count such as the n of LM=n, POINTS=n; a name may follow it on the same line.
int countOf(const Keyword& keyword, const std::string& fileName, int lineNumber) {
    const auto fields = fieldsOf(keyword.value);
    const std::string_view first = fields.empty() ? std::string_view() : fields.front();
    const bool digitsOnly = !first.empty() && first.size() <= 7 &&
                            std::all_of(first.begin(), first.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digitsOnly) throw InputError(fileName, lineNumber, keyword.name + "= bir sayı değil");
    return std::stoi(std::string(first));
}

constexpr int mostUnplacedLandmarks = 1000;

class TpsParser {
public:
    TpsParser(std::string_view content, const std::string& fileName)
        : lines_(splitLines(content)), fileName_(fileName) {}

    std::vector<TpsSpecimen> parse() {
        std::vector<TpsSpecimen> specimens;
        while (nextContentLine()) {
            const auto keyword = keywordOf(lines_[index_]);
            if (!keyword || keyword->name != "LM")
                fail(specimens.empty() ? "dosya LM= ile başlamıyor" : "beklenmeyen satır");
            specimens.push_back(readSpecimen(*keyword));
        }
        return specimens;
    }

private:
    // Moves to the next line that is not blank or a comment; false at the end.
    bool nextContentLine() {
        while (index_ < lines_.size() && isSkippable(lines_[index_])) ++index_;
        return index_ < lines_.size();
    }
    int lineNumber() const { return static_cast<int>(index_) + 1; }
    [[noreturn]] void fail(const std::string& message) const { throw InputError(fileName_, lineNumber(), message); }

    TpsSpecimen readSpecimen(const Keyword& lm) {
        TpsSpecimen specimen;
        specimen.line = lineNumber();
        const int count = countOf(lm, fileName_, lineNumber());
        ++index_;
        if (count > 0 && (!nextContentLine() || keywordOf(lines_[index_]))) return unplacedSpecimen(specimen, count);
        for (int i = 0; i < count; ++i) {
            if (!nextContentLine() || keywordOf(lines_[index_])) fewerLines(specimen, count, i);
            specimen.landmarks.push_back(readPoint(lines_[index_]));
            ++index_;
        }
        markNegativeAsMissing(specimen.landmarks);
        for (int i = 0; i < count; ++i)
            if (specimen.landmarks[static_cast<std::size_t>(i)].first.empty()) specimen.missing.push_back(i + 1);
        readKeywords(specimen);
        return specimen;
    }

    [[noreturn]] void fewerLines(const TpsSpecimen& specimen, int count, int lines) const {
        throw InputError(fileName_, specimen.line,
                         "LM=" + std::to_string(count) + " ama yalnızca " + std::to_string(lines) +
                             " koordinat satırı var");
    }

    // A picture listed for its landmarks to be placed later; without IMAGE=, or with more landmarks
    // than any wing has, it is a file cut short.
    TpsSpecimen unplacedSpecimen(TpsSpecimen& specimen, int count) {
        readKeywords(specimen);
        if (specimen.image.empty() || count > mostUnplacedLandmarks) fewerLines(specimen, count, 0);
        specimen.landmarks.resize(static_cast<std::size_t>(count));
        for (int n = 1; n <= count; ++n) specimen.missing.push_back(n);
        return specimen;
    }

    // Digitisers mark a landmark that is not there with negative coordinates (-1 -1 most often, also
    // -99 -99 and the like). A point with one negative coordinate is a value (a y counted from an
    // origin inside the picture), and so is every point of centred or aligned data, which has
    // negatives on most of its landmarks.
    static void markNegativeAsMissing(std::vector<std::pair<std::string, std::string>>& landmarks) {
        const auto value = [](const std::string& text) { return parseLocale(text, '.'); };
        const auto anyNegative = [&](const std::pair<std::string, std::string>& point) {
            return !point.first.empty() && (value(point.first) < 0 || value(point.second) < 0);
        };
        if (2 * std::count_if(landmarks.begin(), landmarks.end(), anyNegative) > std::ssize(landmarks)) return;
        for (auto& point : landmarks)
            if (!point.first.empty() && value(point.first) < 0 && value(point.second) < 0) point = {};
    }

    std::pair<std::string, std::string> readPoint(std::string_view line) const {
        const auto fields = fieldsOf(line);
        if (fields.size() == 3) fail("üç koordinat var (3 boyutlu veri okunamaz)");
        if (fields.size() != 2) fail("satırda iki koordinat yok");
        if (isMissing(fields[0]) && isMissing(fields[1])) return {};
        for (const auto field : fields)
            if (!isNumber(field)) fail("koordinat bir sayı değil: " + std::string(field));
        if (parseLocale(fields[0], '.') == -1 && parseLocale(fields[1], '.') == -1) return {};
        return {std::string(fields[0]), std::string(fields[1])};
    }

    void readKeywords(TpsSpecimen& specimen) {
        while (nextContentLine()) {
            const auto keyword = keywordOf(lines_[index_]);
            if (!keyword) fail("LM sayısından fazla koordinat satırı ya da tanınmayan satır");
            if (keyword->name == "LM") return;
            ++index_;
            if (keyword->name == "IMAGE")
                specimen.image = std::string(keyword->value);
            else if (keyword->name == "ID")
                specimen.id = std::string(keyword->value);
            else if (keyword->name == "COMMENT")
                specimen.comment = std::string(keyword->value);
            else if (keyword->name == "SCALE")
                specimen.scale = scaleOf(*keyword);
            else if (keyword->name == "POINTS")
                skipPoints(countOf(*keyword, fileName_, lineNumber() - 1));
            else if (keyword->name == "VARIABLES")
                skipValueLine();
        }
    }

    double scaleOf(const Keyword& keyword) const {
        try {
            const double scale = parseLocale(keyword.value, '.');
            if (scale > 0) return scale;
        } catch (const ArithmeticError&) {
        }
        throw InputError(fileName_, lineNumber() - 1, "SCALE= pozitif bir sayı değil");
    }

    // Curve and outline points belong to no landmark.
    void skipPoints(int count) {
        for (int i = 0; i < count; ++i) {
            if (!nextContentLine() || keywordOf(lines_[index_]))
                fail("POINTS=" + std::to_string(count) + " kadar nokta satırı yok");
            ++index_;
        }
    }

    // Some writers put the variables' values on the line after VARIABLES=.
    void skipValueLine() {
        if (nextContentLine() && !keywordOf(lines_[index_])) ++index_;
    }

    std::vector<std::string_view> lines_;
    const std::string& fileName_;
    std::size_t index_ = 0;
};

} // namespace

bool looksLikeTps(std::string_view content) {
    for (const auto line : splitLines(content)) {
        if (isSkippable(line)) continue;
        const auto keyword = keywordOf(line);
        return keyword && keyword->name == "LM";
    }
    return false;
}

std::vector<TpsSpecimen> readTps(std::string_view content, const std::string& fileName) {
    return TpsParser(content, fileName).parse();
}

} // namespace kanat
