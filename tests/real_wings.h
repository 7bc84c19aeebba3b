#pragma once

#include "collection/wing_collection.h"
#include "landmarks/tps_point.h"
#include "measure/landmark_sheet.h"

#include <QImage>

#include <array>
#include <string>
#include <vector>

namespace kanat::test {

// One of the real honey bee wings under tests/data/wings, with its expert's first 18 landmarks
// in TPS pixels (y counted up from the picture's bottom edge).
struct RealWing {
    std::string fileName;
    std::string path;
    QImage picture;
    std::array<TpsPoint, landmarkCount> landmarks;
};

// The wings of a folder, in file-name order; by default the project's ten.
std::vector<RealWing> realWings(const std::string& folder);

// The wing as the window appends it to 12.tps, with ID `id`.
std::string tpsSpecimenOf(const RealWing& wing, long id);

// The wing with only the given landmarks (1 to 18) placed.
WingLandmarks placedOf(const RealWing& wing, const std::vector<int>& landmarks);

// How far each proposal lies from the expert's landmark, in pixels, smallest first.
std::vector<double> errorsOf(const std::vector<LandmarkProposal>& proposals, const RealWing& wing);

// A collection as the window leaves it: the wings' pictures copied into `folder` and their
// specimens in `folder`/12.tps, with IDs 1, 2, …; returns the path of 12.tps.
std::string writeCollection(const std::string& folder, const std::vector<RealWing>& wings);

} // namespace kanat::test
