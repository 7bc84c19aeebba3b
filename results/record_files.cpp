#include "results/record_files.h"

#include "results/file_names.h"
#include "results/text_file.h"

#include <cerrno>
#include <filesystem>
#ifdef _WIN32
#include <cstdlib>
#include <cwchar>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace kanat {
namespace {

namespace fs = std::filesystem;

bool folderRefused(int error) { return error == EACCES || error == EPERM || error == EROFS; }

std::string recordFileIn(const std::string& folder) { return utf8Path(nativePath(folder) / "12.txt"); }

#ifdef _WIN32
// Windows' names are the same whatever their letter case: C:\Program Files is c:\program files.
bool samePart(const fs::path& a, const fs::path& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// Whether this user may make files in the folder: the only sure test on Windows, where rights
// come from access lists, a read-only attribute means nothing for folders, and the program
// folder may be virtualised.
bool writable(const fs::path& folder) {
    static long attempt = 0;
    const fs::path probe = folder / (L".kanat-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                     std::to_wstring(InterlockedIncrement(&attempt)));
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}
#else
bool samePart(const fs::path& a, const fs::path& b) { return a == b; }

bool writable(const fs::path& folder) { return ::access(folder.c_str(), W_OK) == 0; }
#endif

bool inside(const fs::path& folder, const fs::path& root) {
    auto part = folder.begin();
    for (const fs::path& rootPart : root) {
        if (rootPart.empty()) continue; // a trailing separator
        if (part == folder.end() || !samePart(*part, rootPart)) return false;
        ++part;
    }
    return true;
}

} // namespace

std::vector<std::string> defaultSystemFolders() {
#ifdef _WIN32
    // Where installers put programs, and Windows itself; wherever this Windows has them.
    std::vector<std::string> folders;
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"SystemRoot"})
        if (const wchar_t* value = _wgetenv(name); value && *value) folders.push_back(utf8Path(fs::path(value)));
    return folders;
#else
    return {"/usr",   "/opt",    "/bin", "/sbin", "/lib",  "/lib32",
            "/lib64", "/libx32", "/etc", "/boot", "/snap", "/var/lib"};
#endif
}

bool isSystemFolder(const std::string& folder, const std::vector<std::string>& systemFolders) {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(fs::absolute(nativePath(folder), error), error);
    for (const std::string& system : systemFolders) {
        const fs::path root = fs::weakly_canonical(nativePath(system), error);
        if (inside(real, root) || inside(nativePath(folder), nativePath(system))) return true;
    }
    return !writable(real);
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
    fs::create_directories(nativePath(folders.userData), ignored);
    const std::string userCopy = recordFileIn(folders.userData);
    return {userCopy, appendWhole(userCopy, line).error, true, system};
}

std::string tpsFileBeside(const std::string& recordFile) {
    return utf8Path(nativePath(recordFile).parent_path() / "12.tps");
}

std::string currentTpsFile(const RecordFolders& folders) {
    const bool user = !folders.userData.empty() && isSystemFolder(folders.program, folders.system);
    return tpsFileBeside(recordFileIn(user ? folders.userData : folders.program));
}

} // namespace kanat
