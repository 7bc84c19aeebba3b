#pragma once

#include "collection/picture_pyramid.h"

#include <opencv2/core.hpp>

#include <cmath>
#include <vector>

namespace kanat {

// Wings are found and first matched at one scale whatever the photograph's: that of a wing
// whose landmarks have this centroid size, about a third of a honey bee wing scanned at 2400 dpi.
// A 24-megapixel photograph then costs what a small scan does.
inline constexpr double registrationCentroidSize = 190;

// How the keypoints of a wing are found; the collection's wings and a new picture must share it.
struct KeypointSettings {
    double centroidSize = registrationCentroidSize; // of the wing in the shrunk picture
    int count = 2000;                               // the strongest are kept
    // Keypoints of low contrast still help: a wing's membrane is pale, its veins thin.
    double contrast = 0.01;
    double edge = 10; // SIFT's edge threshold: larger keeps more points along veins
};

// A picture shrunk for registration, and where its pixels lie in the source picture.
struct ShrunkPicture {
    cv::Mat grey; // 8-bit
    // Shrunk column = source column · scaleX + offsetX, rows alike (source rows counted down
    // from the top); the scales as the rounding of the size left them, scaleX below 0 in a mirror.
    double scaleX = 1, offsetX = 0;
    double scaleY = 1, offsetY = 0;
    double sourceWidth = 0;
    double sourceHeight = 0;

    // Source TPS pixels (y up) to the shrunk picture's pixels (y down, centres at whole numbers),
    // and back.
    cv::Point2d toShrunk(ComplexPoint tps) const;
    ComplexPoint toSource(cv::Point2d shrunk) const;
    double scale() const { return 0.5 * (std::abs(scaleX) + std::abs(scaleY)); }
};

// The picture shrunk by `scale` (at most 1), from the finest halving that is still no smaller.
ShrunkPicture shrunkPicture(const PicturePyramid& picture, double scale);

// The part of the shrunk picture within `area` (in its pixels), which keeps what it shows.
ShrunkPicture croppedPicture(const ShrunkPicture& picture, cv::Rect area);

// The same picture seen in a mirror: the shrunk pixels turned over left to right.
ShrunkPicture mirroredPicture(const ShrunkPicture& picture);

// A (2·radius+1)² square of the shrunk picture around a source point, turned by `frame` as
// samplePatch turns one (frame in source pixels per square pixel).
cv::Mat sampleShrunk(const ShrunkPicture& picture, ComplexPoint centre, const Similarity& frame, int radius);

// What registration knows of one wing's picture: the picture shrunk to the registration scale
// and its SIFT keypoints there.
struct WingKeypoints {
    ShrunkPicture picture;
    std::vector<cv::Point2f> points; // in shrunk pixels
    cv::Mat descriptors;             // CV_32F, one row a point
};

// SIFT keypoints of the shrunk picture.
WingKeypoints findKeypoints(ShrunkPicture picture, const KeypointSettings& settings = {});

// A collection wing's keypoints: its picture shrunk so that its landmarks have the settings'
// centroid size, and cut to the wing around them (the wing reaches about half its centroid
// size beyond its landmarks), so that a photograph of a whole slide keeps no more than a scan.
WingKeypoints collectionWingKeypoints(const PicturePyramid& picture, const Configuration& landmarks,
                                      const KeypointSettings& settings = {});

} // namespace kanat
