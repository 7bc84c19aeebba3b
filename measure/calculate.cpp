#include "measure/calculate.h"

#include "measure/arithmetic_error.h"
#include "measure/geometry.h"
#include "measure/length_pair.h"
#include "measure/wing_indices.h"

#include <algorithm>

namespace kanat {
namespace {

// Plain text copies of landmark texts into the working points 1 to 4.
void copyLandmarks(const LandmarkSheet& sheet, const std::array<int, 4>& landmarks,
                   WorkingFields& fields) {
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

void runProcedure(const CatalogueStep& step, const LandmarkSheet& sheet, WorkingFields& fields,
                  const std::string& mmPerPixel, char decimal) {
    switch (step.kind) {
    case StepKind::Angle: VertexAngle(fields, decimal); break;
    case StepKind::Ratio: DistanceRatio(fields, decimal); break;
    case StepKind::DiscoidalShift: DiscoidalShift(sheet, fields, decimal); break;
    case StepKind::LengthPair: LengthPair(fields, mmPerPixel, decimal); break;
    }
}

} // namespace

CalculationValues Calculate(const LandmarkSheet& sheet, WorkingFields& fields,
                            const std::string& mmPerPixel, char decimal, const PixelSource& picture) {
    CalculationValues values;
    std::size_t next = 0;
    for (const CatalogueStep& step : measurementCatalogue()) {
        const std::vector<Field> reported = reportedFields(step.kind);
        for (Field field : reported) fields[field].clear();
        copyLandmarks(sheet, step.landmarks, fields);
        try {
            runProcedure(step, sheet, fields, mmPerPixel, decimal);
        } catch (const ArithmeticError&) {
            // A failing measurement is skipped and the run goes on; its value stays empty.
        }
        for (Field field : reported) values[next++] = fields[field];
    }
    const auto colours = LandmarkColours(sheet, fields, picture, decimal);
    std::copy(colours.begin(), colours.end(), values.begin() + static_cast<long>(next));
    return values;
}

} // namespace kanat
