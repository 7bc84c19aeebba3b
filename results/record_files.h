#pragma once

#include <string>
#include <string_view>

namespace kanat {

// Where a record line went: the 12.txt it was appended to, or the reason it could not be.
struct RecordAppend {
    std::string file;       // the 12.txt written, or the last one tried
    int error = 0;          // the system's error number when nothing was written
    bool inUserFolder = false;
    bool ok() const { return error == 0; }
};

// Appends one record line to 12.txt in the program's folder; a program installed where it may
// not write keeps its table in the user's data folder instead (created when missing).
RecordAppend appendRecordLine(const std::string& programFolder, const std::string& userDataFolder,
                              std::string_view line);

// The 12.tps beside a 12.txt.
std::string tpsFileBeside(const std::string& recordFile);

// The 12.tps the saves so far have gone to: the program's, unless only the user's data folder
// holds one.
std::string currentTpsFile(const std::string& programFolder, const std::string& userDataFolder);

} // namespace kanat
