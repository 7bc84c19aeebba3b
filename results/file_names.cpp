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
    const fs::path folder = fs::path(landmarkPath).parent_path();
    const fs::path asGiven = fs::path(image).is_absolute() ? fs::path(image) : folder / image;
    std::error_code error;
    if (fs::exists(asGiven, error)) return asGiven.string();
    return (folder / fileNameOf(image)).string();
}

} // namespace kanat
