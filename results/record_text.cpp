#include "results/record_text.h"

namespace kanat {

std::string recordLine(const MeasurementRecord& record) {
    std::string line = record.savedImageName;
    for (char& c : line)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    for (const std::string& slot : record.slotValues) {
        line += '\t';
        line += slot;
    }
    line += '\t';
    line += record.closingField;
    line += "\r\n";
    return line;
}

std::string resultBlock(const std::vector<std::string>& lines) {
    std::string block;
    for (const std::string& line : lines) {
        block += line;
        block += "\t\r\n";
    }
    return block;
}

} // namespace kanat
