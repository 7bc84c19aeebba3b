#include "results/record_files.h"

#include "results/text_file.h"

#include <cerrno>
#include <filesystem>
#include <unistd.h>

namespace kanat {
namespace {

namespace fs = std::filesystem;

bool folderRefused(int error) { return error == EACCES || error == EPERM || error == EROFS; }

std::string recordFileIn(const std::string& folder) { return (fs::path(folder) / "12.txt").string(); }

bool inside(const fs::path& folder, const fs::path& root) {
    auto part = folder.begin();
    for (const fs::path& rootPart : root) {
        if (rootPart.empty()) continue; // a trailing separator
        if (part == folder.end() || *part != rootPart) return false;
        ++part;
    }
    return true;
}

} // namespace

std::vector<std::string> defaultSystemFolders() {
    return {"/usr",   "/opt",    "/bin", "/sbin", "/lib",  "/lib32",
            "/lib64", "/libx32", "/etc", "/boot", "/snap", "/var/lib"};
}

bool isSystemFolder(const std::string& folder, const std::vector<std::string>& systemFolders) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(fs::absolute(folder, error), error);
    for (const std::string& system : systemFolders) {
        const fs::path root = fs::weakly_canonical(fs::path(system), error);
        if (inside(real, root) || inside(fs::path(folder), fs::path(system))) return true;
    }
    return ::access(real.c_str(), W_OK) != 0;
}

RecordAppend appendRecordLine(const RecordFolders& folders, std::string_view line) {
    const bool system = isSystemFolder(folders.program, folders.system);
    std::string tried;
    if (!system) {
        tried = recordFileIn(folders.program);
        const WriteResult written = appendWhole(tried, line);
        if (written.ok() || !folderRefused(written.error) || folders.userData.empty())
            return {tried, written.error, false, false};
    }
    if (folders.userData.empty()) return {recordFileIn(folders.program), EACCES, false, system};
    std::error_code ignored;
    fs::create_directories(folders.userData, ignored);
    const std::string userCopy = recordFileIn(folders.userData);
    return {userCopy, appendWhole(userCopy, line).error, true, system};
}

std::string tpsFileBeside(const std::string& recordFile) {
    return (fs::path(recordFile).parent_path() / "12.tps").string();
}

std::string currentTpsFile(const RecordFolders& folders) {
    const bool user = !folders.userData.empty() && isSystemFolder(folders.program, folders.system);
    return tpsFileBeside(recordFileIn(user ? folders.userData : folders.program));
}

} // namespace kanat
