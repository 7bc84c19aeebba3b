#pragma once

#include "collection/collection_text.h"
#include "collection/keypoint_cache.h"
#include "collection/stored_patches.h"

#include <memory>
#include <string>
#include <vector>

namespace kanat {

// The keypoints of each of the collection's wings (one per wing, none where its picture is found
// nowhere), from the cache where it knows the wing, otherwise found in the wing's picture: first
// where its stored squares were cut, then IMAGE= beside the collection file.
std::vector<std::shared_ptr<const WingKeypoints>> collectionKeypoints(const std::string& collectionPath,
                                                                      const std::vector<CollectionWing>& wings,
                                                                      const std::vector<StoredPatches>& patches,
                                                                      KeypointCache& cache);

} // namespace kanat
