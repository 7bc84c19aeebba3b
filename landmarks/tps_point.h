#pragma once

namespace kanat {

// A landmark in pixels of the source picture, as TPS files hold it.
struct TpsPoint {
    double x = 0;
    double y = 0; // counted upwards from the picture's bottom edge
};

} // namespace kanat
