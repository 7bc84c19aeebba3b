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
    const RecordAppend record = appendRecordLine(environment_.programFolder.toStdString(),
                                                 environment_.userDataFolder.toStdString(),
                                                 toCodePage1254(recordLine(session_.record)));
    const QString recordFile = QString::fromStdString(record.file);
    if (!record.ok()) {
        dialogs_.warn(this, QStringLiteral("Kayıt \"%1\" dosyasına eklenemedi: %2.").arg(recordFile, reason(record.error)));
        return;
    }
    if (record.inUserFolder && !session_.toldWhereRecordsGo) {
        // The program's folder is closed to us (an installed program): say once where the table is.
        session_.toldWhereRecordsGo = true;
        dialogs_.inform(this, QStringLiteral("Program klasörüne yazılamadığı için ölçüm kayıtları şu dosyaya "
                                             "ekleniyor:\n%1").arg(recordFile));
    }
    appendLandmarks(record.file);
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

void Form1::appendLandmarks(const std::string& recordFile) {
    // The specimen's ID is its record's line number, so the two files can be joined.
    const long lineNumber = countLines(recordFile);
    const char decimal = environment_.decimal;
    const auto view = viewOfPicture();
    const double scale = tpsScale(parseLocale(mmPerPixel_.toStdString(), decimal),
                                  parseLocale(viewScale_.toStdString(), decimal), view.has_value());
    const std::string specimen =
        tpsSpecimen(sourceLandmarks(capture_.sheet(), view), session_.record.savedImageName, lineNumber, scale);
    const std::string tpsFile = tpsFileBeside(recordFile);
    const WriteResult written = appendWhole(tpsFile, toCodePage1254(specimen));
    if (!written.ok()) {
        dialogs_.warn(this, QStringLiteral("Noktalar \"%1\" dosyasına eklenemedi: %2.")
                                .arg(QString::fromStdString(tpsFile), reason(written.error)));
        return;
    }
    addToCollection(tpsFile, specimen);
}

} // namespace kanat
