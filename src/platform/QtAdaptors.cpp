#include "QtAdaptors.h"

#include "Form.h"
#include "ScrollBar.h"
#include "ScrollingWinControl.h"
#include "StdCtrls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

namespace platform {
namespace {

bool ToMouseButton(Qt::MouseButton button, TMouseButton& result) {
    switch (button) {
        case Qt::LeftButton: result = TMouseButton::mbLeft; return true;
        case Qt::RightButton: result = TMouseButton::mbRight; return true;
        case Qt::MiddleButton: result = TMouseButton::mbMiddle; return true;
        default: return false;
    }
}

TShiftState ToShiftState(const QMouseEvent& event, bool doubleClick) {
    TShiftState shift = 0;
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ShiftModifier) shift |= ssShift;
    if (modifiers & Qt::AltModifier) shift |= ssAlt;
    if (modifiers & Qt::ControlModifier) shift |= ssCtrl;
    const Qt::MouseButtons buttons = event.buttons();
    if (buttons & Qt::LeftButton) shift |= ssLeft;
    if (buttons & Qt::RightButton) shift |= ssRight;
    if (buttons & Qt::MiddleButton) shift |= ssMiddle;
    if (doubleClick) shift |= ssDouble;
    return shift;
}

void ForwardPress(TScrollingWinControl& control, const QWidget& surface, QMouseEvent& event,
                  bool doubleClick) {
    TMouseButton button;
    if (!ToMouseButton(event.button(), button)) return;
    const QPoint at = event.position().toPoint();
    // A press over a child window (the help panel, its border included) is
    // that window's, even when it leaves the press unused and Qt hands it on.
    if (surface.childAt(at)) return;
    control.ClientMouseDown(button, ToShiftState(event, doubleClick), at.x(), at.y());
}

}  // namespace

ScrollArea::ScrollArea(TScrollingWinControl& control, QWidget* parent)
    : QAbstractScrollArea(parent), control_(control) {
    setHorizontalScrollBar(new ScrollBar(Qt::Horizontal));  // takes over the old bar's settings
    setVerticalScrollBar(new ScrollBar(Qt::Vertical));
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setTracking(false);  // the view follows the thumb on release
        bar->setSingleStep(TControlScrollBar::Increment);
    }
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::NoFocus);
}

void ScrollArea::scrollContentsBy(int, int) {
    // Only the user's moves reach here; the control sets the bars itself
    // with their signals blocked. That leaves Qt's own offsets stale, so the
    // deltas may be 0 for a real move: the bars' values are what counts.
    if (horizontalScrollBar()->value() != control_.HorzScrollBar->Position())
        control_.UserScroll(TScrollBarKind::sbHorizontal, horizontalScrollBar()->value());
    if (verticalScrollBar()->value() != control_.VertScrollBar->Position())
        control_.UserScroll(TScrollBarKind::sbVertical, verticalScrollBar()->value());
}

void ScrollArea::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    // Rectangle by rectangle: the box around two small far-apart parts would
    // draw everything between them.
    for (const QRect& rect : event->region())
        control_.PaintClient(painter, TRect{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1});
}

void ScrollArea::mousePressEvent(QMouseEvent* event) {
    ForwardPress(control_, *viewport(), *event, false);
}

void ScrollArea::mouseDoubleClickEvent(QMouseEvent* event) {
    // Each press of a double click is a press.
    ForwardPress(control_, *viewport(), *event, true);
}

void ScrollArea::keyPressEvent(QKeyEvent* event) {
    // The view scrolls by its bars, never by keys a child left unused.
    event->ignore();
}

void ScrollArea::wheelEvent(QWheelEvent* event) {
    // Vertically, or horizontally with Shift (unless the platform already
    // turned the wheel sideways): a notch moves the platform's number of
    // lines, each an arrow step, through the scroll bars' limits.
    QPoint angle = event->angleDelta();
    QPoint pixels = event->pixelDelta();
    if ((event->modifiers() & Qt::ShiftModifier) && angle.x() == 0 && pixels.x() == 0) {
        angle = angle.transposed();
        pixels = pixels.transposed();
    }
    if (pixels.isNull()) {
        wheelRemainder_ += angle * QApplication::wheelScrollLines() * TControlScrollBar::Increment;
        pixels = QPoint(wheelRemainder_.x() / QWheelEvent::DefaultDeltasPerStep,
                        wheelRemainder_.y() / QWheelEvent::DefaultDeltasPerStep);
        wheelRemainder_ -= pixels * QWheelEvent::DefaultDeltasPerStep;
    }
    const auto scroll = [this](TScrollBarKind kind, TControlScrollBar& bar, int by, int& remainder) {
        if (by == 0) return true;
        const int before = bar.Position();
        control_.UserScroll(kind, before - by);  // turned away from the user: towards the top
        if (bar.Position() != before) return true;
        remainder = 0;  // at the limit: nothing is kept for later
        return false;
    };
    const bool horizontal = scroll(TScrollBarKind::sbHorizontal, *control_.HorzScrollBar, pixels.x(),
                                   wheelRemainder_.rx());
    const bool vertical = scroll(TScrollBarKind::sbVertical, *control_.VertScrollBar, pixels.y(),
                                 wheelRemainder_.ry());
    // A view already at its limit leaves the wheel to the window around it.
    event->setAccepted(horizontal && vertical);
}

FormWindow::FormWindow(TForm& form) : ScrollArea(form), form_(form) {}

bool FormWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) form_.WindowActivated();
    return ScrollArea::event(event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    form_.WindowClosed();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    ScrollArea::resizeEvent(event);
    form_.WindowGeometryChanged();
}

void FormWindow::moveEvent(QMoveEvent* event) {
    ScrollArea::moveEvent(event);
    form_.WindowGeometryChanged();
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    // A letter that no focused control took: while a button has the focus it
    // presses the button whose accelerator it is.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::ShiftModifier;
    const QString text = event->text();
    if (modifiers == Qt::NoModifier && text.size() == 1 && text.at(0).isLetterOrNumber() &&
        qobject_cast<QPushButton*>(QApplication::focusWidget()) &&
        form_.DialogChar(text.at(0).toLower().unicode())) {
        event->accept();
        return;
    }
    // The form itself does nothing with keys (no scrolling by arrows, Esc
    // presses nothing).
    event->ignore();
}

}  // namespace platform
