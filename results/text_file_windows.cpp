// The appends and replacements of text_file.h with Windows' own file calls: the C library's
// open/flock/O_APPEND have no Windows equivalent that keeps two programs' records apart.
#include "results/text_file.h"

#include "results/file_names.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include <windows.h>

namespace kanat {
namespace {

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return handle_; }
    void reset(HANDLE handle) {
        close();
        handle_ = handle;
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    int close() {
        if (!valid()) return 0;
        const int result = CloseHandle(handle_) ? 0 : lastError();
        handle_ = INVALID_HANDLE_VALUE;
        return result;
    }
    static int lastError() { return errorNumberOfWindowsError(GetLastError()); }

private:
    HANDLE handle_;
};

OVERLAPPED at(long long offset) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return position;
}

// Our writers all lock this one byte, far beyond any record, so that the look at the last byte
// and the write are one step. Windows' locks bar only the bytes they cover: readers and other
// programs are never held up.
constexpr long long lockedByte = 0x7FFFFFFF00000000LL;

long long sizeOf(HANDLE file) {
    LARGE_INTEGER size{};
    return GetFileSizeEx(file, &size) ? size.QuadPart : -1;
}

bool endsWithoutLineEnd(HANDLE file, long long size) {
    if (size <= 0) return false;
    OVERLAPPED position = at(size - 1);
    char last = '\n';
    DWORD got = 0;
    return ReadFile(file, &last, 1, &got, &position) && got == 1 && last != '\n';
}

bool truncateTo(HANDLE file, long long size) {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    return SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end);
}

// Writes everything at `offset`, or says why not; `written` is how much went.
int writeAt(HANDLE file, long long offset, std::string_view bytes, long long& written) {
    written = 0;
    while (!bytes.empty()) {
        OVERLAPPED position = at(offset + written);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD went = 0;
        if (!WriteFile(file, bytes.data(), chunk, &went, &position)) return Handle::lastError();
        if (went == 0) return ENOSPC;
        written += went;
        bytes.remove_prefix(went);
    }
    return 0;
}

// A folder in the file's place: Windows says only "access denied".
int openError(const std::filesystem::path& name) {
    const DWORD code = GetLastError();
    if (code == ERROR_ACCESS_DENIED) {
        const DWORD attributes = GetFileAttributesW(name.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return EISDIR;
    }
    return errorNumberOfWindowsError(code);
}

// ERROR_DISK_QUOTA_EXCEEDED, which MinGW's headers lack.
constexpr DWORD diskQuotaExceeded = 1295;

} // namespace

int errorNumberOfWindowsError(unsigned long code) {
    switch (code) {
    case ERROR_SUCCESS: return 0;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_NETWORK_ACCESS_DENIED: return EACCES;
    case ERROR_WRITE_PROTECT: return EROFS;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case diskQuotaExceeded: return ENOSPC;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME: return ENOENT;
    case ERROR_DIRECTORY: return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return EINVAL;
    // Another program holds the file open without sharing it (a spreadsheet, say).
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return EBUSY;
    default: return windowsErrorBase + static_cast<int>(code);
    }
}

WriteResult appendWhole(const std::string& path, std::string_view bytes) {
    const std::filesystem::path name = nativePath(path);
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    Handle file(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    // A file we may write but not read is appended to as it stands.
    if (!file.valid() && GetLastError() == ERROR_ACCESS_DENIED)
        file.reset(
            CreateFileW(name.c_str(), GENERIC_WRITE, sharing, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return {openError(name)};
    // Our other writers wait here, so that the size we write at is still the end.
    OVERLAPPED lock = at(lockedByte);
    const bool locked = LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lock);
    const long long end = sizeOf(file.get());
    if (end < 0) return {Handle::lastError()};
    // A file whose last line has no line end (edited by hand, or cut short) would glue its last
    // line to ours: ours starts on a line of its own.
    std::string ownLine;
    if (endsWithoutLineEnd(file.get(), end)) {
        ownLine.reserve(bytes.size() + 2);
        ownLine.append("\r\n").append(bytes);
        bytes = ownLine;
    }
    long long written = 0;
    const int error = writeAt(file.get(), end, bytes, written);
    // A failed write leaves no part behind: the torn part is taken back.
    if (error && written > 0) static_cast<void>(truncateTo(file.get(), end));
    if (locked) {
        lock = at(lockedByte);
        UnlockFileEx(file.get(), 0, 1, 0, &lock);
    }
    const int closed = file.close();
    return {error ? error : closed};
}

WriteResult replaceWhole(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target = nativePath(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : std::filesystem::path(L".");
    static long attempt = 0;
    const std::filesystem::path temporary =
        folder / (L".kanat-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(InterlockedIncrement(&attempt)) + L"-" + std::to_wstring(GetTickCount64()));
    Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    long long written = 0;
    if (!file.valid()) {
        // A folder we may not create files in can still hold a file we may overwrite.
        Handle direct(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!direct.valid()) return {openError(target)};
        if (const int error = writeAt(direct.get(), 0, bytes, written)) return {error};
        return {direct.close()};
    }
    int error = writeAt(file.get(), 0, bytes, written);
    if (!error && !FlushFileBuffers(file.get())) error = Handle::lastError();
    if (const int closed = file.close(); !error) error = closed;
    if (!error && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = openError(target);
    if (error) DeleteFileW(temporary.c_str());
    return {error};
}

long countLines(const std::string& path) {
    std::ifstream file(nativePath(path), std::ios::binary);
    long lines = 0;
    char buffer[1 << 16];
    while (file) {
        file.read(buffer, sizeof buffer);
        lines += static_cast<long>(std::count(buffer, buffer + file.gcount(), '\n'));
    }
    return lines;
}

} // namespace kanat
