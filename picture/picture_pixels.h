#pragma once

#include "measure/landmark_colours.h"

#include <QImage>

namespace kanat {

// Colour samples from a picture whose landmarks count y upwards from `baseRow`: a sample at
// (column, row) of the shown picture is the source pixel at (column·scale, row·scale), rounded
// half to even. Outside the picture, or without one, every reading is −1.
class PicturePixels final : public PixelSource {
public:
    PicturePixels(QImage picture, double baseRow, double scale = 1.0);

    double rowOf(double landmarkY) const override;
    std::int32_t colourAt(double column, double row) const override;

private:
    QImage picture_;
    double baseRow_;
    double scale_;
};

} // namespace kanat
