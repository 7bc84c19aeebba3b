#include "results/whole_file.h"

#include "results/file_names.h"
#include "results/input_error.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kanat {

std::optional<std::string> fileBytes(const std::string& path) {
    std::ifstream file(nativePath(path), std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) return std::nullopt;
    return content.str();
}

std::string readWholeFile(const std::string& path) {
    // A folder is told as what it is, not as a file that could not be read.
    if (std::filesystem::is_directory(nativePath(path))) throw InputError(path, 0, "bu bir klasör, dosya değil");
    std::optional<std::string> text = fileBytes(path);
    if (!text) throw InputError(path, 0, "dosya okunamadı");
    // Editors on some systems start UTF-8 files with a byte-order mark; it is no coordinate.
    if (text->rfind("\xEF\xBB\xBF", 0) == 0) text->erase(0, 3);
    return std::move(*text);
}

} // namespace kanat
