#pragma once

#include <QString>
#include <optional>

namespace kanat {

// The picture after (`step` 1) or before (`step` −1) `current` among the pictures of its folder,
// in natural order (wing2 before wing10, letter case aside); nothing at either end.
std::optional<QString> neighbourPicture(const QString& current, int step);

// Two names of one picture file (a link, a relative path); never for an empty name.
bool samePicture(const QString& a, const QString& b);

// Natural order of file names: runs of digits compare as numbers, letters without case.
bool naturallyBefore(const QString& a, const QString& b);

} // namespace kanat
