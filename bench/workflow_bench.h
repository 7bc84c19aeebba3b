#pragma once

#include <QString>

namespace kanat::bench {

// Prints the timings of the digitising workflow on the photograph at "x4", of the loupe at each
// magnification, and of Page Down to a copy of it.
void measureWorkflow(const QString& photograph, const char* suffix);

} // namespace kanat::bench
