#include "Screen.h"

#include <QGuiApplication>
#include <QScreen>

namespace platform {

TScreen* Screen = nullptr;

int TScreen::Width() const {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().width() : 0;
}

}  // namespace platform
