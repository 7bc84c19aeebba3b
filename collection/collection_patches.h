#pragma once

#include "collection/collection_text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kanat {

struct CollectionPatches {
    std::vector<std::vector<std::uint8_t>>
        pixels;                        // one per wing; empty when its picture was not found
    std::vector<std::string> warnings; // Turkish, each said once
};

// The stored squares of every wing, from the patch file beside the collection where it knows
// the wing, otherwise cut from the wing's picture: first where the patch file last saw it, then
// IMAGE= beside the collection file (or as the full path it gives). The patch file is rewritten
// when it was missing, damaged or out of step with the collection file.
CollectionPatches updatePatchFile(const std::string& collectionPath,
                                  const std::vector<CollectionWing>& wings);

// Appends one wing's squares to the patch file, starting the file when it has no sound header.
// Empty when done, otherwise why not (Turkish).
std::string appendToPatchFile(const std::string& collectionPath, const CollectionWing& wing,
                              const std::vector<std::uint8_t>& pixels,
                              const std::string& picturePath);

// Where IMAGE= points: beside the collection file, or the full path it gives when that exists.
std::string pictureBeside(const std::string& collectionPath, const std::string& image);

} // namespace kanat
