#include "Control.h"

#include "Application.h"
#include "LayoutBindings.h"
#include "StoredValues.h"
#include "WinControl.h"

#include <QJsonValue>
#include <QString>

#include <algorithm>

namespace platform {

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
    SetParent(nullptr);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) {
        Invalidate();
        parent_->RemoveControl(this);
    }
    parent_ = parent;
    if (parent_) {
        parent_->InsertControl(this);
        if (parentFont_) InheritFont(parent_->Font());
        Invalidate();
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const TRect old = BoundsRect();
    left_ = left;
    top_ = top;
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    BoundsChanged(old);
}

void TControl::BoundsChanged(const TRect& old) {
    if (!parent_) return;
    if (!IsWindowed() && visible_) {
        parent_->InvalidateRect(old);
        Invalidate();
    }
    parent_->ControlChanged();
}

void TControl::MoveWithScroll(int dx, int dy) {
    left_ = SaturatedSum(left_, dx);
    top_ = SaturatedSum(top_, dy);
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    VisibleChanged();
}

void TControl::VisibleChanged() {
    if (!parent_) return;
    if (!IsWindowed()) parent_->InvalidateRect(BoundsRect());
    parent_->ControlChanged();
}

bool TControl::Showing() const {
    for (const TControl* control = this; control; control = control->Parent())
        if (!control->Visible()) return false;
    return true;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EnabledChanged();
    Invalidate();
}

void TControl::SetFont(const TFont& font) {
    parentFont_ = false;
    if (font == font_) return;
    font_ = font;
    FontChanged();
    Invalidate();
}

void TControl::InheritFont(const TFont& font) {
    if (font == font_) return;
    font_ = font;
    FontChanged();
}

void TControl::SetCaption(AnsiString caption) {
    if (caption == caption_) return;
    caption_ = std::move(caption);
    CaptionChanged();
    Invalidate();
}

void TControl::SetAccessibleName(AnsiString name) {
    if (name == accessibleName_) return;
    accessibleName_ = std::move(name);
    AccessibleTextChanged();
}

void TControl::SetAccessibleDescription(AnsiString description) {
    if (description == accessibleDescription_) return;
    accessibleDescription_ = std::move(description);
    AccessibleTextChanged();
}

void TControl::AccessibleTextChanged() {
    if (parent_) parent_->UpdateAccessibleText();
}

void TControl::Invalidate() const {
    if (parent_ && !IsWindowed() && visible_) parent_->InvalidateRect(BoundsRect());
}

void TControl::Click() {
    if (IsLoading() || !OnClick) return;
    Application->Dispatch([this] { OnClick(this); });
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (IsLoading() || !OnMouseDown) return;
    Application->Dispatch([=, this] { OnMouseDown(this, button, shift, x, y); });
}

bool TControl::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("Left")) {
        SetLeft(StoredInt(name, value));
    } else if (name == QLatin1String("Top")) {
        SetTop(StoredInt(name, value));
    } else if (name == QLatin1String("Width")) {
        SetWidth(StoredInt(name, value));
    } else if (name == QLatin1String("Height")) {
        SetHeight(StoredInt(name, value));
    } else if (name == QLatin1String("Visible")) {
        SetVisible(StoredBool(name, value));
    } else if (name == QLatin1String("Enabled")) {
        SetEnabled(StoredBool(name, value));
    } else if (name == QLatin1String("Caption") || name == QLatin1String("Text")) {
        SetCaption(StoredText(name, value));
    } else if (name == QLatin1String("AccessibleName")) {
        SetAccessibleName(StoredText(name, value));
    } else if (name == QLatin1String("AccessibleDescription")) {
        SetAccessibleDescription(StoredText(name, value));
    } else if (name == QLatin1String("Font")) {
        SetFont(StoredFont(name, value, font_));
    } else if (name == QLatin1String("ParentFont")) {
        parentFont_ = StoredBool(name, value);
        if (parentFont_ && parent_) InheritFont(parent_->Font());
    } else {
        return TComponent::SetStoredProperty(name, value);
    }
    return true;
}

bool TControl::BindStoredEvent(const QString& event, const QString& handler,
                               const LayoutBindings& bindings) {
    const AnsiString name = handler.toStdString();
    if (event == QLatin1String("OnClick")) {
        const TNotifyEvent* bound = bindings.NotifyHandler(name);
        if (!bound) throw ELayoutError("No click handler named " + name);
        OnClick = *bound;
        return true;
    }
    if (event == QLatin1String("OnMouseDown")) {
        const TMouseEvent* bound = bindings.MouseHandler(name);
        if (!bound) throw ELayoutError("No mouse-down handler named " + name);
        OnMouseDown = *bound;
        return true;
    }
    return TComponent::BindStoredEvent(event, handler, bindings);
}

}  // namespace platform
