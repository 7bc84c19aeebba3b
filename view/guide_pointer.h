#pragma once

#include <QPixmap>

#include <vector>

namespace kanat {

// The landmark guide with the number box of `landmark` (1 to 18) ringed (any other number rings
// none) and the boxes of the landmarks marked missing crossed out.
QPixmap guidePointingAt(const QPixmap& guide, int landmark, const std::vector<int>& missing = {});

} // namespace kanat
