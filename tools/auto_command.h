#pragma once

#include "tools/batch_options.h"

namespace kanat {

// --auto: the wing of each picture found and all 18 landmarks placed from the collection, printed
// as TPS in the order the pictures were named, with a summary on standard error. A picture that
// cannot be read or whose wing is not found is named and skipped, and the exit status is 2.
// Throws InputError or std::runtime_error for what stops it.
int placeWings(const BatchOptions& options);

} // namespace kanat
