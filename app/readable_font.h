#pragma once

namespace kanat {

// Gives the application a sans serif font of the same size when the one the system offers would
// hide the text of line edits; otherwise leaves it as it is. Call once the application exists.
void keepTextFieldsReadable();

} // namespace kanat
