#pragma once

#include <QPixmap>

namespace kanat {

// The landmark guide with the number box of `landmark` (1 to 18) ringed; any other number gives
// the guide as it is.
QPixmap guidePointingAt(const QPixmap& guide, int landmark);

} // namespace kanat
