#pragma once

#include <QFrame>
#include <QImage>
#include <QPointF>
#include <optional>
#include <vector>

namespace kanat {

// The visible view of the wing: the source picture scaled into its drawing area, painted only
// where exposed, with the marks of the presses on top. Its drawing is retained: marks stay
// until the drawing is cleared or the picture is painted again.
class WingView : public QFrame {
    Q_OBJECT
public:
    static constexpr int borderWidth = 2;

    explicit WingView(QWidget* parent = nullptr);

    // Resizes the view to `outerSize` (border included) and paints `source` over its whole
    // drawing area; earlier marks are painted over.
    void paintPicture(const QImage& source, QSize outerSize);
    void clearDrawing();
    void drawCircle(QPointF centre);

    QSize drawingSize() const { return contentsRect().size(); }
    const QImage& picture() const { return source_; }
    std::size_t markCount() const { return marks_.size(); }

signals:
    // A press that places a landmark, in drawing-area pixels.
    void pressed(QPointF position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QRect markBounds(QPointF centre) const;
    // A widget position in drawing-area pixels, or nothing on the border.
    std::optional<QPointF> drawingPosition(QPointF widgetPosition) const;

    QImage source_;
    bool painted_ = false;
    std::vector<QPointF> marks_;
};

} // namespace kanat
