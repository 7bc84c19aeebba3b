#include "app/picture_folder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace kanat {
namespace {

// The picture formats the program reads, by the extensions they are saved with.
const QStringList pictureNameFilters{"*.bmp", "*.dib", "*.jpg", "*.jpeg", "*.jpe",
                                     "*.gif", "*.png", "*.tif", "*.tiff", "*.wmf"};

// The digits at `from` as a number text without leading zeros, and where they end.
QStringView digitRun(const QString& text, qsizetype& from) {
    const qsizetype start = from;
    while (from < text.size() && text[from].isDigit()) ++from;
    QStringView run = QStringView(text).mid(start, from - start);
    while (run.size() > 1 && run.front() == u'0') run = run.mid(1);
    return run;
}

} // namespace

bool naturallyBefore(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const QStringView left = digitRun(a, i), right = digitRun(b, j);
            if (left.size() != right.size()) return left.size() < right.size();
            if (const int order = left.compare(right); order != 0) return order < 0;
            continue;
        }
        const QChar left = a[i].toCaseFolded(), right = b[j].toCaseFolded();
        if (left != right) return left < right;
        ++i, ++j;
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b; // the same but for case or leading zeros: any fixed order will do
}

std::optional<QString> neighbourPicture(const QString& current, int step) {
    const QFileInfo file(current);
    QDir folder = file.absoluteDir();
    folder.setNameFilters(pictureNameFilters);
    folder.setFilter(QDir::Files | QDir::Readable);
    QStringList names = folder.entryList();
    std::sort(names.begin(), names.end(), naturallyBefore);
    const QString name = file.fileName();
    if (step > 0) {
        const auto after = std::upper_bound(names.cbegin(), names.cend(), name, naturallyBefore);
        if (after == names.cend()) return std::nullopt;
        return folder.filePath(*after);
    }
    const auto at = std::lower_bound(names.cbegin(), names.cend(), name, naturallyBefore);
    if (at == names.cbegin()) return std::nullopt;
    return folder.filePath(*std::prev(at));
}

bool samePicture(const QString& a, const QString& b) {
    if (a.isEmpty() || b.isEmpty()) return false;
    const QFileInfo first(a), second(b);
    const QString realFirst = first.canonicalFilePath(), realSecond = second.canonicalFilePath();
    if (!realFirst.isEmpty() && !realSecond.isEmpty()) return realFirst == realSecond;
    return first.absoluteFilePath() == second.absoluteFilePath();
}

} // namespace kanat
