#pragma once

#include "app/collection_assistant.h"
#include "app/platform_seams.h"
#include "app/session.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace kanat {

// The save command: every result line saved since the window was loaded to the file the user
// chooses, one record line to 12.txt, and the measured wing's landmarks to 12.tps beside it.
class ResultSaver {
public:
    ResultSaver(Session& session, Dialogs& dialogs, const Environment& environment, QWidget* window);

    // Saves with the list as it stands; `shownTitle` and `shownFolder` are of the picture
    // shown, `scale` the millimetres per landmark pixel for a record no calculation has written.
    // Returns the specimen appended to 12.tps, if any.
    std::optional<SavedSpecimen> save(const std::vector<std::string>& listLines, const QString& shownTitle,
                                      const QString& shownFolder, double scale);

    const std::string& accumulatedSaveText() const { return accumulatedSaveText_; }

private:
    QString chooseResultFile(const QString& proposal, const QString& folder);
    void writeResultFile(const QString& chosen);
    std::optional<SavedSpecimen> appendLandmarks(const std::string& recordFile, double scale);

    Session& session_;
    Dialogs& dialogs_;
    const Environment& environment_;
    QWidget* window_;
    // Every block saved since the window was loaded. Held here, not in a hidden line edit,
    // which cuts its text at 32767 characters, a dozen wings' worth.
    std::string accumulatedSaveText_;
    QString lastResultFile_; // the result file this window wrote last: rewriting it asks nothing
};

} // namespace kanat
