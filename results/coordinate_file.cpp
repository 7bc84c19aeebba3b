#include "results/coordinate_file.h"

#include "results/input_error.h"

#include <vector>

namespace kanat {

std::vector<std::string_view> splitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const auto end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        content.remove_prefix(end + 1);
    }
    return lines;
}

std::optional<std::pair<std::string, std::string>> coordinateLine(std::string_view line, int lineNumber,
                                                                  const std::string& fileName) {
    if (line.find_first_not_of(" \t") == std::string_view::npos) return std::nullopt;
    if (lineNumber > landmarkCount) throw InputError(fileName, lineNumber, "18'den fazla nokta satırı var");
    const auto separator = line.find(';');
    if (separator == std::string_view::npos) throw InputError(fileName, lineNumber, "satır \"x;y\" biçiminde değil");
    return std::pair{std::string(line.substr(0, separator)), std::string(line.substr(separator + 1))};
}

LandmarkSheet readCoordinateFile(std::string_view content, const std::string& fileName) {
    LandmarkSheet sheet;
    const auto lines = splitLines(content);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNumber = static_cast<int>(i) + 1;
        auto texts = coordinateLine(lines[i], lineNumber, fileName);
        if (!texts) continue;
        sheet.x(lineNumber) = std::move(texts->first);
        sheet.y(lineNumber) = std::move(texts->second);
    }
    return sheet;
}

} // namespace kanat
