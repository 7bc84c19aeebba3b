#include "tests/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace kanat::test {

namespace {
// Test paths are UTF-8 text, as the program's are; Windows wants them wide.
std::filesystem::path pathOf(const std::string& utf8) { return std::u8string(utf8.begin(), utf8.end()); }
} // namespace

std::string readFile(const std::string& path) {
    std::ifstream file(pathOf(path), std::ios::binary);
    // A missing data file fails its test by name, not with an empty text read further on.
    if (!file) throw std::runtime_error("cannot read the test file " + path);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

std::vector<std::string> readLines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream content(readFile(path));
    for (std::string line; std::getline(content, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string testData(const std::string& relative) { return std::string(KANAT_TEST_DATA) + "/" + relative; }

#ifdef _WIN32

namespace {
std::string textOf(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}
} // namespace

std::string makeTemporaryFolder() {
    // No mkdtemp: a name of this process's own, taken only if nobody has it yet.
    static int made = 0;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::filesystem::path folder =
            temporary / ("kanat-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made) + "-" +
                         std::to_string(GetTickCount64() % 100000));
        if (std::filesystem::create_directory(folder)) return textOf(folder);
    }
    std::abort();
}

namespace {

// One argument as the C run time's command-line parser reads it back.
std::wstring quotedArgument(const std::wstring& argument) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

HANDLE inheritedFile(const std::filesystem::path& path, DWORD access, DWORD creation) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

ProcessResult runBatchTool(const std::vector<std::string>& arguments) {
    const std::string folder = makeTemporaryFolder();
    const std::filesystem::path program = pathOf(KANAT_BATCH_TOOL);
    std::wstring commandLine = quotedArgument(program.wstring());
    for (const auto& argument : arguments) commandLine += L" " + quotedArgument(pathOf(argument).wstring());
    const HANDLE out = inheritedFile(pathOf(folder + "/out"), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = inheritedFile(pathOf(folder + "/err"), GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE in = inheritedFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    ProcessResult result;
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) result.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {out, err, in}) CloseHandle(handle);
    result.out = readFile(folder + "/out");
    result.err = readFile(folder + "/err");
    std::filesystem::remove_all(pathOf(folder));
    return result;
}

#else

std::string makeTemporaryFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kanat-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
}

namespace {
std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
} // namespace

ProcessResult runBatchTool(const std::vector<std::string>& arguments) {
    const std::string folder = makeTemporaryFolder();
    std::string command = quoted(KANAT_BATCH_TOOL);
    for (const auto& argument : arguments) command += " " + quoted(argument);
    command += " >" + quoted(folder + "/out") + " 2>" + quoted(folder + "/err") + " </dev/null";
    ProcessResult result;
    const int status = std::system(command.c_str());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(folder + "/out");
    result.err = readFile(folder + "/err");
    std::filesystem::remove_all(folder);
    return result;
}

#endif

} // namespace kanat::test
