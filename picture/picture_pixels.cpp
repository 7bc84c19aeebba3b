#include "picture/picture_pixels.h"

#include "measure/arithmetic_error.h"

namespace kanat {

PicturePixels::PicturePixels(QImage picture, double baseRow, double scale)
    : picture_(std::move(picture)), baseRow_(baseRow), scale_(scale) {}

double PicturePixels::rowOf(double landmarkY) const { return checked::sub(baseRow_, landmarkY); }

std::int32_t PicturePixels::colourAt(double column, double row) const {
    if (picture_.isNull()) return -1;
    std::int32_t x = 0;
    std::int32_t y = 0;
    try {
        x = pixelIndex(column * scale_);
        y = pixelIndex(row * scale_);
    } catch (const ArithmeticError&) {
        return -1; // far outside the picture
    }
    if (!picture_.valid(x, y)) return -1;
    const QRgb pixel = picture_.pixel(x, y);
    return qRed(pixel) + 256 * qGreen(pixel) + 65536 * qBlue(pixel);
}

} // namespace kanat
