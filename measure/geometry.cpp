#include "measure/geometry.h"

#include "measure/arithmetic_error.h"
#include "measure/number_text.h"

#include <cmath>

namespace kanat {
namespace {

// Degrees the way the measurements report them: with 3.14, not pi.
constexpr double halfTurnDegrees = 180.0;
constexpr double roughPi = 3.14;

} // namespace

double readCoordinate(const std::string& text, char decimal) {
    return parseLocale(fixed7(parseLeadingNumber(text), decimal), decimal);
}

double CutDistance::value() const {
    if (!readBack) throw ArithmeticError(ArithmeticFault::Conversion);
    return *readBack;
}

CutDistance cutDistance(const PlanePoint& from, const PlanePoint& to, char decimal) {
    const double dx = checked::sub(to.x, from.x);
    const double dy = checked::sub(to.y, from.y);
    const double distance = checked::sqrt(checked::add(checked::square(dx), checked::square(dy)));
    CutDistance cut{fixed7(distance, decimal), std::nullopt};
    try {
        cut.readBack = parseLocale(cut.text, decimal);
    } catch (const ArithmeticError&) {
        // Read back where it is used, and fail there.
    }
    return cut;
}

void VertexAngle(WorkingFields& fields, char decimal) {
    VertexAngle(readPointFields<3>(fields, decimal), fields, decimal);
}

void VertexAngle(const std::array<PlanePoint, 3>& p, WorkingFields& fields, char decimal) {
    const CutDistance a = cutDistance(p[0], p[1], decimal);
    const CutDistance b = cutDistance(p[1], p[2], decimal);
    const CutDistance c = cutDistance(p[2], p[0], decimal);
    fields[Field::Txt1] = a.text;
    fields[Field::Txt2] = c.text;
    fields[Field::Txt3] = b.text;

    const double sideA = a.value();
    const double sideC = c.value();
    const double sideB = b.value();
    const double numerator =
        checked::sub(checked::square(sideC), checked::add(checked::square(sideA), checked::square(sideB)));
    const double denominator = checked::mul(checked::mul(sideA, -2.0), sideB);
    const double cosine = checked::div(numerator, denominator);
    const double angle = ArcCos(cosine);
    fields[Field::cs] = formatResult(checked::div(checked::mul(angle, halfTurnDegrees), roughPi), decimal);
    fields[Field::oran] = formatResult(checked::div(sideA, sideB), decimal);
}

void DistanceRatio(WorkingFields& fields, char decimal) {
    DistanceRatio(readPointFields<4>(fields, decimal), fields, decimal);
}

void DistanceRatio(const std::array<PlanePoint, 4>& p, WorkingFields& fields, char decimal) {
    const double first = cutDistance(p[0], p[1], decimal).value();
    const double second = cutDistance(p[2], p[3], decimal).value();
    fields[Field::oran] = formatResult(checked::div(first, second), decimal);
}

double ArcCos(const double& x) {
    const double root = checked::sqrt(checked::add(checked::mul(-x, x), 1.0));
    return checked::add(std::atan(checked::div(-x, root)), 2.0 * std::atan(1.0));
}

double ArcSin(const double& x) {
    const double root = checked::sqrt(checked::add(checked::mul(-x, x), 1.0));
    return std::atan(checked::div(x, root));
}

} // namespace kanat
