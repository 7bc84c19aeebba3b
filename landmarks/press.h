#pragma once

#include <string>

namespace kanat {

// A position on the view's drawing area, in view pixels, y downwards.
struct ViewPoint {
    double x = 0;
    double y = 0;
    bool operator==(const ViewPoint&) const = default;
};

// One press on the view: where it was (its mark's centre) and its texts as listed and stored.
struct Press {
    ViewPoint at;
    std::string x;
    std::string y;
    bool marked = true;   // its circle is shown; a repaint of the picture covers it
    int landmark = 0;     // the landmark it placed, 1 to 18; 0 after the eighteenth
    bool missing = false; // the landmark is marked as not there: no position, its texts the missing mark
    bool operator==(const Press&) const = default;
};

} // namespace kanat
