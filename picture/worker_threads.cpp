#include "picture/worker_threads.h"

#include <QByteArray>
#include <QtGlobal>

namespace kanat {

void prepareQtForWorkerThreads() {
#ifdef _WIN32
    // Read once, at the first match; a value the user set is left alone.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT")) qputenv("QT_ENABLE_REGEXP_JIT", QByteArray("0"));
#endif
}

} // namespace kanat
