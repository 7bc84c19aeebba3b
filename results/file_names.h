#pragma once

#include <filesystem>
#include <string>

namespace kanat {

// The file name without its folder, whichever separator the path uses.
std::string fileNameOf(const std::string& path);

// Where a landmark file's IMAGE= points: beside the landmark file, or the full path it gives
// when that exists; empty without IMAGE=.
std::string pictureBeside(const std::string& landmarkPath, const std::string& image);

// Paths travel as UTF-8 text (Qt's toStdString, the command line). Windows opens files by wide
// names and would read a narrow one in the ANSI code page, so every open and every
// std::filesystem call takes its path from here, and every path given back goes through
// utf8Path (with forward slashes, as Qt gives paths on every system).
std::filesystem::path nativePath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

} // namespace kanat
