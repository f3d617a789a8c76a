#pragma once

#include <QEvent>
#include <QObject>
#include <QPaintEvent>
#include <QRegion>
#include <QWidget>

// Collects what the viewport is asked to repaint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) : widget_(widget) { widget->installEventFilter(this); }
    ~PaintRecorder() override { widget_->removeEventFilter(this); }
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == widget_ && event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent*>(event)->region();
            ++paints;
        }
        return false;
    }

private:
    QWidget* widget_;
};
