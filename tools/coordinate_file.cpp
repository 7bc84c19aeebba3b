#include "tools/coordinate_file.h"

#include "tools/input_error.h"

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

LandmarkSheet readCoordinateFile(std::string_view content, const std::string& fileName) {
    LandmarkSheet sheet;
    const auto lines = splitLines(content);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const int lineNumber = static_cast<int>(i) + 1;
        if (line.find_first_not_of(" \t") == std::string_view::npos) continue;
        if (i >= static_cast<std::size_t>(landmarkCount))
            throw InputError(fileName, lineNumber, "18'den fazla nokta satırı var");
        const auto separator = line.find(';');
        if (separator == std::string_view::npos)
            throw InputError(fileName, lineNumber, "satır \"x;y\" biçiminde değil");
        sheet.x(lineNumber) = std::string(line.substr(0, separator));
        sheet.y(lineNumber) = std::string(line.substr(separator + 1));
    }
    return sheet;
}

} // namespace kanat
