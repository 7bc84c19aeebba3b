#include "results/tps_text.h"

#include <cstdio>

namespace kanat {
namespace {

// Five decimals, as digitising programs write them, always with '.'.
std::string coordinate(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.5f", value == 0 ? 0.0 : value);
    std::string text = buffer;
    for (char& c : text)
        if (c == ',') c = '.'; // whatever the C library's locale says
    return text;
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

} // namespace

double tpsScale(double mmPerViewPixel, double viewScale, bool picture) {
    return picture ? mmPerViewPixel * viewScale : mmPerViewPixel;
}

std::string tpsSpecimen(const std::array<std::optional<TpsPoint>, 18>& points, const std::string& image, long id,
                        double scale) {
    std::string text = "LM=18\r\n";
    for (const auto& point : points)
        text += point ? coordinate(point->x) + " " + coordinate(point->y) + "\r\n" : "-1 -1\r\n";
    if (!image.empty()) text += "IMAGE=" + oneLine(image) + "\r\n";
    text += "ID=" + std::to_string(id) + "\r\n";
    char scaleText[64];
    std::snprintf(scaleText, sizeof scaleText, "%.9g", scale);
    std::string scaleLine = scaleText;
    for (char& c : scaleLine)
        if (c == ',') c = '.';
    text += "SCALE=" + scaleLine + "\r\n";
    return text;
}

} // namespace kanat
