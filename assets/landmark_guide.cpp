#include "landmark_guide.h"

#include "guide_boxes.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <vector>

namespace kanat {
namespace {

constexpr int width = guideWidth;
constexpr int height = guideHeight;
constexpr int photoHeight = 147; // below it, the caption on white

// jN is the vein junction that number N labels, a few pixels off a corner or side of its box.
constexpr QPointF j1{85, 14}, j2{114, 27}, j3{147, 26}, j4{185, 19}, j5{107, 64}, j6{148, 62}, j7{162, 58}, j8{183, 55},
    j9{205, 49}, j10{287, 25}, j11{144, 87}, j12{235, 85}, j13{248, 65}, j14{337, 55}, j15{481, 45}, j16{229, 125},
    j17{263, 116}, j18{343, 96};
constexpr QPointF basalBend{285, 48}; // where the medial vein leaves the basal vein
constexpr QPointF wingBase{511, 44};

struct Vein {
    std::vector<QPointF> points;
    double width;
};

const std::vector<QPointF> outline{
    {511, 37},  {470, 27},  {400, 17},  {300, 8},  {240, 4},  {190, 3},  {130, 6},   {80, 12},
    {40, 23},   {16, 38},   {7, 58},    {15, 80},  {45, 105}, {95, 126}, {160, 138}, {230, 141},
    {290, 135}, {350, 121}, {400, 104}, {450, 83}, {490, 62}, {511, 51},
};

const std::vector<Vein> veins{
    {{wingBase, {470, 29}, {400, 19}, {300, 10}, {240, 6}}, 2.6}, // costa
    {{wingBase, j15, {420, 33}, j10, {240, 15}}, 2.2},            // subcosta and radius
    {{{196, 17}, j4, j3, j2, {95, 22}, j1}, 1.5},                 // radial sector
    {{{240, 6}, {160, 6}, {110, 9}, j1}, 1.2},                    // marginal cell, front
    {{j4, j9}, 1.3},                                              // first cross-vein
    {{j3, j6}, 1.3},                                              // second cross-vein
    {{j2, j5}, 1.3},                                              // third cross-vein
    {{j10, basalBend, j13}, 1.7},                                 // basal vein
    {{basalBend, {240, 48}, j9, j8, j7, j6, j5, {70, 70}}, 1.5},  // media
    {{j15, {420, 50}, j14, j13}, 2.0},                            // media and cubitus
    {{j13, j12, {190, 86}, j11, {100, 89}}, 1.6},                 // cubitus
    {{j8, j12}, 1.3},                                             // first recurrent vein
    {{j7, j11}, 1.3},                                             // second recurrent vein
    {{j14, j18}, 1.4},                                            // cubito-anal cross-vein
    {{{505, 55}, {430, 76}, j18, j17, {215, 130}}, 1.6},          // anal vein
    {{j12, j16}, 1.3},                                            // cubital branch
    {{j17, {300, 133}}, 1.0},                                     // second anal vein
};

// Faint continuations of the veins into the apical membrane, as on a real wing.
const std::vector<Vein> spectralVeins{
    {{{70, 70}, {35, 80}}, 1.0},
    {{{100, 89}, {55, 100}}, 1.0},
    {{j1, {45, 32}}, 0.9},
};

// A smooth curve through the points (Catmull-Rom, drawn as cubic Bézier pieces).
QPainterPath curveThrough(const std::vector<QPointF>& points, bool closed = false) {
    QPainterPath path(points.front());
    const int n = int(points.size());
    const auto at = [&](int i) {
        if (closed) return points[size_t((i + n) % n)];
        return points[size_t(std::clamp(i, 0, n - 1))];
    };
    for (int i = 0; i < (closed ? n : n - 1); ++i) {
        const QPointF c1 = at(i) + (at(i + 1) - at(i - 1)) / 6;
        const QPointF c2 = at(i + 1) - (at(i + 2) - at(i)) / 6;
        path.cubicTo(c1, c2, at(i + 1));
    }
    return path;
}

// The apex is smoky dark brown; the rest of the membrane is pale amber.
QBrush membrane() {
    QLinearGradient gradient(0, 0, width, 80); // its edge leans with the cross-veins
    gradient.setColorAt(0.0, QColor(0x3a, 0x24, 0x16));
    gradient.setColorAt(0.17, QColor(0x4a, 0x2e, 0x1a));
    gradient.setColorAt(0.25, QColor(0xb8, 0x8a, 0x4c));
    gradient.setColorAt(0.31, QColor(0xe4, 0xc5, 0x86));
    gradient.setColorAt(1.0, QColor(0xee, 0xd9, 0xa6));
    return gradient;
}

// Veins darken where they cross the smoky apex.
QBrush veinColour() {
    QLinearGradient gradient(0, 0, width, 0);
    gradient.setColorAt(0.0, QColor(0x1c, 0x10, 0x08));
    gradient.setColorAt(0.2, QColor(0x26, 0x16, 0x0b));
    gradient.setColorAt(0.3, QColor(0x70, 0x45, 0x20));
    gradient.setColorAt(1.0, QColor(0x7a, 0x4c, 0x22));
    return gradient;
}

// A slide-grey ground rather than white, so that only the number boxes are white.
void drawBackground(QPainter& painter) {
    painter.fillRect(0, 0, width, height, Qt::white);
    QLinearGradient slide(0, 0, 0, photoHeight);
    slide.setColorAt(0, QColor(0xe6, 0xe5, 0xe0));
    slide.setColorAt(1, QColor(0xd6, 0xd5, 0xcf));
    painter.fillRect(0, 0, width, photoHeight, slide);
}

void drawWing(QPainter& painter) {
    const QPainterPath wing = curveThrough(outline, true);
    painter.setPen(QPen(QColor(0x8a, 0x6a, 0x40), 1.0));
    painter.setBrush(membrane());
    painter.drawPath(wing);

    painter.setBrush(Qt::NoBrush);
    for (const Vein& vein : spectralVeins) {
        painter.setPen(QPen(QColor(0x14, 0x0b, 0x06, 0x90), vein.width, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(curveThrough(vein.points));
    }
    for (const Vein& vein : veins) {
        painter.setPen(QPen(veinColour(), vein.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(curveThrough(vein.points));
    }

    const std::vector<QPointF> stigma{{190, 5}, {242, 5}, {246, 9}, {238, 16}, {196, 18}};
    painter.setPen(QPen(QColor(0x3a, 0x22, 0x10), 1.0));
    painter.setBrush(QColor(0x6e, 0x42, 0x1e));
    painter.drawPath(curveThrough(stigma, true));

    // The sclerites of the wing base, cut by the picture's edge.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x3a, 0x26, 0x16));
    painter.drawEllipse(QPointF(514, 44), 7, 10);
}

void drawNumberBoxes(QPainter& painter) {
    QFont font("DejaVu Sans");
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    for (const GuideNumberBox& box : guideNumberBoxes) {
        const QString text = QString::number(box.number);
        const QSizeF size(metrics.horizontalAdvance(text) + 4, 11);
        const QPointF centre(box.acrossPercent * width / 100.0, box.downPercent * height / 100.0);
        const QRectF rect(centre - QPointF(size.width() / 2, size.height() / 2), size);
        painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.0));
        painter.setBrush(Qt::white);
        painter.drawRect(rect);
        painter.setPen(Qt::black);
        painter.drawText(rect, Qt::AlignCenter, text);
    }
}

void drawCaption(QPainter& painter) {
    QFont species("DejaVu Sans Mono");
    species.setStyleHint(QFont::TypeWriter);
    species.setPixelSize(12);
    species.setItalic(true);
    QFont authority = species;
    authority.setItalic(false);

    const QString name = "Sphex maxillosus";
    const QString author = " (Fabricius, 1793)";
    const int textWidth =
        QFontMetrics(species).horizontalAdvance(name) + QFontMetrics(authority).horizontalAdvance(author);
    const int baseline = photoHeight + 15;
    int x = (width - textWidth) / 2;
    painter.setPen(Qt::black);
    painter.setFont(species);
    painter.drawText(x, baseline, name);
    x += QFontMetrics(species).horizontalAdvance(name);
    painter.setFont(authority);
    painter.drawText(x, baseline, author);
}

} // namespace

QImage landmarkGuide() {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawBackground(painter);
    drawWing(painter);
    drawNumberBoxes(painter);
    drawCaption(painter);
    painter.end();
    return image;
}

} // namespace kanat
