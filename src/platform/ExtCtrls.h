#pragma once

#include "Control.h"

#include <memory>

namespace platform {

class TJPEGImage;

// A picture control: draws its picture at natural size from its top-left
// corner, clipped to what is being repainted.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;

    // The picture, kept compressed until it is first drawn.
    TJPEGImage* Picture() const { return picture_.get(); }
    void LoadPicture(const QString& resource);

    void Paint(QPainter& painter, const TRect& area) override;
    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;

private:
    std::unique_ptr<TJPEGImage> picture_;
};

enum class TShapeType { stRectangle, stCircle };

// A shape control: a circle (or rectangle) filled with the brush colour and
// outlined with the pen.
class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* owner);

    TShapeType Shape() const { return shape_; }
    TColor BrushColor() const { return brushColor_; }
    TColor PenColor() const { return penColor_; }
    int PenWidth() const { return penWidth_; }

    void Paint(QPainter& painter, const TRect& area) override;
    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;

private:
    TShapeType shape_ = TShapeType::stRectangle;
    TColor brushColor_ = clWhite;
    TColor penColor_ = clBlack;
    int penWidth_ = 1;
};

}  // namespace platform
