#pragma once

#include "collection/stored_patches.h"

#include <cstdint>
#include <istream>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kanat {

// The patch file of a collection: beside it, its name with ".kanat-patches" added.
std::string patchFilePath(const std::string& collectionPath);

// The specimens (ID and key) whose squares a reader keeps; the rest are read past.
using SpecimenKeys = std::set<std::pair<std::string, std::uint64_t>>;

// What a patch file holds: every sound entry, with the squares of the specimens asked for, and
// whether the whole file is (false: missing, of another version, cut short or damaged somewhere).
struct PatchFileContent {
    std::vector<StoredPatches> entries;
    bool intact = false;
};

// Reads entry by entry, skipping (never trusting) a damaged one. Each length is checked before
// anything is allocated, so a hostile file costs no more memory than one entry and what it holds.
PatchFileContent readPatchFile(std::istream& in, const SpecimenKeys& wanted);
PatchFileContent readPatchFile(const std::string& path, const SpecimenKeys& wanted);
PatchFileContent parsePatchFile(std::string_view bytes); // every entry's squares kept

std::string patchFileHeader();
std::string encodePatchEntry(const StoredPatches& entry);

} // namespace kanat
