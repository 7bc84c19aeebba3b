#pragma once

#include "measure/number_text.h"

#include <string>

namespace kanat {

// The magnification the photograph was taken at, as the buttons "x0,5", "x2" and "x4" name it.
enum class Magnification { TimesHalf, TimesTwo, TimesFour };

struct MagnificationButton {
    Magnification magnification;
    double viewScale;          // the view's size over the picture's
    Magnification disables[2]; // the buttons it locks, in this order
};

// Each button shows the picture at its scale; the lab's set-up says how large a source pixel is.
inline constexpr MagnificationButton magnificationButtons[] = {
    {Magnification::TimesHalf, 0.5, {Magnification::TimesTwo, Magnification::TimesFour}},
    {Magnification::TimesTwo, 1, {Magnification::TimesHalf, Magnification::TimesFour}},
    {Magnification::TimesFour, 2, {Magnification::TimesHalf, Magnification::TimesTwo}},
};

inline constexpr std::size_t indexOf(Magnification magnification) { return static_cast<std::size_t>(magnification); }

inline constexpr const MagnificationButton& buttonOf(Magnification magnification) {
    return magnificationButtons[indexOf(magnification)];
}

// The view's scale and the millimetres of a view pixel, kept as the texts the window writes them
// as: every use reads the text back, and that round trip decides digits.
struct ScaleTexts {
    std::string viewScale;
    std::string mmPerPixel;

    // Millimetres per view pixel to nine decimals, as they have always been written: with the
    // default 95 pixels a millimetre 0.021052632, 0.010526316 and 0.005263158.
    static ScaleTexts of(const MagnificationButton& button, double pixelsPerMm, char decimal) {
        return {formatGeneral(button.viewScale, decimal),
                formatGeneral(roundHalfEven(1 / (pixelsPerMm * button.viewScale), 9), decimal)};
    }
    double viewScaleValue(char decimal) const { return parseLocale(viewScale, decimal); }
    double mmPerPixelValue(char decimal) const { return parseLocale(mmPerPixel, decimal); }
};

} // namespace kanat
