#pragma once

#include <QImage>

namespace kanat {

// The landmark guide shown below the view: a forewing, apex left and base right, with the
// numbers 1 to 18 on white boxes beside the vein junctions, and the species underneath.
QImage landmarkGuide();

} // namespace kanat
