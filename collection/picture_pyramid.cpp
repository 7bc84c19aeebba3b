#include "collection/picture_pyramid.h"

#include <QImage>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <bit>
#include <cmath>

namespace kanat {
namespace {

// Halvings stop where a picture is too small to hold a patch.
constexpr int smallestSide = 64;

} // namespace

PicturePyramid pyramidOf(cv::Mat grey) {
    PicturePyramid pyramid;
    pyramid.height = grey.rows;
    pyramid.levels.push_back(std::move(grey));
    while (std::min(pyramid.levels.back().rows, pyramid.levels.back().cols) >= 2 * smallestSide) {
        cv::Mat half;
        cv::pyrDown(pyramid.levels.back(), half);
        pyramid.levels.push_back(std::move(half));
    }
    return pyramid;
}

PicturePyramid pyramidOf(const QImage& picture) {
    if (picture.isNull()) return {};
    if (picture.format() == QImage::Format_Grayscale8) {
        const cv::Mat rows(picture.height(), picture.width(), CV_8U, const_cast<uchar*>(picture.constBits()),
                           static_cast<std::size_t>(picture.bytesPerLine()));
        return pyramidOf(rows.clone());
    }
    // OpenCV's grey is several times quicker than QImage's on a large photograph. The words
    // 0xAARRGGBB lie in memory as the bytes B, G, R, A.
    static_assert(std::endian::native == std::endian::little);
    const QImage colour = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    const cv::Mat pixels(colour.height(), colour.width(), CV_8UC4, const_cast<uchar*>(colour.constBits()),
                         static_cast<std::size_t>(colour.bytesPerLine()));
    cv::Mat grey;
    cv::cvtColor(pixels, grey, cv::COLOR_BGRA2GRAY);
    return pyramidOf(std::move(grey));
}

cv::Mat samplePatch(const PicturePyramid& picture, ComplexPoint centre, const Similarity& frame, int radius) {
    const int side = 2 * radius + 1;
    if (picture.levels.empty()) return cv::Mat(side, side, CV_8U, cv::Scalar(0));
    // The coarsest level whose pixels are still no larger than one pixel of the square.
    const double pixelsPerSample = std::abs(frame.a);
    const int finest = pixelsPerSample >= 2 ? static_cast<int>(std::floor(std::log2(pixelsPerSample))) : 0;
    const int level = std::min(finest, static_cast<int>(picture.levels.size()) - 1);
    const double shrink = std::ldexp(1.0, -level);
    // Picture pixel of the square's pixel (column, row); y turns from up to down.
    auto pixelOf = [&](double column, double row) {
        const ComplexPoint at = centre + frame.linear({column - radius, radius - row});
        return cv::Point2d(at.real() * shrink, (picture.height - at.imag()) * shrink);
    };
    return affineSquare(picture.levels[static_cast<std::size_t>(level)], side, pixelOf);
}

cv::Mat affineSquare(const cv::Mat& source, int side, const std::function<cv::Point2d(double, double)>& sourceOf) {
    const cv::Point2d origin = sourceOf(0, 0);
    const cv::Point2d alongRow = sourceOf(1, 0) - origin;
    const cv::Point2d downColumn = sourceOf(0, 1) - origin;
    const cv::Matx23d toSource(alongRow.x, downColumn.x, origin.x, alongRow.y, downColumn.y, origin.y);
    cv::Mat square;
    cv::warpAffine(source, square, toSource, cv::Size(side, side), cv::INTER_LINEAR | cv::WARP_INVERSE_MAP,
                   cv::BORDER_REPLICATE);
    return square;
}

} // namespace kanat
