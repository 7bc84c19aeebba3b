#pragma once

#include "collection/collection_text.h"
#include "collection/stored_patches.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kanat {

// Where some wings' pictures are known to be, by specimen ID (a wing just saved, say).
using PicturesById = std::map<std::string, std::string>;

// The stored squares of a collection's wings, one entry per wing, kept in step with the patch
// file beside the collection file.
class CollectionPatchFile {
public:
    CollectionPatchFile() = default;
    explicit CollectionPatchFile(std::string collectionPath);

    // Every wing's squares, from the patch file where it knows the wing, otherwise cut from the
    // wing's picture: first where `known` or the patch file last saw it, then IMAGE= beside the
    // collection file (or as the full path it gives). The file is written anew when it was
    // missing, damaged or out of step with the wings. Returns Turkish warnings, each said once.
    std::vector<std::string> update(const std::vector<CollectionWing>& wings, const PicturesById& known = {});
    // A newly saved wing's entry joins: appended when the file is still as this left it,
    // otherwise the whole file is written anew. A Turkish warning when it cannot be written.
    std::string add(StoredPatches entry);

    const std::vector<StoredPatches>& entries() const { return entries_; }
    int withPixels() const;

private:
    std::string write(); // the whole file anew

    std::string collectionPath_;
    std::vector<StoredPatches> entries_;
    std::uintmax_t size_ = 0; // of the file as this left it; 0: unknown
};

} // namespace kanat
