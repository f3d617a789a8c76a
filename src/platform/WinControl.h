#pragma once

#include "Control.h"

#include <memory>
#include <vector>

class QWidget;
class QPainter;
class QFont;

namespace platform {

// A control with a window of its own: it can hold child controls, take the
// keyboard focus and stand in the tab order.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    bool IsWindowed() const override { return true; }

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    // In stacking order, the bottom one first.
    TControl* Controls(int index) const { return controls_.at(static_cast<size_t>(index)); }

    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop);
    bool CanFocus() const;
    bool Focused() const;
    void SetFocus();

    virtual int ClientWidth() const { return Width(); }
    virtual int ClientHeight() const { return Height(); }

    // Graphic children: the topmost shown, enabled one under a client point.
    TControl* ControlAtPos(int x, int y) const;
    void PaintControls(QPainter& painter, const TRect& region) const;
    void InvalidateRect(const TRect& rect) const;

    // The Qt side. Children's windows live in ClientHandle().
    QWidget* Handle() const { return widget_.get(); }
    virtual QWidget* ClientHandle() const { return widget_.get(); }

    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;

    // Called by the adaptor when this control's window gets the focus.
    void FocusEntered();

protected:
    void AttachWidget(std::unique_ptr<QWidget> widget);
    // A descendant window took the focus.
    virtual void ChildFocused(TWinControl* child);
    // A child control was moved, resized, shown or hidden.
    virtual void ControlChanged() {}
    virtual void SyncGeometry();
    void BoundsChanged(const TRect& old) override;
    void VisibleChanged() override;
    void EnabledChanged() override;
    void FontChanged() override;
    void AccessibleTextChanged() override { UpdateAccessibleText(); }
    // The tab chain of the whole window is worked out again from TabOrder.
    void TabOrderChanged();
    virtual void UpdateTabChain() {}

private:
    friend class TControl;
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // The widget's accessible name is the control's; its description is the
    // control's followed by those of its graphic children.
    void UpdateAccessibleText();

    std::unique_ptr<QWidget> widget_;
    std::vector<TControl*> controls_;
    int tabOrder_ = -1;
    bool tabStop_ = true;
};

QFont ToQFont(const TFont& font);

}  // namespace platform
