#include "collection/landmark_templates.h"

#include "collection/picture_pyramid.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace kanat {
namespace {

cv::Mat standardised(const cv::Mat& square) {
    cv::Mat values;
    square.convertTo(values, CV_32F);
    cv::Scalar mean, spread;
    cv::meanStdDev(values, mean, spread);
    values -= mean[0];
    if (spread[0] > 1e-6) values /= spread[0];
    return values;
}

// The template square of landmark `index` of one wing, turned out of its stored square.
cv::Mat turnedSquare(const CollectionWing& wing, const StoredPatches& patches, std::size_t index,
                     const Similarity& fit) {
    // A header over the stored bytes; OpenCV asks for a pointer it may write, warpAffine does not.
    const cv::Mat stored(storedPatchSide, storedPatchSide, CV_8U,
                         const_cast<std::uint8_t*>(patches.pixels.data() + index * storedPatchBytes));
    // A stored pixel is the wing's centroid size / canonical size in picture pixels.
    const double storedStep = centroidSize(wing.landmarks) / canonicalCentroidSize;
    auto storedOf = [&](double column, double row) {
        const ComplexPoint offset =
            canonicalFrame(fit).linear({column - templateRadius, templateRadius - row}) / storedStep;
        return cv::Point2d(storedPatchRadius + offset.real(), storedPatchRadius - offset.imag());
    };
    return affineSquare(stored, 2 * templateRadius + 1, storedOf);
}

} // namespace

Similarity canonicalFrame(const Similarity& fit) { return {fit.a / canonicalCentroidSize, {}, fit.reflected}; }

std::vector<std::uint8_t> cutStoredPatches(const PicturePyramid& picture, const Configuration& landmarks) {
    const Similarity upright{{centroidSize(landmarks) / canonicalCentroidSize, 0}, {}, false};
    std::vector<std::uint8_t> pixels;
    pixels.reserve(landmarks.size() * storedPatchBytes);
    for (const ComplexPoint landmark : landmarks) {
        const cv::Mat square = samplePatch(picture, landmark, upright, storedPatchRadius);
        for (int row = 0; row < square.rows; ++row)
            pixels.insert(pixels.end(), square.ptr<std::uint8_t>(row), square.ptr<std::uint8_t>(row) + square.cols);
    }
    return pixels;
}

std::vector<cv::Mat> landmarkTemplates(const Configuration& mean, const std::vector<CollectionWing>& wings,
                                       const std::vector<StoredPatches>& patches) {
    const int side = 2 * templateRadius + 1;
    std::vector<cv::Mat> templates;
    int used = 0;
    for (std::size_t w = 0; w < wings.size() && w < patches.size(); ++w) {
        if (patches[w].pixels.size() != mean.size() * storedPatchBytes) continue;
        if (templates.empty())
            for (std::size_t i = 0; i < mean.size(); ++i) templates.push_back(cv::Mat::zeros(side, side, CV_32F));
        const Similarity fit = fitSimilarity(mean, wings[w].landmarks, Reflection::Allowed).map;
        for (std::size_t i = 0; i < mean.size(); ++i)
            templates[i] += standardised(turnedSquare(wings[w], patches[w], i, fit));
        ++used;
    }
    // The match is blind to the template's scale, so a plain sum would serve as well; the mean
    // keeps the numbers readable.
    for (cv::Mat& square : templates) square /= static_cast<double>(used);
    return templates;
}

} // namespace kanat
