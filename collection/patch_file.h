#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kanat {

// One saved wing's landmark neighbourhoods as kept beside the collection, found again by the
// specimen's ID and the key of its TPS text, so that a specimen edited by hand is noticed.
struct PatchEntry {
    std::string id;
    std::uint64_t specimenKey = 0;
    std::string picturePath;          // where the picture was when the patches were cut
    std::vector<std::uint8_t> pixels; // the wing's stored squares (see stored_patches.h)
};

struct PatchFileContent {
    std::vector<PatchEntry> entries;
    bool intact = false; // false: missing, of another version, truncated or damaged somewhere
};

// The patch file of a collection: beside it, its name with ".kanat-patches" added.
std::string patchFilePath(const std::string& collectionPath);

// Whatever sound entries the bytes hold; a damaged entry is skipped, never trusted. Sizes are
// checked before anything is allocated, so a hostile file costs no more than its own length.
PatchFileContent parsePatchFile(std::string_view bytes);
PatchFileContent readPatchFile(const std::string& path);

std::string patchFileHeader();
std::string encodePatchEntry(const PatchEntry& entry);

} // namespace kanat
