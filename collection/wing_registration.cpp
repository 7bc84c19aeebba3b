#include "collection/wing_registration.h"

#include <opencv2/calib3d.hpp>
#include <opencv2/features2d.hpp>

#include <cmath>

namespace kanat {
namespace {

double rmsDistance(const Configuration& a, const Configuration& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::norm(a[i] - b[i]);
    return std::sqrt(sum / static_cast<double>(a.size()));
}

bool inside(ComplexPoint point, double width, double height) {
    return point.real() >= 0 && point.real() <= width && point.imag() >= 0 && point.imag() <= height;
}

} // namespace

std::optional<RegistrationCandidate> registerWing(const WingKeypoints& wing, const Configuration& wingLandmarks,
                                                  const WingKeypoints& picture, const RegistrationLimits& limits) {
    if (wing.descriptors.rows < 2 || picture.descriptors.rows < 2) return std::nullopt;
    cv::BFMatcher matcher(cv::NORM_L2);
    std::vector<std::vector<cv::DMatch>> matches;
    matcher.knnMatch(wing.descriptors, picture.descriptors, matches, 2);
    std::vector<cv::Point2f> from, to;
    for (const auto& pair : matches) {
        if (pair.size() < 2 || pair[0].distance >= limits.ratio * pair[1].distance) continue;
        from.push_back(wing.points[static_cast<std::size_t>(pair[0].queryIdx)]);
        to.push_back(picture.points[static_cast<std::size_t>(pair[0].trainIdx)]);
    }
    if (static_cast<int>(from.size()) < limits.fewestInliers) return std::nullopt;
    std::vector<std::uint8_t> inlying;
    const cv::Mat map =
        cv::estimateAffinePartial2D(from, to, inlying, cv::RANSAC, limits.ransacDistance, 2000, 0.99, 10);
    if (map.empty()) return std::nullopt;
    const int inliers = cv::countNonZero(inlying);
    const cv::Matx23d m(map);
    const double scale = std::hypot(m(0, 0), m(1, 0));
    if (inliers < limits.fewestInliers || !(scale >= limits.smallestScale) || !(scale <= limits.largestScale))
        return std::nullopt;
    RegistrationCandidate candidate{{}, inliers};
    for (const ComplexPoint landmark : wingLandmarks) {
        const cv::Point2d at = wing.picture.toShrunk(landmark);
        const ComplexPoint placed = picture.picture.toSource(
            {m(0, 0) * at.x + m(0, 1) * at.y + m(0, 2), m(1, 0) * at.x + m(1, 1) * at.y + m(1, 2)});
        // A similarity of few matches can fold the wing onto a spot or carry it off the picture.
        if (!inside(placed, picture.picture.sourceWidth, picture.picture.sourceHeight)) return std::nullopt;
        candidate.landmarks.push_back(placed);
    }
    return candidate;
}

std::optional<Consensus> consensusOf(const std::vector<RegistrationCandidate>& candidates, double tolerance) {
    std::optional<Consensus> best;
    for (const RegistrationCandidate& centre : candidates) {
        Consensus group{Configuration(centre.landmarks.size()), 0, 0};
        const double reach = tolerance * centroidSize(centre.landmarks);
        for (const RegistrationCandidate& other : candidates) {
            if (rmsDistance(centre.landmarks, other.landmarks) > reach) continue;
            group.inliers += other.inliers;
            ++group.wings;
            for (std::size_t i = 0; i < other.landmarks.size(); ++i)
                group.landmarks[i] += static_cast<double>(other.inliers) * other.landmarks[i];
        }
        if (best && group.inliers <= best->inliers) continue;
        for (ComplexPoint& point : group.landmarks) point /= static_cast<double>(group.inliers);
        best = std::move(group);
    }
    return best;
}

} // namespace kanat
