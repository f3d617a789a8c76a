#pragma once
#include <QByteArray>
#include <QImage>

namespace mapgen {
// Baseline JPEG, YCbCr without subsampling, one restart per MCU row, at the
// highest quality that keeps the file under 1.45 MB.
QByteArray encodeJpeg(const QImage &image);
}
