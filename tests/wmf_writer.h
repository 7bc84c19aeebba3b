#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <cstdint>
#include <string>
#include <vector>

namespace kanat::test {

// Writes small Windows metafiles for the tests: a placeable header, the metafile header and
// the records added, in logical units (`unitsPerInch` of them per inch).
class WmfWriter {
public:
    WmfWriter(QRect bounds, int unitsPerInch);

    // Any record: its function number and parameter words, then raw bytes (a bitmap).
    WmfWriter& record(std::uint16_t function, const std::vector<std::int32_t>& words, const std::string& tail = {});
    WmfWriter& window(QRect logical);
    WmfWriter& stretchDib(QRect destination, const QImage& bitmap);
    WmfWriter& dibStretchBlt(QRect destination, const QImage& bitmap);
    WmfWriter& dibBitBlt(QPoint destination, const QImage& bitmap);
    WmfWriter& setDibToDevice(QPoint destination, const QImage& bitmap);
    WmfWriter& solidBrush(QColor colour); // creates and selects it as object `objects_`
    WmfWriter& nullPen();
    WmfWriter& solidPen(QColor colour, int width);
    WmfWriter& rectangle(QRect area);
    WmfWriter& polygon(const std::vector<QPoint>& corners);

    // The whole file; `withEnd` false leaves out the closing record.
    std::string bytes(bool withEnd = true) const;
    // A device-independent bitmap of `image`, 24 bits a pixel, rows bottom up.
    static std::string dib(const QImage& image);
    static std::string placeableHeader(QRect bounds, int unitsPerInch);

private:
    WmfWriter& selectNew(std::uint16_t function, const std::vector<std::int32_t>& words);

    QRect bounds_;
    int unitsPerInch_;
    std::string records_;
    int objects_ = 0;
    std::uint32_t largestRecord_ = 3;
};

} // namespace kanat::test
