#include "results/file_names.h"

#include <filesystem>

namespace kanat {

std::string fileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string pictureBeside(const std::string& landmarkPath, const std::string& image) {
    namespace fs = std::filesystem;
    if (image.empty()) return {};
    const fs::path folder = nativePath(landmarkPath).parent_path();
    const fs::path asGiven = nativePath(image).is_absolute() ? nativePath(image) : folder / nativePath(image);
    std::error_code error;
    if (fs::exists(asGiven, error)) return utf8Path(asGiven);
    return utf8Path(folder / nativePath(fileNameOf(image)));
}

std::filesystem::path nativePath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}

} // namespace kanat
