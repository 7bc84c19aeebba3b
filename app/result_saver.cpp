#include "app/result_saver.h"

#include "results/code_page_1254.h"
#include "results/record_files.h"
#include "results/record_text.h"
#include "results/text_file.h"
#include "results/tps_text.h"

#include <QDir>
#include <QFileInfo>

namespace kanat {
namespace {

const QString saveFilter = QStringLiteral("text files(*.TXT)|*.txt|");

QString reason(int error) { return QString::fromStdString(describeWriteError(error)); }

} // namespace

ResultSaver::ResultSaver(Session& session, Dialogs& dialogs, const Environment& environment, QWidget* window)
    : session_(session), dialogs_(dialogs), environment_(environment), window_(window) {}

std::optional<SavedSpecimen> ResultSaver::save(const std::vector<std::string>& listLines, const QString& shownTitle,
                                               const QString& shownFolder, double scale) {
    accumulatedSaveText_ += resultBlock(listLines);
    const QString proposal = shownTitle + QStringLiteral(".txt");
    // The record is named after the picture its values were measured on, even when another one
    // has been opened since.
    MeasurementRecord& record = session_.record;
    record.savedImageName = record.measured ? record.measured->imageName : shownTitle.toStdString();

    // Beside the picture, however it was opened; without one, where the last result file went.
    const QString folder = !shownFolder.isEmpty()       ? shownFolder
                           : !lastResultFile_.isEmpty() ? QFileInfo(lastResultFile_).absolutePath()
                                                        : QString();
    const QString chosen = chooseResultFile(proposal, folder);
    if (!chosen.isEmpty()) writeResultFile(chosen);

    const RecordAppend appended = appendRecordLine(environment_.recordFolders(), toCodePage1254(recordLine(record)));
    // Shown as the system writes paths: backslashes on Windows.
    const QString recordFile = QDir::toNativeSeparators(QString::fromStdString(appended.file));
    if (!appended.ok()) {
        dialogs_.warn(window_,
                      QStringLiteral("Kayıt \"%1\" dosyasına eklenemedi: %2.").arg(recordFile, reason(appended.error)));
        return std::nullopt;
    }
    if (appended.inUserFolder && !session_.toldWhereRecordsGo) {
        // An installed program keeps no records beside itself: say once where the table is.
        session_.toldWhereRecordsGo = true;
        dialogs_.inform(window_, appended.programFolderIsSystem
                                     ? QStringLiteral("Program bir sistem klasöründe (%1) olduğu için ölçüm kayıtları "
                                                      "şu dosyaya ekleniyor:\n%2")
                                           .arg(QDir::toNativeSeparators(environment_.programFolder), recordFile)
                                     : QStringLiteral("Program klasörüne yazılamadığı için ölçüm kayıtları şu dosyaya "
                                                      "ekleniyor:\n%1")
                                           .arg(recordFile));
    }
    return appendLandmarks(appended.file, scale);
}

QString ResultSaver::chooseResultFile(const QString& proposal, const QString& folder) {
    QString chosen = dialogs_.saveResults(window_, saveFilter, proposal, folder);
    // Another existing file would lose what it holds: its earlier blocks are not in this window's
    // accumulated text. "Hayır" goes back to the dialog.
    while (!chosen.isEmpty() && QFileInfo::exists(chosen) && QFileInfo(chosen).absoluteFilePath() != lastResultFile_ &&
           !dialogs_.ask(window_,
                         QStringLiteral("\"%1\" dosyası zaten var. Üzerine yazılırsa içindeki önceki sonuçlar "
                                        "silinir.\nÜzerine yazılsın mı?")
                             .arg(QDir::toNativeSeparators(chosen)),
                         QStringLiteral("Evet"), QStringLiteral("Hayır")))
        chosen =
            dialogs_.saveResults(window_, saveFilter, QFileInfo(chosen).fileName(), QFileInfo(chosen).absolutePath());
    return chosen;
}

void ResultSaver::writeResultFile(const QString& chosen) {
    const std::string bytes = toCodePage1254(accumulatedSaveText_ + "\r\n");
    const WriteResult written = replaceWhole(chosen.toStdString(), bytes);
    if (written.ok())
        lastResultFile_ = QFileInfo(chosen).absoluteFilePath();
    else
        dialogs_.warn(window_, QStringLiteral("Sonuç dosyası \"%1\" yazılamadı: %2.")
                                   .arg(QDir::toNativeSeparators(chosen), reason(written.error)));
}

std::optional<SavedSpecimen> ResultSaver::appendLandmarks(const std::string& recordFile, double scale) {
    // The specimen's ID is its record's line number, so the two files can be joined. It holds the
    // landmarks the record's values were measured from; before any calculation, none.
    const long lineNumber = countLines(recordFile);
    const std::optional<MeasuredWing>& measured = session_.record.measured;
    const std::string specimen =
        tpsSpecimen(measured ? measured->landmarks : WingLandmarks{}, session_.record.savedImageName, lineNumber,
                    measured ? measured->tpsScale : scale);
    const std::string tpsFile = tpsFileBeside(recordFile);
    const WriteResult written = appendWhole(tpsFile, toCodePage1254(specimen));
    if (!written.ok()) {
        dialogs_.warn(window_,
                      QStringLiteral("Noktalar \"%1\" dosyasına eklenemedi: %2.")
                          .arg(QDir::toNativeSeparators(QString::fromStdString(tpsFile)), reason(written.error)));
        return std::nullopt;
    }
    return SavedSpecimen{tpsFile, specimen, lineNumber};
}

} // namespace kanat
