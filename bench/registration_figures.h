#pragma once

#include <QStringList>

namespace kanat {

// How well the collection places all 18 landmarks of a wing with no press (and with landmarks 1
// and 2 placed): each real wing under tests/data/wings held out in turn from collections drawn
// at random from the others, with the wings of `arguments`' first folder (if any) added to the
// draws and also placed on their own against collections of five; then the time on a
// 24-megapixel picture and the wings per second on scans. `arguments` may also hold
// "name=value" settings of the placement (see the source) and "dump=file.csv", where every
// placed landmark's error and evidence is written for calibrating the confidence rule.
void printRegistrationFigures(const QStringList& arguments);

} // namespace kanat
