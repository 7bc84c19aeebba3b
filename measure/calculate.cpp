#include "measure/calculate.h"

#include "measure/arithmetic_error.h"
#include "measure/geometry.h"
#include "measure/length_pair.h"
#include "measure/wing_indices.h"

#include <algorithm>
#include <optional>

namespace kanat {
namespace {

// Every landmark as the procedures read it from a point field. The fields of a step only ever
// hold landmark texts, so each is read once for the whole catalogue rather than at every use.
using LandmarkPoints = std::array<std::optional<PlanePoint>, landmarkCount>;

LandmarkPoints readLandmarkPoints(const LandmarkSheet& sheet, char decimal) {
    LandmarkPoints points;
    for (int n = 1; n <= landmarkCount; ++n) {
        try {
            points[static_cast<std::size_t>(n - 1)] =
                PlanePoint{readCoordinate(sheet.x(n), decimal), readCoordinate(sheet.y(n), decimal)};
        } catch (const ArithmeticError&) {
            // No point: a step that needs this landmark fails, as reading its field would.
        }
    }
    return points;
}

// Points 1 to N of a step, taken from the landmarks read.
template <std::size_t N>
std::array<PlanePoint, N> stepPoints(const CatalogueStep& step, const LandmarkPoints& landmarks) {
    std::array<PlanePoint, N> points;
    for (std::size_t i = 0; i < N; ++i) {
        const auto& point = landmarks[static_cast<std::size_t>(step.landmarks[i] - 1)];
        if (!point) throw ArithmeticError(ArithmeticFault::Conversion);
        points[i] = *point;
    }
    return points;
}

// Plain text copies of landmark texts into the working points 1 to 4.
void copyLandmarks(const LandmarkSheet& sheet, const std::array<int, 4>& landmarks, WorkingFields& fields) {
    for (int point = 1; point <= 4; ++point) {
        const int n = landmarks[static_cast<std::size_t>(point - 1)];
        if (n == 0) continue;
        fields[pointX(point)] = sheet.x(n);
        fields[pointY(point)] = sheet.y(n);
    }
}

// The result fields a step reports; they are emptied first so that a failing step reports
// nothing rather than the value of an earlier measurement.
std::vector<Field> reportedFields(StepKind kind) {
    switch (kind) {
    case StepKind::Angle: return {Field::cs};
    case StepKind::Ratio: return {Field::oran};
    case StepKind::DiscoidalShift: return {Field::cs};
    case StepKind::LengthPair: return {Field::oran, Field::cs};
    }
    return {};
}

void runProcedure(const CatalogueStep& step, const LandmarkSheet& sheet, const LandmarkPoints& landmarks,
                  WorkingFields& fields, const std::string& mmPerPixel, char decimal) {
    switch (step.kind) {
    case StepKind::Angle: VertexAngle(stepPoints<3>(step, landmarks), fields, decimal); break;
    case StepKind::Ratio: DistanceRatio(stepPoints<4>(step, landmarks), fields, decimal); break;
    case StepKind::DiscoidalShift: DiscoidalShift(sheet, fields, decimal); break;
    case StepKind::LengthPair: LengthPair(stepPoints<4>(step, landmarks), fields, mmPerPixel, decimal); break;
    }
}

} // namespace

CalculationValues Calculate(const LandmarkSheet& sheet, WorkingFields& fields, const std::string& mmPerPixel,
                            char decimal, const PixelSource& picture) {
    const LandmarkPoints landmarks = readLandmarkPoints(sheet, decimal);
    CalculationValues values;
    std::size_t next = 0;
    for (const CatalogueStep& step : measurementCatalogue()) {
        const std::vector<Field> reported = reportedFields(step.kind);
        for (Field field : reported) fields[field].clear();
        // A landmark marked missing leaves every value that needs it empty.
        std::vector<bool> measurable;
        for (std::size_t value = 0; value < reported.size(); ++value) {
            const std::vector<int> used = landmarksUsed(step, value);
            measurable.push_back(std::none_of(used.begin(), used.end(), [&](int n) { return sheet.missing(n); }));
        }
        copyLandmarks(sheet, step.landmarks, fields);
        try {
            if (std::find(measurable.begin(), measurable.end(), true) != measurable.end())
                runProcedure(step, sheet, landmarks, fields, mmPerPixel, decimal);
        } catch (const ArithmeticError&) {
            // A failing measurement is skipped and the run goes on; its value stays empty.
        }
        for (std::size_t value = 0; value < reported.size(); ++value) {
            if (!measurable[value]) fields[reported[value]].clear();
            values[next++] = fields[reported[value]];
        }
    }
    auto colours = LandmarkColours(sheet, fields, picture, decimal);
    for (int n = 1; n <= landmarkCount; ++n)
        if (sheet.missing(n)) colours[static_cast<std::size_t>(n - 1)].clear(); // no colour where nothing is
    std::copy(colours.begin(), colours.end(), values.begin() + static_cast<long>(next));
    return values;
}

} // namespace kanat
