#include "collection/placement_confidence.h"

#include <algorithm>

namespace kanat {
namespace {

// 0.5 at the bound, 1 at `best`, 0 as far below the bound as best is above; clamped.
double against(double value, double bound, double best) {
    if (best == bound) return value >= bound ? 1.0 : 0.0;
    return std::clamp(0.5 + 0.5 * (value - bound) / (best - bound), 0.0, 1.0);
}

} // namespace

bool needsCheck(const LandmarkEvidence& evidence, const ConfidenceRule& rule) {
    return evidence.correlation < rule.leastCorrelation || evidence.margin < rule.leastMargin ||
           evidence.agreement < rule.leastAgreement || evidence.shapeOffset > rule.mostShapeOffset;
}

double confidenceOf(const LandmarkEvidence& evidence, const ConfidenceRule& rule) {
    return std::min({against(evidence.correlation, rule.leastCorrelation, 1.0),
                     against(evidence.margin, rule.leastMargin, 2 * rule.leastMargin),
                     against(evidence.agreement, rule.leastAgreement, 1.0),
                     against(-evidence.shapeOffset, -rule.mostShapeOffset, 0.0)});
}

} // namespace kanat
