#pragma once

#include "collection/collection_text.h"
#include "collection/patch_file.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kanat {

struct CollectionPatches {
    std::vector<PatchEntry> entries;   // one per wing; no pixels when its picture was not found
    std::vector<std::string> warnings; // Turkish, each said once
    std::uintmax_t fileSize = 0;       // of the patch file as it was left
};

// Where some wings' pictures are known to be, by specimen ID (a wing just saved, say).
using PicturesById = std::map<std::string, std::string>;

// The stored squares of every wing, from the patch file beside the collection where it knows
// the wing, otherwise cut from the wing's picture: first where `known` or the patch file last
// saw it, then IMAGE= beside the collection file (or as the full path it gives). The patch file
// is rewritten when it was missing, damaged or out of step with the collection file.
CollectionPatches updatePatchFile(const std::string& collectionPath,
                                  const std::vector<CollectionWing>& wings,
                                  const PicturesById& known = {});

struct PatchFileWrite {
    std::uintmax_t fileSize = 0;
    std::string warning; // Turkish; empty when written
};

// Keeps the last of `entries` (one per wing, a new wing last) in the patch file: appended when
// the file is still the `knownSize` it was left at, otherwise the whole file is written anew.
PatchFileWrite savePatchEntry(const std::string& collectionPath,
                              const std::vector<PatchEntry>& entries, std::uintmax_t knownSize);

} // namespace kanat
