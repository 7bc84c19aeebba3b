#include "tests/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace kanat::test {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
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

} // namespace kanat::test
