// The save command of the main window: the accumulated result text to the user's file, one
// record line to 12.txt and the landmarks to 12.tps beside it.
#include "app/form1.h"

#include "measure/number_text.h"
#include "results/code_page_1254.h"
#include "results/record_files.h"
#include "results/record_text.h"
#include "results/text_file.h"
#include "results/tps_text.h"

#include <QFileInfo>

namespace kanat {
namespace {

const QString saveFilter = QStringLiteral("text files(*.TXT)|*.txt|");

QString reason(int error) { return QString::fromStdString(describeWriteError(error)); }

} // namespace

void Form1::save() {
    accumulatedSaveText_ += resultBlock(capture_.listLines());
    const QString proposal = fileTitle() + QStringLiteral(".txt");
    // The record is named after the picture its values were measured on, even when another one
    // has been opened since.
    MeasurementRecord& record = session_.record;
    record.savedImageName = record.measured ? record.measured->imageName : fileTitle().toStdString();

    const QString chosen = chooseResultFile(proposal);
    if (!chosen.isEmpty()) {
        const std::string bytes = toCodePage1254(accumulatedSaveText_ + "\r\n");
        const WriteResult written = replaceWhole(chosen.toStdString(), bytes);
        if (written.ok())
            lastResultFile_ = QFileInfo(chosen).absoluteFilePath();
        else
            dialogs_.warn(this, QStringLiteral("Sonuç dosyası \"%1\" yazılamadı: %2.").arg(chosen, reason(written.error)));
    }
    const RecordAppend appended = appendRecordLine(environment_.recordFolders(), toCodePage1254(recordLine(record)));
    const QString recordFile = QString::fromStdString(appended.file);
    if (!appended.ok()) {
        dialogs_.warn(this, QStringLiteral("Kayıt \"%1\" dosyasına eklenemedi: %2.").arg(recordFile, reason(appended.error)));
        return;
    }
    if (appended.inUserFolder && !session_.toldWhereRecordsGo) {
        // An installed program keeps no records beside itself: say once where the table is.
        session_.toldWhereRecordsGo = true;
        dialogs_.inform(this, appended.programFolderIsSystem
                                  ? QStringLiteral("Program bir sistem klasöründe (%1) olduğu için ölçüm kayıtları "
                                                   "şu dosyaya ekleniyor:\n%2").arg(environment_.programFolder, recordFile)
                                  : QStringLiteral("Program klasörüne yazılamadığı için ölçüm kayıtları şu dosyaya "
                                                   "ekleniyor:\n%1").arg(recordFile));
    }
    appendLandmarks(appended.file);
}

QString Form1::resultFolder() const {
    // Beside the picture, however it was opened; without one, where the last result file went.
    if (!openedImagePath_.isEmpty()) return QFileInfo(openedImagePath_).absolutePath();
    if (!lastResultFile_.isEmpty()) return QFileInfo(lastResultFile_).absolutePath();
    return {};
}

QString Form1::chooseResultFile(const QString& proposal) {
    QString chosen = dialogs_.saveResults(this, saveFilter, proposal, resultFolder());
    // Another existing file would lose what it holds: its earlier blocks are not in this window's
    // accumulated text. "Hayır" goes back to the dialog.
    while (!chosen.isEmpty() && QFileInfo::exists(chosen) && QFileInfo(chosen).absoluteFilePath() != lastResultFile_ &&
           !dialogs_.ask(this,
                         QStringLiteral("\"%1\" dosyası zaten var. Üzerine yazılırsa içindeki önceki sonuçlar "
                                        "silinir.\nÜzerine yazılsın mı?").arg(chosen),
                         QStringLiteral("Evet"), QStringLiteral("Hayır")))
        chosen = dialogs_.saveResults(this, saveFilter, QFileInfo(chosen).fileName(), QFileInfo(chosen).absolutePath());
    return chosen;
}

void Form1::appendLandmarks(const std::string& recordFile) {
    // The specimen's ID is its record's line number, so the two files can be joined. It holds the
    // landmarks the record's values were measured from; before any calculation, none.
    const long lineNumber = countLines(recordFile);
    const char decimal = environment_.decimal;
    const std::optional<MeasuredWing>& measured = session_.record.measured;
    const double scale = measured ? measured->tpsScale
                                  : tpsScale(parseLocale(mmPerPixel_.toStdString(), decimal),
                                             parseLocale(viewScale_.toStdString(), decimal), viewOfPicture().has_value());
    const std::string specimen = tpsSpecimen(measured ? measured->landmarks : WingLandmarks{},
                                             session_.record.savedImageName, lineNumber, scale);
    const std::string tpsFile = tpsFileBeside(recordFile);
    const WriteResult written = appendWhole(tpsFile, toCodePage1254(specimen));
    if (!written.ok()) {
        dialogs_.warn(this, QStringLiteral("Noktalar \"%1\" dosyasına eklenemedi: %2.")
                                .arg(QString::fromStdString(tpsFile), reason(written.error)));
        return;
    }
    addToCollection(tpsFile, specimen, lineNumber);
}

} // namespace kanat
