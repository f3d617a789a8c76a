// Start-up harness, the reference: a bare Qt window of the given size, from
// process start to its first paint.

#include "FrameProbe.h"

#include <QPainter>

#include <cstdlib>

namespace {

class BareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), palette().window());
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 994;
    const int height = argc > 2 ? std::atoi(argv[2]) : 718;
    BareWindow window;
    window.resize(width, height);
    frameprobe::FirstFrame probe(window, [] { return true; });
    window.show();
    return QApplication::exec();
}
