#pragma once

namespace platform {

// The desktop as the program sees it.
class TScreen {
public:
    // The primary screen's width in pixels.
    int Width() const;
};

extern TScreen* Screen;

}  // namespace platform
