#pragma once

class QCoreApplication;

namespace kanat {

// Loads Qt's own Turkish texts (dialogs, message box buttons, context menus) into the
// application, whatever the user's locale: the program speaks Turkish throughout. False when
// the translation is not installed.
bool installQtTurkish(QCoreApplication& application);

} // namespace kanat
