#include "tools/input_file.h"

#include "tools/input_error.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace kanat {

std::string readWholeFile(const std::string& path) {
    if (std::filesystem::is_directory(path))
        throw InputError(path, 0, "bu bir klasör, dosya değil");
    std::ifstream file(path, std::ios::binary);
    if (!file) throw InputError(path, 0, "dosya okunamadı");
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad()) throw InputError(path, 0, "dosya okunamadı");
    std::string text = content.str();
    // Editors on some systems start UTF-8 files with a byte-order mark; it is no coordinate.
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    return text;
}

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace kanat
