// Writes a starting corpus for the fuzzers: a small sound file of every format the loader
// reads, and metafiles that use each kind of record it plays.
#include "tests/picture_corpus.h"
#include "tests/wmf_writer.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>

#include <cstdio>
#include <string>

namespace {

using namespace kanat::test;

void save(const std::string& folder, const std::string& name, const QByteArray& bytes) {
    writeFile(folder + "/" + name, bytes);
}

QByteArray wmf(const WmfWriter& writer) { return QByteArray::fromStdString(writer.bytes()); }

// Progressive JPEGs take another path through the decoder than baseline ones.
QByteArray progressiveJpeg(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds wmf-folder picture-folder\n");
        return 2;
    }
    const std::string wmfFolder = argv[1], pictureFolder = argv[2];
    const QImage small = colourBlocks({12, 8}, 4);
    const QRect area = small.rect(), twips(0, 0, 180, 120);
    const QByteArray metafiles[] = {
        wmf(WmfWriter(area, 96).stretchDib(area, small)),
        wmf(WmfWriter(twips, 1440).window(twips).dibStretchBlt(twips, small)),
        wmf(WmfWriter(area, 96).dibBitBlt({0, 0}, small).setDibToDevice({2, 2}, small)),
        wmf(WmfWriter(twips, 1440)
                .window(twips)
                .solidPen(Qt::red, 15)
                .solidBrush(Qt::blue)
                .rectangle({10, 10, 60, 40})
                .polygon({{0, 0}, {90, 10}, {40, 100}})
                .record(0x0418, {100, 170, 50, 120})
                .record(0x0538, {2, 3, 3, 0, 0, 9, 9, 0, 9, 1, 1, 8, 8, 1, 8})
                .record(0x001E, {})
                .record(0x0214, {5, 5})
                .record(0x0213, {100, 170})
                .record(0x0127, {-1})
                .record(0x061D, {0x21, 0xF0, 20, 20, 0, 0})),
    };
    for (std::size_t i = 0; i < std::size(metafiles); ++i) {
        save(wmfFolder, "seed" + std::to_string(i) + ".wmf", metafiles[i]);
        save(pictureFolder, "seed" + std::to_string(i) + ".wmf", metafiles[i]);
    }
    save(wmfFolder, "no-placeable.wmf", metafiles[1].mid(22));
    save(pictureFolder, "seed.bmp", encoded(small, "bmp"));
    save(pictureFolder, "seed8.bmp", encoded(small.convertToFormat(QImage::Format_Indexed8), "bmp"));
    save(pictureFolder, "seed.png", encoded(small, "png"));
    save(pictureFolder, "seed.jpg", encoded(small, "jpeg"));
    save(pictureFolder, "seed-grey.jpg", encoded(small.convertToFormat(QImage::Format_Grayscale8), "jpeg"));
    save(pictureFolder, "seed-progressive.jpg", progressiveJpeg(small));
    // Resolutions in an EXIF block, in both byte orders, behind a JFIF block without one, and in pHYs.
    const QByteArray aspectOnly = withJfifDensity(encoded(small, "jpeg"), 0, 1);
    const std::vector<TiffField> resolution{{282, 5, {300, 1}}, {283, 5, {300, 1}}, {296, 3, {2}}};
    save(pictureFolder, "seed-exif.jpg", withExif(aspectOnly, tiffStructure(resolution)));
    save(pictureFolder, "seed-exif-mm.jpg", withExif(aspectOnly, tiffStructure(resolution, true)));
    QImage scanned = small;
    scanned.setDotsPerMeterX(94488);
    save(pictureFolder, "seed-phys.png", encoded(scanned, "png"));
    save(pictureFolder, "seed.tif", encoded(small, "tiff"));
    save(pictureFolder, "seed.gif", gif({small, small.mirrored()}));
    return 0;
}
