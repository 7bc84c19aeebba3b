#include "landmarks/source_landmarks.h"

#include "measure/arithmetic_error.h"
#include "measure/number_text.h"

namespace kanat {
namespace {

bool blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

double numberOf(const std::string& text) {
    try {
        return parseLeadingNumber(text);
    } catch (const ArithmeticError&) {
        return 0; // beyond any picture; the measurements failed on it too
    }
}

} // namespace

std::array<std::optional<TpsPoint>, landmarkCount> sourceLandmarks(const LandmarkSheet& sheet,
                                                                   const std::optional<ViewOfPicture>& view) {
    std::array<std::optional<TpsPoint>, landmarkCount> points;
    for (int n = 1; n <= landmarkCount; ++n) {
        if ((blank(sheet.x(n)) && blank(sheet.y(n))) || sheet.missing(n)) continue;
        const double x = numberOf(sheet.x(n));
        const double y = numberOf(sheet.y(n));
        // Without a picture the view's own pixels are the only ones there are.
        points[static_cast<std::size_t>(n - 1)] = view ? view->toPicture(view->ofSheet(x, y)) : TpsPoint{x, y};
    }
    return points;
}

} // namespace kanat
