#include "measure/landmark_sheet.h"

#include "measure/number_text.h"

#include <cctype>

namespace kanat {

bool isMissingMark(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return false;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (text.size() != missingMark.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != missingMark[i]) return false;
    return true;
}

bool LandmarkSheet::unplaced(int n) const { return !missing(n) && !(hasLeadingNumber(x(n)) && hasLeadingNumber(y(n))); }

} // namespace kanat
