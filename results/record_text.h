#pragma once

#include "results/measurement_record.h"

#include <string>
#include <vector>

namespace kanat {

// One line of 12.txt (UTF-8, ended by CR LF): the image name, the 116 slot values and the closing
// field, separated by one TAB each. A TAB, CR or LF in the name becomes a blank, so that a
// record is always one line of 118 fields.
std::string recordLine(const MeasurementRecord& record);

// The block a save adds to the accumulated text: every list line followed by TAB and CR LF.
std::string resultBlock(const std::vector<std::string>& lines);

} // namespace kanat
