#pragma once

// The scroll bar of a scrolling control. It looks exactly as the style draws
// it; what it saves is the drawing. Styles draw the whole bar, gradients and
// all, on every repaint, and a far scroll moves the thumb of both bars at
// once. So the bar keeps the style's track, thumb and arrow buttons as three
// pictures and a repaint puts the thumb where it now stands. The pictures are
// kept only if, with the thumb at either end of its travel, they give exactly
// what the style draws; styles whose track follows the thumb, and the hover
// and pressed looks, are drawn by the style as usual.

#include <QImage>
#include <QScrollBar>
#include <QStyle>

#include <optional>
#include <tuple>

class QPainter;
class QStyleOptionSlider;

namespace platform {

class ScrollBar : public QScrollBar {
public:
    explicit ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

    // How many times the style was asked to draw part or all of the bar, for
    // tests: a repaint from the kept pictures asks nothing.
    int StyleDrawings() const { return styleDrawings_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Everything the look of the track and thumb depends on, but the thumb's
    // place.
    using LayerKey = std::tuple<QSize, QSize, int, int, qint64, const QStyle*, qreal>;
    LayerKey KeyOf(const QStyleOptionSlider& option, const QRect& thumb) const;

    bool Idle() const;
    QImage Draw(const QStyleOptionSlider& option, QStyle::SubControls parts, const QRect& area);
    QRect ThumbArea(const QStyleOptionSlider& option) const;
    void DrawLayers(QPainter& painter, const QStyleOptionSlider& option) const;
    QImage Compose(const QStyleOptionSlider& option) const;
    void MakeLayers(const QStyleOptionSlider& option, const QRect& thumb);

    int styleDrawings_ = 0;
    std::optional<LayerKey> key_;  // what the pictures were made for; none yet
    bool layered_ = false;         // the pictures proved to give what the style draws
    QImage track_;
    QImage thumb_;
    QImage buttons_;
};

}  // namespace platform
