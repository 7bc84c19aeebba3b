// Regenerates the window icon files from kanat.svg and draws the landmark guide picture,
// writing both into the assets folder given on the command line.

#include "ico_file.h"
#include "landmark_guide.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <iostream>

namespace {

QImage render(QSvgRenderer& svg, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    svg.render(&painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool fail(const QString& message) {
    std::cerr << "make_assets: " << message.toStdString() << '\n';
    return false;
}

bool makeIcons(const QDir& assets) {
    QSvgRenderer svg(assets.filePath("kanat.svg"));
    if (!svg.isValid()) return fail("cannot read " + assets.filePath("kanat.svg"));

    for (const int size : {16, 32, 48, 256}) {
        const QString path = assets.filePath(QString("icons/kanat-%1.png").arg(size));
        if (!render(svg, size).save(path, "PNG")) return fail("cannot write " + path);
    }

    // Older Windows desktops pick the 256-colour pictures; newer ones the 32-bit ones.
    std::vector<kanat::IconPicture> pictures;
    for (const int bits : {8, 32})
        for (const int size : {48, 32, 16}) pictures.push_back({render(svg, size), bits});
    const QString ico = assets.filePath("kanat.ico");
    if (!writeFile(ico, kanat::icoFile(pictures))) return fail("cannot write " + ico);
    return true;
}

bool makeGuide(const QDir& assets) {
    const QString path = assets.filePath("landmark-guide.png");
    if (!kanat::landmarkGuide().save(path, "PNG")) return fail("cannot write " + path);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    // Nothing is shown, but drawing text needs a GUI application and its fonts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: make_assets <assets folder>\n";
        return 2;
    }
    const QDir assets(QString::fromLocal8Bit(argv[1]));
    const bool made = (assets.mkpath("icons") || fail("cannot make " + assets.filePath("icons"))) &&
                      makeIcons(assets) && makeGuide(assets);
    return made ? 0 : 1;
}
