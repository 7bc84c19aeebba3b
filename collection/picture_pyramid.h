#pragma once

#include "collection/procrustes.h"

#include <opencv2/core.hpp>

#include <functional>
#include <vector>

class QImage;

namespace kanat {

// A picture in grey with its successive halvings, finest first, so that a patch of a large
// photograph is read from a level near its own scale. Positions are TPS pixels: x to the
// right, y counted up from the picture's bottom edge.
struct PicturePyramid {
    std::vector<cv::Mat> levels; // 8-bit grey
    double height = 0;           // of the full picture, in pixels
};

PicturePyramid pyramidOf(const QImage& picture);
PicturePyramid pyramidOf(cv::Mat grey);

// A (2·radius+1)² square of the picture whose pixel (column, row) shows the picture point
// centre + frame.linear((column − radius) + i·(radius − row)): the frame turns, scales and
// perhaps mirrors the square. Outside the picture its edge pixels are repeated.
cv::Mat samplePatch(const PicturePyramid& picture, ComplexPoint centre, const Similarity& frame, int radius);

// A side × side square of `source` whose pixel (column, row) is the source pixel at
// sourceOf(column, row), an affine map; read bilinearly, edge pixels repeated outside.
cv::Mat affineSquare(const cv::Mat& source, int side, const std::function<cv::Point2d(double, double)>& sourceOf);

} // namespace kanat
