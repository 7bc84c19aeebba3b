#pragma once

#include "tools/batch_options.h"

namespace kanat {

// --complete: each specimen of the landmark file with its unplaced landmarks proposed from the
// collection, printed as TPS. Throws InputError or std::runtime_error for what stops it.
int completeLandmarks(const BatchOptions& options);

// --check: one TAB-separated line for each wing of the collection that is out of line with it.
int checkCollection(const BatchOptions& options);

} // namespace kanat
