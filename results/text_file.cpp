#include "results/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kanat {
#ifndef _WIN32 // Windows has its own in text_file_windows.cpp
namespace {

// Writes everything, going on after interrupted or partial writes.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (written == 0) return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { close(); }
    int get() const { return fd_; }
    void reset(int fd) {
        close();
        fd_ = fd;
    }
    bool valid() const { return fd_ >= 0; }
    int close() {
        if (fd_ < 0) return 0;
        const int result = ::close(fd_) == 0 ? 0 : errno;
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool endsWithoutLineEnd(int fd) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || status.st_size == 0) return false;
    char last = '\n';
    return ::pread(fd, &last, 1, status.st_size - 1) == 1 && last != '\n';
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

WriteResult appendWhole(const std::string& path, std::string_view bytes) {
    FileDescriptor file(::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    // A file we may write but not read is appended to as it stands.
    if (!file.valid() && errno == EACCES)
        file.reset(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (!file.valid()) return {errno};
    // Our other writers wait, so that the look at the last byte and the write are one step.
    static_cast<void>(::flock(file.get(), LOCK_EX));
    // A file whose last line has no line end (edited by hand, or cut short) would glue its last
    // line to ours: ours starts on a line of its own.
    std::string ownLine;
    if (endsWithoutLineEnd(file.get())) {
        ownLine.reserve(bytes.size() + 2);
        ownLine.append("\r\n").append(bytes);
        bytes = ownLine;
    }
    const ssize_t written = ::write(file.get(), bytes.data(), bytes.size());
    if (written == static_cast<ssize_t>(bytes.size())) return {file.close()};
    const int error = written < 0 ? errno : ENOSPC;
    if (written > 0) {
        // Take back the torn part, unless someone has appended behind it meanwhile.
        const off_t end = ::lseek(file.get(), 0, SEEK_CUR);
        struct stat status {};
        if (end >= written && ::fstat(file.get(), &status) == 0 && status.st_size == end &&
            ::ftruncate(file.get(), end - written) != 0) {
            // Should that fail too, the write's own error is still the one to report.
        }
    }
    return {error};
}

WriteResult replaceWhole(const std::string& path, std::string_view bytes) {
    std::string temporary = folderOf(path) + "/.kanat-XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (!file.valid()) {
        // A folder we may not create files in can still hold a file we may overwrite.
        FileDescriptor direct(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
        if (!direct.valid()) return {errno};
        if (const int error = writeAll(direct.get(), bytes)) return {error};
        return {direct.close()};
    }
    struct stat existing {};
    const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
    int error = writeAll(file.get(), bytes);
    if (!error && ::fchmod(file.get(), mode) != 0) error = errno;
    if (!error && ::fsync(file.get()) != 0) error = errno;
    if (const int closed = file.close(); !error) error = closed;
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error) ::unlink(temporary.c_str());
    return {error};
}

long countLines(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid()) return 0;
    long lines = 0;
    char buffer[1 << 16];
    for (ssize_t got; (got = ::read(file.get(), buffer, sizeof buffer)) > 0;)
        lines += std::count(buffer, buffer + got, '\n');
    return lines;
}
#endif

std::string describeWriteError(int error) {
    switch (error) {
    case EACCES:
    case EPERM: return "yazma izni yok";
    case EROFS: return "salt okunur bir yerde";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return "diskte yer kalmadı";
    case ENOENT:
    case ENOTDIR: return "klasör bulunamadı";
    case EISDIR: return "bu bir klasör";
    case ENAMETOOLONG: return "dosya adı çok uzun";
    case EBUSY: return "dosya başka bir programda açık";
    case EINVAL: return "dosya adı geçersiz";
    default:
#ifdef _WIN32
        if (error >= windowsErrorBase)
            return "yazılamadı (Windows hatası " + std::to_string(error - windowsErrorBase) + ")";
#endif
        return std::string("yazılamadı (") + std::strerror(error) + ")";
    }
}

} // namespace kanat
