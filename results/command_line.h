#pragma once

#include <string>
#include <vector>

namespace kanat {

// The arguments after the program's name, as UTF-8 text like every path the program handles.
// Windows hands `argv` over in its ANSI code page, which cannot hold every file name, so there
// they are taken from the wide command line instead.
std::vector<std::string> commandLineArguments(int argc, char** argv);

// Standard output and error pass the program's bytes as they are: Windows would otherwise write
// every \n as \r\n, and show UTF-8 in a console window as another code page.
void outputBytesAsTheyAre();

} // namespace kanat
