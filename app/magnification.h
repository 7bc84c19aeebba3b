#pragma once

namespace kanat {

// The magnification the photograph was taken at, as the buttons "x0,5", "x2" and "x4" name it.
enum class Magnification { TimesHalf, TimesTwo, TimesFour };

struct MagnificationButton {
    Magnification magnification;
    int button;              // Command4 … Command6
    double viewScale;        // the view's size over the picture's
    double mmPerPixel;       // millimetres per view pixel
    int disables[2];         // the buttons it locks, in this order
};

// Each button shows the picture at its scale; one source pixel stays 0.010526316 mm.
inline constexpr MagnificationButton magnificationButtons[] = {
    {Magnification::TimesHalf, 4, 0.5, 0.021052632, {5, 6}},
    {Magnification::TimesTwo, 5, 1, 0.010526316, {4, 6}},
    {Magnification::TimesFour, 6, 2, 0.005263158, {4, 5}},
};

inline constexpr const MagnificationButton& buttonOf(Magnification magnification) {
    return magnificationButtons[static_cast<int>(magnification)];
}

} // namespace kanat
