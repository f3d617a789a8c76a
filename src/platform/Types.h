#pragma once

#include <climits>
#include <cstdint>
#include <functional>

#include "AnsiString.h"

namespace platform {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Modifier keys and buttons held during a mouse or key event.
enum TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned;

// Colours are 0xRRGGBB; the system colours are resolved against the palette
// of the running desktop when drawn.
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clSystemColor = 0xFF000000;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowText = clSystemColor | 8;

// Coordinates come from a user's file and may lie anywhere in 32 bits; sums
// of them saturate instead of overflowing.
inline int SaturatedSum(long long a, long long b) {
    const long long sum = a + b;
    if (sum > INT32_MAX) return INT32_MAX;
    if (sum < INT32_MIN) return INT32_MIN;
    return static_cast<int>(sum);
}

// A rectangle in pixels; Right and Bottom lie just outside it.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int x, int y) const { return Left <= x && x < Right && Top <= y && y < Bottom; }
    bool Intersects(const TRect& other) const {
        return Left < other.Right && other.Left < Right && Top < other.Bottom && other.Top < Bottom;
    }
    friend bool operator==(const TRect&, const TRect&) = default;
};

struct TFont {
    AnsiString Name = "MS Sans Serif";
    int Height = -11;  // negative: character height in pixels, as stored
    bool Bold = false;
    TColor Color = clWindowText;
    friend bool operator==(const TFont&, const TFont&) = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent =
    std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

}  // namespace platform
