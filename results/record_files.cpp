#include "results/record_files.h"

#include "results/text_file.h"

#include <cerrno>
#include <filesystem>

namespace kanat {
namespace {

bool folderRefused(int error) { return error == EACCES || error == EPERM || error == EROFS; }

std::string recordFileIn(const std::string& folder) { return (std::filesystem::path(folder) / "12.txt").string(); }

} // namespace

RecordAppend appendRecordLine(const std::string& programFolder, const std::string& userDataFolder,
                              std::string_view line) {
    const std::string programCopy = recordFileIn(programFolder);
    const WriteResult written = appendWhole(programCopy, line);
    if (written.ok() || !folderRefused(written.error) || userDataFolder.empty())
        return {programCopy, written.error, false};
    std::error_code ignored;
    std::filesystem::create_directories(userDataFolder, ignored);
    const std::string userCopy = recordFileIn(userDataFolder);
    return {userCopy, appendWhole(userCopy, line).error, true};
}

std::string tpsFileBeside(const std::string& recordFile) {
    return (std::filesystem::path(recordFile).parent_path() / "12.tps").string();
}

std::string currentTpsFile(const std::string& programFolder, const std::string& userDataFolder) {
    const std::string programCopy = tpsFileBeside(recordFileIn(programFolder));
    const std::string userCopy = tpsFileBeside(recordFileIn(userDataFolder));
    std::error_code ignored;
    if (!userDataFolder.empty() && !std::filesystem::exists(programCopy, ignored) &&
        std::filesystem::exists(userCopy, ignored))
        return userCopy;
    return programCopy;
}

} // namespace kanat
