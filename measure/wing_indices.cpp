#include "measure/wing_indices.h"

#include "measure/arithmetic_error.h"
#include "measure/number_text.h"

#include <cmath>
#include <limits>

namespace kanat {
namespace {

// y(11) is held in single precision, which shows in the digits of the shift.
double asSingle(double value) {
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        throw ArithmeticError(ArithmeticFault::Overflow);
    return static_cast<double>(static_cast<float>(value));
}

constexpr double shiftPi = 3.14159265358979;

} // namespace

void DiscoidalShift(const LandmarkSheet& sheet, WorkingFields& fields, char decimal) {
    const double x1 = parseLeadingNumber(sheet.x(1));
    const double y1 = parseLeadingNumber(sheet.y(1));
    const double x4 = parseLeadingNumber(sheet.x(4));
    const double y4 = parseLeadingNumber(sheet.y(4));
    const double x2 = parseLeadingNumber(sheet.x(2));
    const double y2 = parseLeadingNumber(sheet.y(2));
    const double x11 = parseLeadingNumber(sheet.x(11));
    const double y11 = asSingle(parseLeadingNumber(sheet.y(11)));

    const double slopeA = checked::div(checked::sub(y4, y1), checked::sub(x4, x1));
    const double slopeB = checked::div(checked::sub(y11, y2), checked::sub(x11, x2));
    const double tangent = checked::div(checked::sub(slopeB, slopeA), checked::add(checked::mul(slopeA, slopeB), 1.0));
    const double degrees = roundHalfEven(checked::div(checked::mul(std::atan(tangent), 180.0), shiftPi), 2);
    const double shift = degrees > 0 ? degrees - 90.0 : degrees < 0 ? degrees + 90.0 : 0.0;
    fields[Field::cs] = formatGeneral(shift, decimal);
}

} // namespace kanat
