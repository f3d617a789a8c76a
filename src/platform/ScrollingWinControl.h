#pragma once

#include "WinControl.h"

namespace platform {

class TScrollingWinControl;

enum class TScrollBarKind { sbHorizontal, sbVertical };

// One axis of a scrolling control: the content extent (Range) and the content
// point shown at the client area's edge (Position).
class TControlScrollBar {
public:
    TControlScrollBar(TScrollingWinControl& control, TScrollBarKind kind)
        : control_(control), kind_(kind) {}

    TScrollBarKind Kind() const { return kind_; }
    int Range() const { return range_; }
    void SetRange(int range);
    int Position() const { return position_; }
    // Limited to 0..Max(); the children move by the old position minus the new.
    void SetPosition(int position);
    // The largest position: the range less the client extent, never below 0.
    int Max() const;
    // An arrow moves the view this far; a press in the trough a whole page.
    static constexpr int Increment = 8;
    bool IsScrollBarVisible() const { return visible_; }

    // How many times the position has changed; lets tests see the work done.
    long long PositionChanges() const { return positionChanges_; }

private:
    friend class TScrollingWinControl;
    TScrollingWinControl& control_;
    TScrollBarKind kind_;
    int range_ = 0;
    int position_ = 0;
    bool visible_ = false;
    long long positionChanges_ = 0;
};

// A control that shows a part of a larger content area and scrolls its
// children over it.
class TScrollingWinControl : public TWinControl {
public:
    explicit TScrollingWinControl(TComponent* owner);
    ~TScrollingWinControl() override;

    TControlScrollBar* const HorzScrollBar = &horz_;
    TControlScrollBar* const VertScrollBar = &vert_;

    // On: the range follows the children. Off: the range is fixed.
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool autoScroll);

    int ClientWidth() const override;
    int ClientHeight() const override;
    QWidget* ClientHandle() const override;

    // Scrolls by the least amount that brings the control's client area into
    // view, its left and top edges first when it does not fit.
    void ScrollInView(TControl* control);

    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;

    // From the adaptor: the user moved a scroll bar to a position.
    void UserScroll(TScrollBarKind kind, int position);
    // From the adaptor: a press in the client area, handed to the topmost
    // graphic child under it.
    void ClientMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void PaintClient(QPainter& painter, const TRect& region) const;
    // Recomputes which scroll bars show and the largest positions.
    void UpdateScrollBars();

protected:
    // Edges between the outer size and the client area, scroll bars aside.
    virtual int HorizontalEdges() const { return 0; }
    virtual int VerticalEdges() const { return 0; }
    virtual TColor ClientColor() const { return clBtnFace; }
    void ChildFocused(TWinControl* child) override;
    // With AutoScroll on, the range follows the children.
    void ControlChanged() override {
        if (autoScroll_) UpdateScrollBars();
    }
    void BoundsChanged(const TRect& old) override;
    void Loaded() override;
    // An axis's position changed by delta (old minus new).
    void ScrollContents(TScrollBarKind kind, int delta);
    void SyncScrollBars();
    int ScrollBarExtent() const;

private:
    friend class TControlScrollBar;
    friend class TWinControl;
    void CalcAutoRange();

    TControlScrollBar horz_{*this, TScrollBarKind::sbHorizontal};
    TControlScrollBar vert_{*this, TScrollBarKind::sbVertical};
    bool autoScroll_ = true;
};

// The map view's kind of control: a sunken, fixed-range scrolling area.
class TScrollBox : public TScrollingWinControl {
public:
    explicit TScrollBox(TComponent* owner);

    static constexpr int BorderWidth = 2;  // the sunken edge

protected:
    int HorizontalEdges() const override { return 2 * BorderWidth; }
    int VerticalEdges() const override { return 2 * BorderWidth; }
};

}  // namespace platform
