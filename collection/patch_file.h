#pragma once

#include <cstdint>
#include <functional>
#include <istream>
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
    std::vector<PatchEntry> entries; // every sound entry; pixels only of those asked for
    bool intact = false; // false: missing, of another version, truncated or damaged somewhere
};

// Which entries' pixels to keep: those of wings still in the collection.
using PatchWanted = std::function<bool(const PatchEntry& entry)>;

// The patch file of a collection: beside it, its name with ".kanat-patches" added.
std::string patchFilePath(const std::string& collectionPath);

// Reads entry by entry, skipping (never trusting) a damaged one. Each length is checked before
// anything is allocated, so a hostile file costs no more memory than one entry and what it holds.
PatchFileContent readPatchFile(std::istream& in, const PatchWanted& wanted);
PatchFileContent readPatchFile(const std::string& path, const PatchWanted& wanted);
PatchFileContent parsePatchFile(std::string_view bytes); // all pixels kept

std::string patchFileHeader();
std::string encodePatchEntry(const PatchEntry& entry);

} // namespace kanat
