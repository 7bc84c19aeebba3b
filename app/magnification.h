#pragma once

#include "measure/number_text.h"

#include <string>

namespace kanat {

// The magnification the photograph was taken at, as the buttons "x0,5", "x2" and "x4" name it.
enum class Magnification { TimesHalf, TimesTwo, TimesFour };

struct MagnificationButton {
    Magnification magnification;
    double viewScale;          // the view's size over the picture's
    double mmPerPixel;         // millimetres per view pixel
    Magnification disables[2]; // the buttons it locks, in this order
};

// Each button shows the picture at its scale; one source pixel stays 0.010526316 mm.
inline constexpr MagnificationButton magnificationButtons[] = {
    {Magnification::TimesHalf, 0.5, 0.021052632, {Magnification::TimesTwo, Magnification::TimesFour}},
    {Magnification::TimesTwo, 1, 0.010526316, {Magnification::TimesHalf, Magnification::TimesFour}},
    {Magnification::TimesFour, 2, 0.005263158, {Magnification::TimesHalf, Magnification::TimesTwo}},
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

    static ScaleTexts of(const MagnificationButton& button, char decimal) {
        return {formatGeneral(button.viewScale, decimal), formatGeneral(button.mmPerPixel, decimal)};
    }
    double viewScaleValue(char decimal) const { return parseLocale(viewScale, decimal); }
    double mmPerPixelValue(char decimal) const { return parseLocale(mmPerPixel, decimal); }
};

} // namespace kanat
