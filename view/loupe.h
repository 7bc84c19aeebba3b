#pragma once

#include <QImage>
#include <QWidget>

#include <vector>

namespace kanat {

// What the view draws over the picture, in source pixels: the presses' circles and the
// proposals' crosses, the loupe drawing them at its own scale.
struct LoupeMarks {
    std::vector<QPointF> circles;
    std::vector<QPointF> crosses;
    double radius = 0; // of a circle, half the arm of a cross
    bool operator==(const LoupeMarks&) const = default;
};

// A magnifying glass beside the pointer: the source picture around one pixel, enlarged with
// nearest neighbours so that every source pixel is a square, with that pixel outlined.
class Loupe final : public QWidget {
    Q_OBJECT
public:
    static constexpr int side = 160;

    explicit Loupe(QWidget* parent);
    // Shows `source` around `sourcePoint` (source pixels), `zoom` screen pixels a source pixel.
    void look(const QImage& source, QPointF sourcePoint, double zoom, LoupeMarks marks);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage source_;
    QPoint pixel_;
    double zoom_ = 1;
    LoupeMarks marks_;
};

} // namespace kanat
