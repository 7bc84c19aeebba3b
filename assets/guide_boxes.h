#pragma once

#include <array>

namespace kanat {

// Where the guide picture's number boxes stand, as percentages of its 517 × 169 pixels.
struct GuideNumberBox {
    int number;
    int acrossPercent; // of the picture's width, from the left
    int downPercent;   // of its height, from the top
};

inline constexpr int guideWidth = 517;
inline constexpr int guideHeight = 169;

inline constexpr std::array<GuideNumberBox, 18> guideNumberBoxes{{
    {1, 14, 15},
    {2, 23, 11},
    {3, 27, 11},
    {4, 34, 7},
    {5, 19, 34},
    {6, 27, 35},
    {7, 30, 29},
    {8, 34, 28},
    {9, 41, 24},
    {10, 53, 21},
    {11, 26, 57},
    {12, 43, 56},
    {13, 49, 43},
    {14, 63, 39},
    {15, 91, 22},
    {16, 42, 72},
    {17, 49, 64},
    {18, 64, 52},
}};

} // namespace kanat
