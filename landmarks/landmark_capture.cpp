#include "landmarks/landmark_capture.h"

#include "measure/number_text.h"

namespace kanat {

CapturedPoint capturePoint(float pressX, float pressY, double baseHeight, char decimal) {
    const double y = roundHalfEven(baseHeight - static_cast<double>(pressY), 0);
    return {formatGeneralSingle(pressX, decimal), formatGeneral(y, decimal)};
}

double baseHeightOf(double outerHeightTwips) { return outerHeightTwips / baseLineDivisor; }

std::string nextCount(const std::string& counter, char decimal) {
    return formatGeneral(parseLocale(counter, decimal) + 1, decimal);
}

} // namespace kanat
