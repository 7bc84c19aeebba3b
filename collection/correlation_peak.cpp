#include "collection/correlation_peak.h"

#include <algorithm>
#include <cmath>

namespace kanat {
namespace {

// The peak's offset from the middle of three scores, by the parabola through them.
double peakOffset(float before, float at, float after) {
    const double curvature = before - 2.0 * at + after;
    return curvature < 0 ? std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5) : 0.0;
}

} // namespace

cv::Point2d subpixelPeak(const cv::Mat& scores, cv::Point peak) {
    cv::Point2d at(peak.x, peak.y);
    if (peak.x > 0 && peak.x + 1 < scores.cols)
        at.x += peakOffset(scores.at<float>(peak.y, peak.x - 1), scores.at<float>(peak),
                           scores.at<float>(peak.y, peak.x + 1));
    if (peak.y > 0 && peak.y + 1 < scores.rows)
        at.y += peakOffset(scores.at<float>(peak.y - 1, peak.x), scores.at<float>(peak),
                           scores.at<float>(peak.y + 1, peak.x));
    return at;
}

float bestAway(const cv::Mat& scores, cv::Point peak, double distance) {
    float best = -1;
    bool any = false;
    for (int row = 0; row < scores.rows; ++row)
        for (int column = 0; column < scores.cols; ++column)
            if (std::hypot(column - peak.x, row - peak.y) >= distance) {
                best = std::max(best, scores.at<float>(row, column));
                any = true;
            }
    return any ? best : scores.at<float>(peak);
}

} // namespace kanat
