#pragma once

namespace kanat {

// Called first thing in main, before any thread starts. With MinGW's thread_local, Qt's per-thread
// stack for compiled regular expressions is freed twice when a thread of ours that used one ends
// (Qt matches them inside its image and file calls), and the program crashes on its way out.
// Windows programs therefore match them without compiling; elsewhere this does nothing.
void prepareQtForWorkerThreads();

} // namespace kanat
