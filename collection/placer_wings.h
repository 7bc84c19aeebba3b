#pragma once

#include "collection/collection_text.h"
#include "collection/keypoint_cache.h"
#include "collection/stored_patches.h"
#include "collection/wing_placer.h"

#include <string>
#include <vector>

namespace kanat {

// The collection's wings as the placer uses them: their landmarks, their stored squares (one
// entry per wing, as the collection's patch file keeps them) and their keypoints from the cache, found
// in their pictures where it does not know them: first where the patch file last saw the
// picture, then IMAGE= beside the collection file. A wing whose picture is found nowhere only
// lends its squares.
std::vector<PlacerWing> placerWings(const std::string& collectionPath, const std::vector<CollectionWing>& wings,
                                    const std::vector<StoredPatches>& patches, KeypointCache& cache);

} // namespace kanat
