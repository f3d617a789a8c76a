#include "ExtCtrls.h"

#include "JpegImage.h"
#include "StoredValues.h"

#include <QJsonObject>
#include <QPainter>

#include <algorithm>

namespace platform {

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {}

TImage::~TImage() = default;

void TImage::LoadPicture(const QString& resource) {
    auto picture = std::make_unique<TJPEGImage>();
    picture->LoadFromResource(resource);
    // A picture loaded into an image is there to be shown: its decode runs
    // while the rest of the window is built, and the first paint waits for it.
    picture->DecodeAhead();
    picture_ = std::move(picture);
    Invalidate();
}

void TImage::Paint(QPainter& painter, const TRect& area) {
    if (!picture_) return;
    // Only the part being repainted is drawn; the bitmap, decoded once, is
    // kept.
    const QImage& bitmap = picture_->Bitmap();
    const QRect source = QRect(area.Left, area.Top, area.Width(), area.Height()) & bitmap.rect();
    // Map pixels stay sharp when the screen scales them: each becomes a block
    // of device pixels, never a blend of its neighbours.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (source.isEmpty()) return;
    // Qt splits a drawing of 96 rows or more across its thread pool, and the
    // hand-offs cost more than the drawing: the part is drawn in bands.
    constexpr int kBandRows = 64;
    for (int top = source.top(); top <= source.bottom(); top += kBandRows) {
        const QRect band(source.left(), top, source.width(), std::min(kBandRows, source.bottom() + 1 - top));
        painter.drawImage(band.topLeft(), bitmap, band);
    }
}

bool TImage::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("Picture")) {
        const QJsonObject picture = value.toObject();
        if (picture.value(QLatin1String("Class")).toString() != QLatin1String("TJPEGImage"))
            throw ELayoutError("Stored property Picture must hold a TJPEGImage");
        LoadPicture(picture.value(QLatin1String("Resource")).toString());
        return true;
    }
    // Natural size from the top-left corner is the only way it draws.
    static const char* const kDrawingSwitches[] = {"Stretch", "Center", "Proportional", "Transparent",
                                                   "AutoSize"};
    for (const char* setting : kDrawingSwitches) {
        if (name != QLatin1String(setting)) continue;
        if (StoredBool(name, value)) throw ELayoutError(name.toStdString() + " is not supported");
        return true;
    }
    return TGraphicControl::SetStoredProperty(name, value);
}

TShape::TShape(TComponent* owner) : TGraphicControl(owner) {}

void TShape::Paint(QPainter& painter, const TRect&) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(QColor::fromRgb(brushColor_));
    QPen pen(QColor::fromRgb(penColor_));
    pen.setWidth(penWidth_);
    painter.setPen(penWidth_ > 0 ? pen : QPen(Qt::NoPen));
    // Inset by half the pen and sized to the control less the pen plus one,
    // so a 1-pixel outline touches all four sides of the square. Qt's outline
    // of a w x h rectangle covers w + 1 x h + 1 pixels, hence the - 1.
    const int inset = penWidth_ / 2;
    const int extent = std::min(Width(), Height()) - penWidth_ + 1;
    const int width = (shape_ == TShapeType::stCircle ? extent : Width() - penWidth_ + 1) - 1;
    const int height = (shape_ == TShapeType::stCircle ? extent : Height() - penWidth_ + 1) - 1;
    const int left = inset + (shape_ == TShapeType::stCircle ? (Width() - extent) / 2 : 0);
    const int top = inset + (shape_ == TShapeType::stCircle ? (Height() - extent) / 2 : 0);
    if (shape_ == TShapeType::stCircle)
        painter.drawEllipse(left, top, width, height);
    else
        painter.drawRect(left, top, width, height);
}

bool TShape::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("Shape")) {
        const AnsiString shape = StoredText(name, value);
        if (shape == "stCircle")
            shape_ = TShapeType::stCircle;
        else if (shape == "stRectangle")
            shape_ = TShapeType::stRectangle;
        else
            throw ELayoutError("Unknown shape " + shape);
    } else if (name == QLatin1String("Brush") || name == QLatin1String("Pen")) {
        // A misspelt setting is an error, never silently dropped.
        if (!value.isObject()) throw ELayoutError("Stored property " + name.toStdString() + " must be an object");
        const bool pen = name == QLatin1String("Pen");
        const QJsonObject settings = value.toObject();
        for (auto it = settings.begin(); it != settings.end(); ++it) {
            const QString key = name + '.' + it.key();
            if (it.key() == QLatin1String("Color"))
                (pen ? penColor_ : brushColor_) = StoredColor(key, it.value());
            else if (pen && it.key() == QLatin1String("Width"))
                penWidth_ = StoredInt(key, it.value());
            else
                throw ELayoutError("Unknown stored property " + key.toStdString());
        }
    } else {
        return TGraphicControl::SetStoredProperty(name, value);
    }
    Invalidate();
    return true;
}

}  // namespace platform
