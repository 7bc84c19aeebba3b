#include "measure/geometry.h"

#include "measure/arithmetic_error.h"
#include "measure/number_text.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>

namespace kanat {
namespace {

struct Point {
    double x = 0;
    double y = 0;
};

// Reads all x fields first, then all y fields, as the procedures do.
template <std::size_t N>
std::array<Point, N> readPoints(const WorkingFields& fields, char decimal) {
    std::array<Point, N> points{};
    for (std::size_t i = 0; i < N; ++i)
        points[i].x = readCoordinate(fields[pointX(static_cast<int>(i) + 1)], decimal);
    for (std::size_t i = 0; i < N; ++i)
        points[i].y = readCoordinate(fields[pointY(static_cast<int>(i) + 1)], decimal);
    return points;
}

const CutDistance& distanceBetween(const Point& from, const Point& to, char decimal) {
    return cutDistance(from.x, from.y, to.x, to.y, decimal);
}

// Degrees the way the measurements report them: with 3.14, not pi.
constexpr double halfTurnDegrees = 180.0;
constexpr double roughPi = 3.14;

} // namespace

double readCoordinate(const std::string& text, char decimal) {
    // A calculation reads its 36 landmark texts some 650 times; this pure conversion is
    // remembered per text so the batch calculator keeps up with large collections.
    struct Remembered {
        std::string text;
        char decimal = 0;
        double value = 0;
    };
    thread_local std::array<Remembered, 512> memo;
    std::uint32_t hash = 2166136261u; // FNV-1a: these texts are a few characters long
    for (char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    Remembered& slot = memo[hash % memo.size()];
    if (slot.decimal == decimal && slot.text == text) return slot.value;
    const double value = parseLocale(fixed7(parseLeadingNumber(text), decimal), decimal);
    slot = {text, decimal, value};
    return value;
}

double CutDistance::value() const {
    if (!readBack) throw ArithmeticError(ArithmeticFault::Conversion);
    return *readBack;
}

const CutDistance& cutDistance(double x1, double y1, double x2, double y2, char decimal) {
    const double dx = checked::sub(x2, x1);
    const double dy = checked::sub(y2, y1);
    const double distance = checked::sqrt(checked::add(checked::square(dx), checked::square(dy)));
    // The same segments come back in many measurements; their texts are remembered.
    thread_local std::array<CutDistance, 256> memo;
    CutDistance& slot = memo[std::hash<double>{}(distance) % memo.size()];
    if (slot.decimal == decimal && slot.distance == distance) return slot;
    slot = {distance, decimal, fixed7(distance, decimal), std::nullopt};
    try {
        slot.readBack = parseLocale(slot.text, decimal);
    } catch (const ArithmeticError&) {
        // Read back where it is used, and fail there.
    }
    return slot;
}

void VertexAngle(WorkingFields& fields, char decimal) {
    const auto p = readPoints<3>(fields, decimal);
    // Copies: a later distance may take the memo slot of an earlier one.
    const CutDistance a = distanceBetween(p[0], p[1], decimal);
    const CutDistance b = distanceBetween(p[1], p[2], decimal);
    const CutDistance c = distanceBetween(p[2], p[0], decimal);
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
    fields[Field::cs] =
        formatResult(checked::div(checked::mul(angle, halfTurnDegrees), roughPi), decimal);
    fields[Field::oran] = formatResult(checked::div(sideA, sideB), decimal);
}

void DistanceRatio(WorkingFields& fields, char decimal) {
    const auto p = readPoints<4>(fields, decimal);
    const double first = distanceBetween(p[0], p[1], decimal).value();
    const double second = distanceBetween(p[2], p[3], decimal).value();
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
