#pragma once

#include "landmarks/press.h"
#include "landmarks/tps_point.h"
#include "measure/landmark_sheet.h"

#include <array>
#include <optional>

namespace kanat {

// How view positions map onto the source picture: the view shows the picture scaled by
// 1/ratio, the same both ways, and counts landmark y upwards from baseHeight.
struct ViewOfPicture {
    double baseHeight = 0;
    double ratio = 1; // source pixels a view pixel
    double pictureHeight = 0;

    // A view position (y down) in the picture's pixels with y counted up from its bottom edge,
    // as 12.tps holds them, and back.
    TpsPoint toPicture(ViewPoint at) const { return {at.x * ratio, pictureHeight - at.y * ratio}; }
    ViewPoint toView(TpsPoint point) const { return {point.x / ratio, (pictureHeight - point.y) / ratio}; }
    // The view position of a landmark's two fields, whose y counts up from the base height.
    ViewPoint ofSheet(double x, double y) const { return {x, baseHeight - y}; }
};

// The landmarks in pixels of the source picture, y counted upwards from its bottom edge; a
// landmark whose two fields are blank was never placed, one marked missing is not there.
std::array<std::optional<TpsPoint>, landmarkCount> sourceLandmarks(const LandmarkSheet& sheet,
                                                                   const std::optional<ViewOfPicture>& view);

} // namespace kanat
