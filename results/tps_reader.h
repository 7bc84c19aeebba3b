#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kanat {

// One specimen of a TPS file, its coordinates kept as the texts that stand in the file.
struct TpsSpecimen {
    int line = 0; // where its LM= stands
    std::vector<std::pair<std::string, std::string>> landmarks;
    std::string image;
    std::string id;
    std::optional<double> scale;
    std::string comment;
    // Landmarks written as NaN or with both coordinates negative (-1 -1), or not written; their texts
    // stay empty. Where most landmarks have a negative coordinate the data is centred: only -1 -1
    // and NaN are missing there.
    std::vector<int> missing;
};

// True when the first line that is neither blank nor a '#' comment starts with LM=.
bool looksLikeTps(std::string_view content);

// Reads every specimen as the usual writers write them: keyword lines in any case and order
// after the coordinates, '#' comments and blank lines anywhere, curve and outline points skipped.
// A specimen with an IMAGE= but no coordinate line at all is a picture whose landmarks are all
// still to be placed.
// Throws InputError naming the file and line for anything that is not TPS.
std::vector<TpsSpecimen> readTps(std::string_view content, const std::string& fileName);

} // namespace kanat
