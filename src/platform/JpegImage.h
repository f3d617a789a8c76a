#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <future>

namespace platform {

// A JPEG picture that stays compressed in memory and is decoded once, on the
// first call of Bitmap(), into a 24-bit bitmap kept for the object's life.
//
// Loading reads the header only, so Width() and Height() are known at once.
// Width() and Height() are 0 while nothing is loaded. A load that fails throws
// EInvalidGraphic and leaves the picture as it was. Damage past the header is
// found by Bitmap(), which then throws EInvalidGraphic and keeps no bitmap.
//
// DecodeAhead() starts the decode on a worker thread, so that it overlaps
// whatever the caller does next; Bitmap() then waits for it.
class TJPEGImage {
public:
    TJPEGImage() = default;
    ~TJPEGImage();
    TJPEGImage(const TJPEGImage&) = delete;
    TJPEGImage& operator=(const TJPEGImage&) = delete;

    // Takes the bytes of a Qt resource (":/..." path) without copying them;
    // a compressed resource is uncompressed once into memory of our own.
    void LoadFromResource(const QString& path);
    void LoadFromBytes(QByteArray bytes);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // The compressed picture as loaded.
    const QByteArray& Data() const { return data_; }

    // Starts decoding on a worker thread unless the bitmap is there or on
    // its way. Errors wait for Bitmap() to report them.
    void DecodeAhead();

    // The decoded picture, Format_RGB888, Width() x Height(). Decodes on the
    // first call only (or waits for DecodeAhead's decode); a null image while
    // nothing is loaded.
    const QImage& Bitmap();
    bool IsDecoded() const { return !bitmap_.isNull(); }

private:
    // Waits for a decode started ahead and drops its result.
    void DropPendingDecode();

    QByteArray data_;
    int width_ = 0;
    int height_ = 0;
    QImage bitmap_;
    std::future<QImage> pending_;
};

}  // namespace platform
