#pragma once

#include "results/record_files.h"
#include "results/scale_setups.h"

#include <QFileDialog>
#include <QString>
#include <memory>

class QWidget;

namespace kanat {

// What the window asks of the desktop, behind interfaces that tests can answer.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The chosen file, or an empty text when the user cancels. The open dialog starts at the
    // picture shown, the save dialog at the proposed name in `folder` (when given); neither asks
    // before overwriting.
    virtual QString openImage(QWidget* parent, const QString& filter, const QString& shown) = 0;
    virtual QString saveResults(QWidget* parent, const QString& filter, const QString& proposedName,
                                const QString& folder) = 0;
    // A question with two answers; true for `yes`.
    virtual bool ask(QWidget* parent, const QString& question, const QString& yes, const QString& no) = 0;
    virtual void inform(QWidget* parent, const QString& text) = 0;
    virtual void warn(QWidget* parent, const QString& text) = 0;
    // The about box: the text and one button, no icon.
    virtual void about(QWidget* parent, const QString& text) = 0;
    // A passing note beside `near` that asks nothing and takes no press: the user goes on
    // placing landmarks while it shows.
    virtual void note(QWidget* near, const QString& text) = 0;
};

// The real file dialogs and message boxes.
class QtDialogs final : public Dialogs {
public:
    QString openImage(QWidget* parent, const QString& filter, const QString& shown) override;
    QString saveResults(QWidget* parent, const QString& filter, const QString& proposedName,
                        const QString& folder) override;
    bool ask(QWidget* parent, const QString& question, const QString& yes, const QString& no) override;
    void inform(QWidget* parent, const QString& text) override;
    void warn(QWidget* parent, const QString& text) override;
    void about(QWidget* parent, const QString& text) override;
    void note(QWidget* near, const QString& text) override;
};

// The places and the locale the window works with.
struct Environment {
    QString programFolder;  // where 12.txt belongs
    QString userDataFolder; // where it goes for an installed program
    char decimal = '.';     // the user's locale decimal separator
    std::vector<std::string> systemFolders = defaultSystemFolders();
    QString setupsFile = {}; // the user's scale set-ups; none: only the default, kept for this run

    RecordFolders recordFolders() const {
        return {programFolder.toStdString(), userDataFolder.toStdString(), systemFolders};
    }
    static Environment fromSystem();
};

// "desc|pattern|desc|pattern|" filters as Qt's dialogs take them, showing each description as
// it stands and matching its pattern whatever the letter case of the file name.
QStringList dialogNameFilters(const QString& filter);

// The file dialog the window shows, set up but not yet shown; it starts at `startFile`.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, const QString& filter, QFileDialog::AcceptMode mode,
                                            const QString& startFile);

} // namespace kanat
