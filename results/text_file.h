#pragma once

#include <string>
#include <string_view>

namespace kanat {

// Outcome of writing a file: 0 when it was written, otherwise the system's error number.
struct WriteResult {
    int error = 0;
    bool ok() const { return error == 0; }
};

// Appends `bytes` with one write to a file opened for appending (created when missing), so that
// two programs appending at once never interleave, and a failed write leaves no part behind.
WriteResult appendWhole(const std::string& path, std::string_view bytes);

// Replaces the file's whole content; until the new content is complete on disk the old one stays.
WriteResult replaceWhole(const std::string& path, std::string_view bytes);

// How many line ends the file holds; 0 when it cannot be read.
long countLines(const std::string& path);

// A few Turkish words on why a file could not be written, for the user's message.
std::string describeWriteError(int error);

#ifdef _WIN32
// The error number that stands for a Windows error code (GetLastError) in a WriteResult: the
// C library's number where one means the same, so that describeWriteError has the same words
// on both systems, otherwise windowsErrorBase + the code.
constexpr int windowsErrorBase = 100000;
int errorNumberOfWindowsError(unsigned long code);
#endif

} // namespace kanat
