#pragma once

#include "Component.h"

class QPainter;

namespace platform {

class TWinControl;

// A control: a rectangle in its parent's client area that can be shown,
// pressed and clicked. Graphic controls have no window of their own and are
// drawn and hit-tested by their parent.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    TRect BoundsRect() const {
        return TRect{left_, top_, SaturatedSum(left_, width_), SaturatedSum(top_, height_)};
    }
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    virtual void SetBounds(int left, int top, int width, int height);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Shown and every parent shown.
    bool Showing() const;

    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    bool ParentFont() const { return parentFont_; }

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(AnsiString caption);

    // What a screen reader says of the control, in Windows-1252 like every
    // text of ours. A windowed control shows them on its widget; a graphic
    // control, which has none, through its parent's description.
    const AnsiString& AccessibleName() const { return accessibleName_; }
    const AnsiString& AccessibleDescription() const { return accessibleDescription_; }
    void SetAccessibleName(AnsiString name);
    void SetAccessibleDescription(AnsiString description);

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;

    // Raise the control's events as the user's input does.
    virtual void Click();
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);

    virtual bool IsWindowed() const { return false; }

    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;
    bool BindStoredEvent(const QString& event, const QString& handler,
                         const LayoutBindings& bindings) override;

protected:
    virtual void BoundsChanged(const TRect& old);
    virtual void VisibleChanged();
    virtual void EnabledChanged() {}
    virtual void FontChanged() {}
    virtual void CaptionChanged() {}
    virtual void AccessibleTextChanged();
    // Asks the parent to repaint this control's rectangle.
    void Invalidate() const;

private:
    friend class TWinControl;
    friend class TScrollingWinControl;
    // The parent's scroll moves the pixels; nothing is repainted here.
    void MoveWithScroll(int dx, int dy);
    void InheritFont(const TFont& font);

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    TFont font_;
    bool parentFont_ = true;
    AnsiString caption_;
    AnsiString accessibleName_;
    AnsiString accessibleDescription_;
};

// Controls without a window: painted by the parent, clipped to their rectangle.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    // Draws the part `area` of the control; the painter's origin is the
    // control's top-left corner and `area` is in the same coordinates.
    virtual void Paint(QPainter& painter, const TRect& area) = 0;
};

}  // namespace platform
