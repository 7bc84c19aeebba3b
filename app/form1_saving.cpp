// The save command of the main window: the accumulated result text to the user's file, and one
// record line to 12.txt.
#include "app/form1.h"

#include "results/code_page_1254.h"
#include "results/record_text.h"
#include "results/text_file.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>

#include <cerrno>

namespace kanat {
namespace {

const QString saveFilter = QStringLiteral("text files(*.TXT)|*.txt|");

std::vector<std::string> listLines(const QListWidget& list) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(list.count()));
    for (int i = 0; i < list.count(); ++i) lines.push_back(list.item(i)->text().toStdString());
    return lines;
}

bool folderRefused(int error) { return error == EACCES || error == EPERM || error == EROFS; }

QString reason(int error) { return QString::fromStdString(describeWriteError(error)); }

} // namespace

QString Form1::recordFilePath() const { return QDir(environment_.programFolder).filePath(QStringLiteral("12.txt")); }

void Form1::save() {
    QLineEdit* accumulated = controls_.Text[44];
    accumulated->setText(accumulated->text() + QString::fromStdString(resultBlock(listLines(*controls_.List1))));
    const QString proposal = fileTitle() + QStringLiteral(".txt");
    session_.record.savedImageName = fileTitle().toStdString();

    const QString chosen = dialogs_.saveResults(this, saveFilter, proposal);
    if (!chosen.isEmpty()) {
        const std::string bytes = toCodePage1254(accumulated->text().toStdString() + "\r\n");
        const WriteResult written = replaceWhole(chosen.toStdString(), bytes);
        if (!written.ok())
            dialogs_.warn(this, QStringLiteral("Sonuç dosyası \"%1\" yazılamadı: %2.").arg(chosen, reason(written.error)));
    }
    appendRecord(toCodePage1254(recordLine(session_.record)));
}

bool Form1::appendRecord(const std::string& line) {
    const QString programCopy = recordFilePath();
    const WriteResult written = appendWhole(programCopy.toStdString(), line);
    if (written.ok()) return true;
    if (!folderRefused(written.error) || environment_.userDataFolder.isEmpty()) {
        dialogs_.warn(this, QStringLiteral("Kayıt \"%1\" dosyasına eklenemedi: %2.").arg(programCopy, reason(written.error)));
        return false;
    }
    // The program's folder is closed to us (an installed program): keep the table in the
    // user's own data folder instead, and say so the first time.
    QDir().mkpath(environment_.userDataFolder);
    const QString userCopy = QDir(environment_.userDataFolder).filePath(QStringLiteral("12.txt"));
    const WriteResult fallback = appendWhole(userCopy.toStdString(), line);
    if (!fallback.ok()) {
        dialogs_.warn(this, QStringLiteral("Kayıt \"%1\" dosyasına eklenemedi: %2.").arg(userCopy, reason(fallback.error)));
        return false;
    }
    if (!session_.toldWhereRecordsGo) {
        session_.toldWhereRecordsGo = true;
        dialogs_.inform(this, QStringLiteral("Program klasörüne yazılamadığı için ölçüm kayıtları şu dosyaya "
                                             "ekleniyor:\n%1").arg(userCopy));
    }
    return true;
}

} // namespace kanat
