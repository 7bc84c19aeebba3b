#include "picture/wmf_player.h"

#include "picture/picture_errors.h"

namespace kanat {
namespace {

enum Function : std::uint16_t {
    saveDc = 0x001E,
    createPalette = 0x00F7,
    setPolyFillMode = 0x0106,
    restoreDc = 0x0127,
    selectObject = 0x012D,
    dibCreatePatternBrush = 0x0142,
    deleteObject = 0x01F0,
    createPatternBrush = 0x01F9,
    createPenIndirect = 0x02FA,
    createFontIndirect = 0x02FB,
    createBrushIndirect = 0x02FC,
    setWindowOrg = 0x020B,
    setWindowExt = 0x020C,
    offsetWindowOrg = 0x020F,
    lineTo = 0x0213,
    moveTo = 0x0214,
    polygon = 0x0324,
    polyline = 0x0325,
    ellipse = 0x0418,
    rectangle = 0x041B,
    polyPolygon = 0x0538,
    roundRect = 0x061C,
    patBlt = 0x061D,
    createRegion = 0x06FF,
    dibBitBlt = 0x0940,
    dibStretchBlt = 0x0B41,
    setDibToDevice = 0x0D33,
    stretchDib = 0x0F43,
};

constexpr std::uint32_t patternCopy = 0x00F00021;
constexpr std::uint32_t blackness = 0x00000042;
constexpr std::uint32_t whiteness = 0x00FF0062;
constexpr std::size_t savedStateLimit = 1024;
constexpr std::size_t objectLimit = 65536;

QColor colourAt(const WmfRecord& r, qint64 word) {
    return QColor(r.u(word) & 0xFF, r.u(word) >> 8, r.u(word + 1) & 0xFF);
}

Qt::PenStyle penStyle(std::uint16_t style) {
    switch (style & 0x0F) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

QBrush brush(std::uint16_t style, QColor colour, std::uint16_t hatch) {
    constexpr Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                          Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    if (style == 1) return Qt::NoBrush;
    if (style == 2) return QBrush(colour, hatches[std::min<std::uint16_t>(hatch, 5)]);
    return QBrush(colour);
}

// Rectangle, ellipse and the like give bottom, right, top and left, in that order.
QRectF boxAt(const WmfRecord& r, qint64 word) {
    return QRectF(QPointF(r.s(word + 3), r.s(word + 2)), QPointF(r.s(word + 1), r.s(word)));
}

// The parameter words a record must have for its kind; the bitmap records check their own.
qint64 wordsNeeded(std::uint16_t function) {
    switch (function) {
    case restoreDc:
    case setPolyFillMode:
    case selectObject:
    case deleteObject:
    case polygon:
    case polyline:
    case polyPolygon: return 1;
    case setWindowOrg:
    case setWindowExt:
    case offsetWindowOrg:
    case moveTo:
    case lineTo: return 2;
    case createBrushIndirect:
    case rectangle:
    case ellipse: return 4;
    case createPenIndirect: return 5;
    case roundRect:
    case patBlt: return 6;
    default: return 0;
    }
}

} // namespace

WmfPlayer::WmfPlayer(QImage& canvas, QRect window, qint64 byteLimit) : device_(canvas, window), byteLimit_(byteLimit) {}

QString WmfPlayer::play(const WmfRecord& r) {
    if (r.words() < wordsNeeded(r.function)) return pictureError::damaged();
    switch (r.function) {
    case stretchDib:
    case dibStretchBlt:
    case dibBitBlt:
    case setDibToDevice: return playBitmap(r);
    case rectangle:
    case ellipse:
    case roundRect:
    case polygon:
    case polyline:
    case polyPolygon:
    case lineTo:
    case patBlt: return playDrawing(r);
    default: return playState(r);
    }
}

QString WmfPlayer::playState(const WmfRecord& r) {
    switch (r.function) {
    case setWindowOrg: device_.setWindowOrigin(QPointF(r.s(1), r.s(0))); break;
    case setWindowExt: device_.setWindowExtent(QSizeF(r.s(1), r.s(0))); break;
    case offsetWindowOrg: device_.setWindowOrigin(device_.windowOrigin() + QPointF(r.s(1), r.s(0))); break;
    case moveTo: state_.position = QPointF(r.s(1), r.s(0)); break;
    case saveDc: save(); break;
    case restoreDc: restore(r.s(0)); break;
    case setPolyFillMode: state_.fillRule = r.u(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case createPenIndirect: create(WmfPen{colourAt(r, 3), penStyle(r.u(0)), r.s(1)}); break;
    case createBrushIndirect: create(brush(r.u(0), colourAt(r, 1), r.u(3))); break;
    case createFontIndirect:
    case createPalette:
    case createPatternBrush:
    case dibCreatePatternBrush:
    case createRegion: create(std::monostate{}); break;
    case selectObject: select(r.u(0)); break;
    case deleteObject: remove(r.u(0)); break;
    default: break;
    }
    return {};
}

QString WmfPlayer::playDrawing(const WmfRecord& r) {
    QPainterPath path;
    switch (r.function) {
    case rectangle: path.addRect(device_.toDevice(boxAt(r, 0))); break;
    case ellipse: path.addEllipse(device_.toDevice(boxAt(r, 0))); break;
    case roundRect: {
        const QRectF box = device_.toDevice(boxAt(r, 2));
        const QRectF corner = device_.toDevice(QRectF(device_.windowOrigin(), QSizeF(r.s(1), r.s(0))));
        path.addRoundedRect(box, corner.width() / 2, corner.height() / 2);
        break;
    }
    case polygon: return polygons(r, 0, 1, true);
    case polyline: return polygons(r, 0, 1, false);
    case polyPolygon: return polygons(r, 1, r.u(0), true);
    case lineTo: {
        path.moveTo(device_.toDevice(state_.position));
        state_.position = QPointF(r.s(1), r.s(0));
        path.lineTo(device_.toDevice(state_.position));
        return draw(path, false);
    }
    case patBlt: return patternFill(r);
    }
    return draw(path, true);
}

QString WmfPlayer::polygons(const WmfRecord& r, qint64 countsAt, qint64 polygonCount, bool filled) {
    qint64 at = countsAt + polygonCount;
    if (at > r.words()) return pictureError::damaged();
    QPainterPath path;
    path.setFillRule(state_.fillRule);
    for (qint64 i = 0; i < polygonCount; ++i) {
        const qint64 points = r.u(countsAt + i);
        if (at + 2 * points > r.words()) return pictureError::damaged();
        QPolygonF corners;
        corners.reserve(points);
        for (qint64 k = 0; k < points; ++k, at += 2) corners << device_.toDevice(QPointF(r.s(at), r.s(at + 1)));
        path.addPolygon(corners);
        if (filled) path.closeSubpath();
    }
    return draw(path, filled);
}

QString WmfPlayer::patternFill(const WmfRecord& r) {
    const std::uint32_t operation = r.u32(0);
    QBrush fill = state_.brush;
    if (operation == blackness)
        fill = QBrush(Qt::black);
    else if (operation == whiteness)
        fill = QBrush(Qt::white);
    else if (operation != patternCopy)
        return {};
    QPainterPath path;
    path.addRect(device_.toDevice(QRectF(r.s(5), r.s(4), r.s(3), r.s(2))));
    return device_.fill(path, Qt::NoPen, fill) ? QString() : pictureError::tooComplex();
}

QString WmfPlayer::draw(const QPainterPath& shape, bool filled) {
    const QBrush fill = filled ? state_.brush : QBrush(Qt::NoBrush);
    return device_.fill(shape, device_.pen(state_.pen), fill) ? QString() : pictureError::tooComplex();
}

void WmfPlayer::create(Object object) {
    if (!freeSlots_.empty()) {
        objects_[*freeSlots_.begin()] = std::move(object);
        freeSlots_.erase(freeSlots_.begin());
    } else if (objects_.size() < objectLimit) {
        objects_.emplace_back(std::move(object));
    }
}

void WmfPlayer::select(std::uint16_t index) {
    if (index >= objects_.size() || !objects_[index]) return;
    if (const auto* pen = std::get_if<WmfPen>(&*objects_[index])) state_.pen = *pen;
    if (const auto* fill = std::get_if<QBrush>(&*objects_[index])) state_.brush = *fill;
}

void WmfPlayer::remove(std::uint16_t index) {
    if (index >= objects_.size() || !objects_[index]) return;
    objects_[index].reset();
    freeSlots_.insert(index);
}

void WmfPlayer::save() {
    if (saved_.size() >= savedStateLimit) return;
    state_.windowOrigin = device_.windowOrigin();
    state_.windowExtent = device_.windowExtent();
    saved_.push_back(state_);
}

// A negative number counts back from the last saved state, a positive one from the first.
void WmfPlayer::restore(int which) {
    const auto depth = static_cast<int>(saved_.size());
    const int keep = which < 0 ? depth + which : which - 1;
    if (which == 0 || keep < 0 || keep >= depth) return;
    state_ = saved_[static_cast<std::size_t>(keep)];
    saved_.resize(static_cast<std::size_t>(keep));
    device_.setWindowOrigin(state_.windowOrigin);
    device_.setWindowExtent(state_.windowExtent);
}

} // namespace kanat
