#pragma once

#include <QImage>
#include <QWidget>

namespace kanat {

// A magnifying glass beside the pointer: the source picture around one pixel, enlarged with
// nearest neighbours so that every source pixel is a square, with that pixel outlined.
class Loupe final : public QWidget {
    Q_OBJECT
public:
    static constexpr int side = 160;

    explicit Loupe(QWidget* parent);
    // Shows `source` around `sourcePoint` (source pixels), `zoom` screen pixels a source pixel.
    void look(const QImage& source, QPointF sourcePoint, double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage source_;
    QPoint pixel_;
    double zoom_ = 1;
};

} // namespace kanat
