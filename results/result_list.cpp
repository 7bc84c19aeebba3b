#include "results/result_list.h"

namespace kanat {

std::vector<std::string> resultLines(const CalculationValues& values) {
    const auto& labels = measurementLabels();
    std::vector<std::string> lines;
    lines.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        lines.push_back(i < labels.size() ? labels[i] + ";" + values[i] : values[i]);
    return lines;
}

std::string coordinateLine(const std::string& x, const std::string& y) { return x + ";" + y; }

} // namespace kanat
