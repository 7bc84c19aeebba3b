#include "collection/stored_patches.h"

#include "collection/picture_pyramid.h"

#include <opencv2/core.hpp>

namespace kanat {

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

} // namespace kanat
