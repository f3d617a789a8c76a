#include "ScrollBar.h"

#include <QEvent>
#include <QPainter>
#include <QStyleOptionSlider>

namespace platform {

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {}

ScrollBar::LayerKey ScrollBar::KeyOf(const QStyleOptionSlider& option, const QRect& thumb) const {
    return {option.rect.size(), thumb.size(), static_cast<int>(option.state), static_cast<int>(option.direction),
            option.palette.cacheKey(), style(), devicePixelRatioF()};
}

void ScrollBar::changeEvent(QEvent* event) {
    if (event->type() == QEvent::StyleChange) key_.reset();  // a new style may live where the old one did
    QScrollBar::changeEvent(event);
}

// Not under the pointer nor held by it: no hover or pressed part to show.
bool ScrollBar::Idle() const {
    return !underMouse() && !isSliderDown() && QWidget::mouseGrabber() != this;
}

// The given parts of the bar as the style draws them, cut to `area`, on a
// transparent picture at the screen's density.
QImage ScrollBar::Draw(const QStyleOptionSlider& option, QStyle::SubControls parts, const QRect& area) {
    const qreal ratio = devicePixelRatioF();
    QImage picture(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QStyleOptionSlider partial = option;
    partial.subControls = parts;
    partial.styleObject = nullptr;  // a trial drawing must not start the style's animations
    QPainter painter(&picture);
    painter.translate(-area.topLeft());
    ++styleDrawings_;
    style()->drawComplexControl(QStyle::CC_ScrollBar, &partial, &painter, this);
    return picture;
}

// Styles draw the thumb's outline just outside its rectangle.
QRect ScrollBar::ThumbArea(const QStyleOptionSlider& option) const {
    constexpr int kMargin = 2;
    return style()
        ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this)
        .adjusted(-kMargin, -kMargin, kMargin, kMargin);
}

// The kept pictures in the order styles draw the parts: the track, the
// thumb, the arrow buttons (which the thumb's outline may touch).
void ScrollBar::DrawLayers(QPainter& painter, const QStyleOptionSlider& option) const {
    painter.drawImage(0, 0, track_);
    painter.drawImage(ThumbArea(option).topLeft(), thumb_);
    painter.drawImage(0, 0, buttons_);
}

QImage ScrollBar::Compose(const QStyleOptionSlider& option) const {
    QImage picture(track_.size(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(track_.devicePixelRatio());
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    DrawLayers(painter, option);
    painter.end();
    return picture;
}

// The pictures stand for the bar only if, with the thumb at either end of its
// travel, they give exactly what the style draws.
void ScrollBar::MakeLayers(const QStyleOptionSlider& option, const QRect& thumb) {
    QStyleOptionSlider first = option;
    first.sliderPosition = first.sliderValue = option.minimum;
    QStyleOptionSlider last = option;
    last.sliderPosition = last.sliderValue = option.maximum;
    const QStyle::SubControls buttonParts = QStyle::SC_ScrollBarAddLine | QStyle::SC_ScrollBarSubLine;
    const QStyle::SubControls trackParts = QStyle::SubControls(QStyle::SC_All) &
                                           ~(buttonParts | QStyle::SubControls(QStyle::SC_ScrollBarSlider));
    track_ = Draw(first, trackParts, option.rect);
    buttons_ = Draw(first, buttonParts, option.rect);
    thumb_ = Draw(first, QStyle::SC_ScrollBarSlider, ThumbArea(first));
    layered_ = Compose(first) == Draw(first, QStyle::SC_All, option.rect) &&
               Compose(last) == Draw(last, QStyle::SC_All, option.rect);
    if (!layered_) track_ = buttons_ = thumb_ = {};
    key_ = KeyOf(option, thumb);
}

void ScrollBar::paintEvent(QPaintEvent* event) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    option.subControls = QStyle::SC_All;
    const QRect thumb = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    // A thumb that does not fit shows no thumb; the style knows how.
    if (Idle() && thumb.isValid() && option.minimum < option.maximum) {
        if (key_ != KeyOf(option, thumb)) MakeLayers(option, thumb);
        if (layered_) {
            QPainter painter(this);
            DrawLayers(painter, option);
            return;
        }
    }
    ++styleDrawings_;
    QScrollBar::paintEvent(event);
}

}  // namespace platform
