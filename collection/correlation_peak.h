#pragma once

#include <opencv2/core.hpp>

namespace kanat {

// The peak of a map of correlation scores (CV_32F) to a fraction of a pixel, by the parabola
// through it and its neighbours in each direction.
cv::Point2d subpixelPeak(const cv::Mat& scores, cv::Point peak);

// The best score at least `distance` from the peak; the peak's own when there is none: how
// clearly the peak stands out.
float bestAway(const cv::Mat& scores, cv::Point peak, double distance);

} // namespace kanat
