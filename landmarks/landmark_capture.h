#pragma once

#include <string>

namespace kanat {

// The view's outer height in twips over this fixed divisor puts the base line of y at about
// 97.4 % of the view's height.
inline constexpr double baseLineDivisor = 15.39893;

struct CapturedPoint {
    std::string x;
    std::string y;
};

// A press at (X, Y) in view pixels, Y downwards: x as a single-precision number, y counted
// upwards from h, rounded half to even.
CapturedPoint capturePoint(float pressX, float pressY, double baseHeight, char decimal);

double baseHeightOf(double outerHeightTwips);

// The counter text after one more press.
std::string nextCount(const std::string& counter, char decimal);

} // namespace kanat
