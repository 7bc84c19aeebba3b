// The save command of the main window: the accumulated result text to the user's file, and one
// record line to 12.txt.
#include "app/form1.h"

#include "measure/number_text.h"
#include "results/code_page_1254.h"
#include "results/record_text.h"
#include "results/text_file.h"
#include "results/tps_text.h"

#include <QDir>
#include <QFileInfo>
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
    accumulatedSaveText_ += resultBlock(listLines(*controls_.List1));
    const QString proposal = fileTitle() + QStringLiteral(".txt");
    session_.record.savedImageName = fileTitle().toStdString();

    const QString chosen = chooseResultFile(proposal);
    if (!chosen.isEmpty()) {
        const std::string bytes = toCodePage1254(accumulatedSaveText_ + "\r\n");
        const WriteResult written = replaceWhole(chosen.toStdString(), bytes);
        if (written.ok())
            lastResultFile_ = QFileInfo(chosen).absoluteFilePath();
        else
            dialogs_.warn(this, QStringLiteral("Sonuç dosyası \"%1\" yazılamadı: %2.").arg(chosen, reason(written.error)));
    }
    if (const auto recordFile = appendRecord(toCodePage1254(recordLine(session_.record))))
        appendLandmarks(*recordFile);
}

QString Form1::chooseResultFile(const QString& proposal) {
    QString chosen = dialogs_.saveResults(this, saveFilter, proposal);
    // Another existing file would lose what it holds: its earlier blocks are not in this window's
    // accumulated text. "Hayır" goes back to the dialog.
    while (!chosen.isEmpty() && QFileInfo::exists(chosen) && QFileInfo(chosen).absoluteFilePath() != lastResultFile_ &&
           !dialogs_.ask(this,
                         QStringLiteral("\"%1\" dosyası zaten var. Üzerine yazılırsa içindeki önceki sonuçlar "
                                        "silinir.\nÜzerine yazılsın mı?").arg(chosen),
                         QStringLiteral("Evet"), QStringLiteral("Hayır")))
        chosen = dialogs_.saveResults(this, saveFilter, chosen);
    return chosen;
}

void Form1::appendLandmarks(const QString& recordFile) {
    // The specimen's ID is its record's line number, so the two files can be joined.
    const long lineNumber = countLines(recordFile.toStdString());
    const char decimal = environment_.decimal;
    const auto view = viewOfPicture();
    const double mmPerViewPixel = parseLocale(mmPerPixel_.toStdString(), decimal);
    const double scale = view ? mmPerViewPixel * parseLocale(viewScale_.toStdString(), decimal) : mmPerViewPixel;
    const std::string specimen =
        tpsSpecimen(sourceLandmarks(landmarkSheet(), view), session_.record.savedImageName, lineNumber, scale);
    const QString tpsFile = QFileInfo(recordFile).dir().filePath(QStringLiteral("12.tps"));
    const WriteResult written = appendWhole(tpsFile.toStdString(), toCodePage1254(specimen));
    if (!written.ok())
        dialogs_.warn(this, QStringLiteral("Noktalar \"%1\" dosyasına eklenemedi: %2.").arg(tpsFile, reason(written.error)));
}

std::optional<QString> Form1::appendRecord(const std::string& line) {
    const QString programCopy = recordFilePath();
    const WriteResult written = appendWhole(programCopy.toStdString(), line);
    if (written.ok()) return programCopy;
    if (!folderRefused(written.error) || environment_.userDataFolder.isEmpty()) {
        dialogs_.warn(this, QStringLiteral("Kayıt \"%1\" dosyasına eklenemedi: %2.").arg(programCopy, reason(written.error)));
        return std::nullopt;
    }
    // The program's folder is closed to us (an installed program): keep the table in the
    // user's own data folder instead, and say so the first time.
    QDir().mkpath(environment_.userDataFolder);
    const QString userCopy = QDir(environment_.userDataFolder).filePath(QStringLiteral("12.txt"));
    const WriteResult fallback = appendWhole(userCopy.toStdString(), line);
    if (!fallback.ok()) {
        dialogs_.warn(this, QStringLiteral("Kayıt \"%1\" dosyasına eklenemedi: %2.").arg(userCopy, reason(fallback.error)));
        return std::nullopt;
    }
    if (!session_.toldWhereRecordsGo) {
        session_.toldWhereRecordsGo = true;
        dialogs_.inform(this, QStringLiteral("Program klasörüne yazılamadığı için ölçüm kayıtları şu dosyaya "
                                             "ekleniyor:\n%1").arg(userCopy));
    }
    return userCopy;
}

} // namespace kanat
