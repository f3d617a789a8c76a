#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace platform {

// A JPEG picture that stays compressed in memory and is decoded once, on the
// first call of Bitmap(), into a 24-bit bitmap kept for the object's life.
//
// Loading reads the header only, so Width() and Height() are known at once.
// Width() and Height() are 0 while nothing is loaded. A load that fails throws
// EInvalidGraphic and leaves the picture as it was. Damage past the header is
// found by Bitmap(), which then throws EInvalidGraphic and keeps no bitmap.
class TJPEGImage {
public:
    TJPEGImage() = default;

    // Takes the bytes of a Qt resource (":/..." path) without copying them;
    // a compressed resource is uncompressed once into memory of our own.
    void LoadFromResource(const QString& path);
    void LoadFromBytes(QByteArray bytes);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // The compressed picture as loaded.
    const QByteArray& Data() const { return data_; }

    // The decoded picture, Format_RGB888, Width() x Height(). Decodes on the
    // first call only; a null image while nothing is loaded.
    const QImage& Bitmap();
    bool IsDecoded() const { return !bitmap_.isNull(); }

private:
    QByteArray data_;
    int width_ = 0;
    int height_ = 0;
    QImage bitmap_;
};

}  // namespace platform
