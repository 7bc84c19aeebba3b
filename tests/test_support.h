#pragma once

#include <string>
#include <vector>

namespace kanat::test {

std::string readFile(const std::string& path);
std::vector<std::string> readLines(const std::string& path);
std::string testData(const std::string& relative);

// A fresh empty folder under the system's temporary folder, removed by the caller's fixture.
std::string makeTemporaryFolder();

struct ProcessResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs the batch calculator with `arguments` (each passed as one argument).
ProcessResult runBatchTool(const std::vector<std::string>& arguments);

} // namespace kanat::test
