#pragma once

#include <QString>

namespace kanat {

// How well and how fast the collection guides the next wing: proposals on the real wings
// under tests/data/wings (each held out in turn from collections of five), then proposals on a
// 24-megapixel picture with a 200-wing collection and `kanat-hesapla --check` of 10,000 wings.
// Works in `folder`; prints one figure a line as "name: value unit".
void printCollectionFigures(const QString& folder);

} // namespace kanat
