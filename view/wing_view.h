#pragma once

#include <QFrame>
#include <QImage>
#include <QPointF>
#include <optional>
#include <vector>

namespace kanat {

// A mark on the view: a press's circle and, for landmarks 1 to 18, its number.
struct ViewMark {
    QPointF centre;
    int number = 0;
    bool doubtful = false; // a proposal worth a look before it is trusted
    bool operator==(const ViewMark&) const = default;
};

// The visible view of the wing: the source picture scaled into its drawing area, painted only
// where exposed, with the marks of the presses on top. Positions are in drawing-area pixels.
class WingView : public QFrame {
    Q_OBJECT
public:
    static constexpr int borderWidth = 2;

    explicit WingView(QWidget* parent = nullptr);

    // Resizes the view to `outerSize` (border included) and paints `source` at `scale` from the
    // drawing area's top left corner; earlier marks are painted over. The picture is drawn at
    // exactly that scale, whatever room the border leaves, so that a view pixel always stands for
    // 1/`scale` source pixels and lengths measured on the view are true.
    void paintPicture(const QImage& source, QSize outerSize, double scale);
    // Shows these marks instead of the ones shown, repainting only what changed.
    void setMarks(std::vector<ViewMark> marks);
    void setNumbersShown(bool shown);
    // Landmarks the collection proposes: marks of their own look, always with their numbers.
    void setProposals(std::vector<ViewMark> proposals);
    // The ends of a known length pressed to set the scale, joined by a line when there are two.
    void setRuler(std::vector<QPointF> ends);

    QSize drawingSize() const { return contentsRect().size(); }
    // View pixels per source pixel of the picture shown (1 before any).
    double pictureScale() const { return scale_; }
    const QImage& picture() const { return source_; }
    std::size_t markCount() const { return marks_.size(); }
    const std::vector<ViewMark>& proposals() const { return proposals_; }
    // Where each proposal's number is drawn, in drawing-area pixels.
    std::vector<QRectF> proposalLabels() const;
    bool numbersShown() const { return numbersShown_; }

signals:
    // A press inside the drawing area, and the second press of a left double click there.
    void pressed(QPointF position, Qt::KeyboardModifiers modifiers);
    void doubleClicked(QPointF position, Qt::KeyboardModifiers modifiers);
    // The pointer moved with a button held, and where the button was let go; both may lie
    // outside the drawing area.
    void dragged(QPointF position);
    void released(QPointF position);
    // The pointer moved over the view (only while mouse tracking is on without a button held).
    void pointerMoved(QPointF position);
    void pointerLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // A mark and where its number stands (an empty box: no number shown).
    struct Labelled {
        ViewMark mark;
        QRectF label;
        bool operator==(const Labelled&) const = default;
    };
    // Numbers stand beside their marks inside the view, clear of numbers placed before them.
    std::vector<Labelled> labelled(const std::vector<ViewMark>& marks, bool numbered, std::vector<QRectF>& taken) const;
    // Lays out the marks' and the proposals' numbers again and repaints what moved.
    void layOut(std::vector<ViewMark> marks, std::vector<ViewMark> proposals);
    QRect bounds(const Labelled& shown) const;
    QRegion changedBetween(const std::vector<Labelled>& before, const std::vector<Labelled>& after) const;
    QPointF inDrawingArea(QPointF widgetPosition) const;
    // A widget position in drawing-area pixels, or nothing on the border.
    std::optional<QPointF> drawingPosition(QPointF widgetPosition) const;

    QImage source_;
    double scale_ = 1;
    bool painted_ = false;
    bool numbersShown_ = false;
    std::vector<ViewMark> marks_;
    std::vector<ViewMark> proposals_;
    std::vector<Labelled> shownMarks_;
    std::vector<Labelled> shownProposals_;
    std::vector<QPointF> ruler_;
};

} // namespace kanat
