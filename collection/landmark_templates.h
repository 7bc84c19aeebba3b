#pragma once

#include "collection/collection_text.h"
#include "collection/picture_pyramid.h"
#include "collection/stored_patches.h"

namespace kanat {

// The stored squares of a wing's landmarks, cut from its picture.
std::vector<std::uint8_t> cutStoredPatches(const PicturePyramid& picture, const Configuration& landmarks);

// The frame of a wing's canonical squares: one step is 1/canonicalCentroidSize of the mean
// shape mapped onto the wing by `fit`.
Similarity canonicalFrame(const Similarity& fit);

// What each landmark's neighbourhood looks like across the wings, seen in the mean shape's frame:
// the average of the wings' squares, each turned by its own fit onto the mean and brought to
// mean 0 and spread 1. Float squares of side 2·templateRadius+1; empty without wings.
// `patches` holds one entry per wing of `wings`; wings without squares are left out.
std::vector<cv::Mat> landmarkTemplates(const Configuration& mean, const std::vector<CollectionWing>& wings,
                                       const std::vector<StoredPatches>& patches);

} // namespace kanat
