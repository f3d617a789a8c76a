#pragma once

// The Qt widgets beneath the library's windowed controls. Each turns its Qt
// events into the control's events in one place and draws what the control
// holds; the state itself stays in the control.

#include <QAbstractScrollArea>

namespace platform {

class TScrollingWinControl;
class TForm;

class ScrollArea : public QAbstractScrollArea {
public:
    explicit ScrollArea(TScrollingWinControl& control, QWidget* parent = nullptr);

protected:
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    TScrollingWinControl& control_;
    // What the wheel turned that did not yet make a whole pixel, in 1/120 px.
    QPoint wheelRemainder_;
};

class FormWindow : public ScrollArea {
public:
    explicit FormWindow(TForm& form);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TForm& form_;
};

}  // namespace platform
