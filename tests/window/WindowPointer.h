#pragma once

#include "Unit1.h"

#include <QPoint>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWidget>
#include <QWindow>

// Mouse input as the window system delivers it: through the main window, to
// the widget under the point, or to the one that holds the mouse since its
// press. A double click is press, release, press, release at one point.
namespace pointer {

inline QWindow* MainWindow() { return Form1->Handle()->windowHandle(); }

// A point of a widget in the main window's coordinates.
inline QPoint InWindow(const QWidget* widget, QPoint local) {
    return widget->mapTo(widget->window(), local);
}

// Where map pixel (x, y) lies in the main window at the view's current position.
inline QPoint MapPoint(int x, int y) {
    const QPoint client(x - Form1->ScrollBox1->HorzScrollBar->Position(),
                        y - Form1->ScrollBox1->VertScrollBar->Position());
    return InWindow(Form1->ScrollBox1->ClientHandle(), client);
}

inline void Press(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(MainWindow(), button, Qt::NoModifier, at);
}
inline void Release(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(MainWindow(), button, Qt::NoModifier, at);
}
inline void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(MainWindow(), button, Qt::NoModifier, at);
}
inline void DoubleClick(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseDClick(MainWindow(), button, Qt::NoModifier, at);
}

// The content point (map pixel) where the marker's top-left corner stands.
inline QPoint MarkerOnMap() {
    return {Form1->Marca->Left() + Form1->ScrollBox1->HorzScrollBar->Position(),
            Form1->Marca->Top() + Form1->ScrollBox1->VertScrollBar->Position()};
}

inline QPoint ViewPosition() {
    return {Form1->ScrollBox1->HorzScrollBar->Position(), Form1->ScrollBox1->VertScrollBar->Position()};
}

// Where a part of a scroll bar lies in the bar's own coordinates, as the
// style draws it.
inline QRect ScrollBarPart(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    if (bar->orientation() == Qt::Horizontal) option.state |= QStyle::State_Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

}  // namespace pointer
