#include "app/picture_browser.h"

#include "app/picture_folder.h"
#include "picture/picture_loader.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

namespace kanat {
namespace {

LoadedPicture read(const QString& path) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    LoadedPicture loaded = loadPicture(path);
    QGuiApplication::restoreOverrideCursor();
    return loaded;
}

QString notOpened(const QString& path, const QString& error) {
    return QStringLiteral("\"%1\" açılamadı: %2.").arg(QDir::toNativeSeparators(path), error);
}

} // namespace

PictureBrowser::PictureBrowser(Dialogs& dialogs, QWidget* window, QString& lastShown)
    : dialogs_(dialogs), window_(window), lastShown_(lastShown) {}

std::optional<PictureBrowser::Opened> PictureBrowser::choose(const QString& filter, const MayLeave& mayLeave) {
    const QString path = dialogs_.openImage(window_, filter, path_.isEmpty() ? lastShown_ : path_);
    if (path.isEmpty()) return std::nullopt;
    // The picture shown, chosen again, is shown again over the same landmarks.
    const bool another = !samePicture(path, path_);
    if (another && !mayLeave(QStringLiteral("başka bir resme"))) return std::nullopt;
    LoadedPicture loaded = read(path);
    if (!loaded.ok()) {
        dialogs_.warn(window_, notOpened(path, loaded.error));
        return std::nullopt;
    }
    return Opened{path, std::move(loaded.image), another, loaded.statedPixelsPerMm};
}

std::optional<PictureBrowser::Opened> PictureBrowser::neighbour(int step, const MayLeave& mayLeave) {
    if (path_.isEmpty()) return std::nullopt;
    std::optional<QString> next = neighbourPicture(path_, step);
    if (!next || !mayLeave(step > 0 ? QStringLiteral("sonraki resme") : QStringLiteral("önceki resme")))
        return std::nullopt;
    QStringList skipped;
    std::optional<Opened> opened;
    while (next) {
        LoadedPicture loaded = read(*next);
        if (loaded.ok()) {
            opened = Opened{*next, std::move(loaded.image), true, loaded.statedPixelsPerMm};
            break;
        }
        skipped << notOpened(*next, loaded.error);
        next = neighbourPicture(*next, step);
    }
    constexpr int namedAtMost = 10;
    if (skipped.size() > namedAtMost)
        skipped = skipped.mid(0, namedAtMost)
                  << QStringLiteral("… ve %1 dosya daha.").arg(skipped.size() - namedAtMost);
    if (!skipped.isEmpty()) dialogs_.warn(window_, skipped.join(QLatin1Char('\n')));
    return opened;
}

void PictureBrowser::show(Opened opened) {
    picture_ = std::move(opened.picture);
    path_ = std::move(opened.path);
    statedPixelsPerMm_ = opened.statedPixelsPerMm;
    lastShown_ = path_;
}

QString PictureBrowser::fileTitle() const { return path_.isEmpty() ? QString() : QFileInfo(path_).fileName(); }

QString PictureBrowser::folder() const { return path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath(); }

} // namespace kanat
