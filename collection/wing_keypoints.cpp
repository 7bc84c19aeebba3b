#include "collection/wing_keypoints.h"

#include <opencv2/features2d.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace kanat {
namespace {

// How far around its landmarks a wing is kept, in centroid sizes: a honey bee's wing reaches
// about half of one beyond them at its tip, less elsewhere.
constexpr double wingMargin = 0.6;

} // namespace

cv::Point2d ShrunkPicture::toShrunk(ComplexPoint tps) const {
    return {tps.real() * scaleX + offsetX, (sourceHeight - tps.imag()) * scaleY + offsetY};
}

ComplexPoint ShrunkPicture::toSource(cv::Point2d shrunk) const {
    return {(shrunk.x - offsetX) / scaleX, sourceHeight - (shrunk.y - offsetY) / scaleY};
}

ShrunkPicture shrunkPicture(const PicturePyramid& picture, double scale) {
    ShrunkPicture shrunk;
    if (picture.levels.empty() || !(scale > 0)) return shrunk;
    scale = std::min(scale, 1.0);
    // A halving's pixel j is the finer one's 2j, blurred: level L holds source column 2^L·j.
    const int level =
        std::min(static_cast<int>(std::floor(std::log2(1 / scale))), static_cast<int>(picture.levels.size()) - 1);
    const cv::Mat& source = picture.levels[static_cast<std::size_t>(level)];
    const double step = std::ldexp(1.0, level);
    const double factor = scale * step;
    const cv::Size size(std::max(1, static_cast<int>(std::lround(source.cols * factor))),
                        std::max(1, static_cast<int>(std::lround(source.rows * factor))));
    cv::resize(source, shrunk.grey, size, 0, 0, cv::INTER_AREA);
    // cv::resize puts the centre of shrunk pixel k at (k + ½)/f − ½ of its source.
    const double fx = static_cast<double>(size.width) / source.cols;
    const double fy = static_cast<double>(size.height) / source.rows;
    shrunk.scaleX = fx / step;
    shrunk.offsetX = 0.5 * fx - 0.5;
    shrunk.scaleY = fy / step;
    shrunk.offsetY = 0.5 * fy - 0.5;
    shrunk.sourceWidth = picture.levels.front().cols;
    shrunk.sourceHeight = picture.height;
    return shrunk;
}

ShrunkPicture croppedPicture(const ShrunkPicture& picture, cv::Rect area) {
    area &= cv::Rect(0, 0, picture.grey.cols, picture.grey.rows);
    ShrunkPicture cropped = picture;
    cropped.grey = picture.grey(area).clone();
    cropped.offsetX -= area.x;
    cropped.offsetY -= area.y;
    return cropped;
}

ShrunkPicture mirroredPicture(const ShrunkPicture& picture) {
    ShrunkPicture mirrored = picture;
    // A copied cv::Mat shares its pixels: the flip goes into new ones, or it would turn the
    // original over too.
    mirrored.grey = cv::Mat();
    cv::flip(picture.grey, mirrored.grey, 1);
    mirrored.scaleX = -picture.scaleX;
    mirrored.offsetX = picture.grey.cols - 1 - picture.offsetX;
    return mirrored;
}

cv::Mat sampleShrunk(const ShrunkPicture& picture, ComplexPoint centre, const Similarity& frame, int radius) {
    auto pixelOf = [&](double column, double row) {
        return picture.toShrunk(centre + frame.linear({column - radius, radius - row}));
    };
    return affineSquare(picture.grey, 2 * radius + 1, pixelOf);
}

WingKeypoints findKeypoints(ShrunkPicture picture, const KeypointSettings& settings) {
    WingKeypoints found;
    found.picture = std::move(picture);
    if (found.picture.grey.empty()) return found;
    const cv::Ptr<cv::SIFT> sift = cv::SIFT::create(settings.count, 3, settings.contrast, settings.edge);
    std::vector<cv::KeyPoint> keypoints;
    sift->detectAndCompute(found.picture.grey, cv::noArray(), keypoints, found.descriptors);
    found.points.reserve(keypoints.size());
    for (const cv::KeyPoint& keypoint : keypoints) found.points.push_back(keypoint.pt);
    return found;
}

WingKeypoints collectionWingKeypoints(const PicturePyramid& picture, const Configuration& landmarks,
                                      const KeypointSettings& settings) {
    const double size = centroidSize(landmarks);
    if (!(size > 0)) return {};
    const ShrunkPicture shrunk = shrunkPicture(picture, settings.centroidSize / size);
    double left = shrunk.grey.cols, top = shrunk.grey.rows, right = 0, bottom = 0;
    for (const ComplexPoint landmark : landmarks) {
        const cv::Point2d at = shrunk.toShrunk(landmark);
        left = std::min(left, at.x);
        right = std::max(right, at.x);
        top = std::min(top, at.y);
        bottom = std::max(bottom, at.y);
    }
    const double margin = wingMargin * settings.centroidSize;
    const cv::Rect area(
        cv::Point(static_cast<int>(std::floor(left - margin)), static_cast<int>(std::floor(top - margin))),
        cv::Point(static_cast<int>(std::ceil(right + margin)), static_cast<int>(std::ceil(bottom + margin))));
    return findKeypoints(croppedPicture(shrunk, area), settings);
}

} // namespace kanat
