#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kanat {

// The folders the records may go to: beside the program, as a program run from its build or an
// unpacked folder keeps them, or the user's data folder for an installed program.
struct RecordFolders {
    std::string program;
    std::string userData;
    std::vector<std::string> system; // where programs are installed; nobody's records belong there
};

// Where the system keeps installed programs (under /usr and /opt, among others).
std::vector<std::string> defaultSystemFolders();

// True for a folder inside one of `systemFolders`, or one this user may not write to: records
// written there would be out of the user's reach, or (for root) litter the system.
bool isSystemFolder(const std::string& folder, const std::vector<std::string>& systemFolders);

// Where a record line went: the 12.txt it was appended to, or the reason it could not be.
struct RecordAppend {
    std::string file; // the 12.txt written, or the last one tried
    int error = 0;    // the system's error number when nothing was written
    bool inUserFolder = false;
    bool programFolderIsSystem = false; // why it is in the user's folder: installed, or refused
    bool ok() const { return error == 0; }
};

// Appends one record line to 12.txt in the program's folder; an installed program, or one whose
// folder refuses the write, keeps its table in the user's data folder instead (created when
// missing).
RecordAppend appendRecordLine(const RecordFolders& folders, std::string_view line);

// The 12.tps beside a 12.txt.
std::string tpsFileBeside(const std::string& recordFile);

// The 12.tps the saves go to, as far as can be told before one is made.
std::string currentTpsFile(const RecordFolders& folders);

} // namespace kanat
