// A tiny X client the program tests run on the test's display:
//   orbe_probe grab FILE    saves a screenshot of the whole screen as PNG
//   orbe_probe clipboard    prints the clipboard's text as UTF-8
// A separate process because a Qt application talks to one display for life,
// while each test starts a display of its own.

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QString>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orbe_probe grab FILE | clipboard\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    if (std::strcmp(argv[1], "grab") == 0 && argc == 3) {
        QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen) return 3;
        const QImage shot = screen->grabWindow(0).toImage();
        return !shot.isNull() && shot.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 4;
    }
    if (std::strcmp(argv[1], "clipboard") == 0 && argc == 2) {
        const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
        std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
        return 0;
    }
    std::fprintf(stderr, "usage: orbe_probe grab FILE | clipboard\n");
    return 2;
}
