#include "ScrollingWinControl.h"

#include "QtAdaptors.h"
#include "StoredValues.h"

#include <QJsonObject>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace platform {

void TControlScrollBar::SetRange(int range) {
    range_ = std::max(range, 0);
    if (!control_.IsLoading()) control_.UpdateScrollBars();
}

int TControlScrollBar::Max() const {
    const int client =
        kind_ == TScrollBarKind::sbHorizontal ? control_.ClientWidth() : control_.ClientHeight();
    return std::max(range_ - client, 0);
}

void TControlScrollBar::SetPosition(int position) {
    if (control_.IsLoading()) {  // stored as it stands, children untouched
        position_ = position;
        return;
    }
    const int limited = std::clamp(position, 0, Max());
    if (limited == position_) return;
    const int delta = position_ - limited;
    position_ = limited;
    ++positionChanges_;
    control_.ScrollContents(kind_, delta);
    control_.SyncScrollBars();
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner) : TWinControl(owner) {}

TScrollingWinControl::~TScrollingWinControl() = default;

void TScrollingWinControl::SetAutoScroll(bool autoScroll) {
    autoScroll_ = autoScroll;
    if (!IsLoading()) UpdateScrollBars();
}

int TScrollingWinControl::ScrollBarExtent() const {
    const auto* area = static_cast<const QAbstractScrollArea*>(Handle());
    return area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                      area->verticalScrollBar());
}

int TScrollingWinControl::ClientWidth() const {
    return std::max(Width() - HorizontalEdges() - (vert_.visible_ ? ScrollBarExtent() : 0), 0);
}

int TScrollingWinControl::ClientHeight() const {
    return std::max(Height() - VerticalEdges() - (horz_.visible_ ? ScrollBarExtent() : 0), 0);
}

QWidget* TScrollingWinControl::ClientHandle() const {
    const auto* area = static_cast<const QAbstractScrollArea*>(Handle());
    return area ? area->viewport() : nullptr;
}

void TScrollingWinControl::CalcAutoRange() {
    int right = 0;
    int bottom = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        const TControl* control = Controls(i);
        if (!control->Visible()) continue;
        right = std::max(right, control->Left() + control->Width() + horz_.position_);
        bottom = std::max(bottom, control->Top() + control->Height() + vert_.position_);
    }
    horz_.range_ = right;
    vert_.range_ = bottom;
}

void TScrollingWinControl::UpdateScrollBars() {
    if (IsLoading() || !Handle()) return;
    if (autoScroll_) CalcAutoRange();
    // A bar shows when the content does not fit; showing one bar narrows the
    // other axis, which may make the other bar necessary too.
    const int width = Width() - HorizontalEdges();
    const int height = Height() - VerticalEdges();
    const int extent = ScrollBarExtent();
    bool horzVisible = horz_.range_ > width;
    bool vertVisible = vert_.range_ > height;
    if (horzVisible && !vertVisible) vertVisible = vert_.range_ > height - extent;
    if (vertVisible && !horzVisible) horzVisible = horz_.range_ > width - extent;
    horz_.visible_ = horzVisible;
    vert_.visible_ = vertVisible;
    // A position above the new largest position is brought back to it.
    horz_.SetPosition(horz_.position_);
    vert_.SetPosition(vert_.position_);
    SyncScrollBars();
}

void TScrollingWinControl::SyncScrollBars() {
    auto* area = static_cast<QAbstractScrollArea*>(Handle());
    if (!area) return;
    const struct {
        TControlScrollBar& bar;
        QScrollBar* qbar;
        int client;
    } axes[] = {{horz_, area->horizontalScrollBar(), ClientWidth()},
                {vert_, area->verticalScrollBar(), ClientHeight()}};
    for (const auto& axis : axes) {
        const QSignalBlocker blocker(axis.qbar);
        // Qt redraws a bar whenever its page is set, changed or not.
        if (axis.qbar->pageStep() != axis.client) axis.qbar->setPageStep(axis.client);
        axis.qbar->setRange(0, axis.bar.Max());
        axis.qbar->setValue(axis.bar.position_);
    }
    // Qt lays the area out again on every call, changed or not, and a scroll
    // syncs the bars up to four times.
    const auto policy = [](bool visible) { return visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff; };
    if (area->horizontalScrollBarPolicy() != policy(horz_.visible_))
        area->setHorizontalScrollBarPolicy(policy(horz_.visible_));
    if (area->verticalScrollBarPolicy() != policy(vert_.visible_))
        area->setVerticalScrollBarPolicy(policy(vert_.visible_));
}

void TScrollingWinControl::ScrollContents(TScrollBarKind kind, int delta) {
    const bool horizontal = kind == TScrollBarKind::sbHorizontal;
    const int dx = horizontal ? delta : 0;
    const int dy = horizontal ? 0 : delta;
    for (int i = 0; i < ControlCount(); ++i) Controls(i)->MoveWithScroll(dx, dy);
    // Moves the pixels already shown and the child windows; only the
    // uncovered strip is repainted.
    if (QWidget* client = ClientHandle()) {
        client->scroll(dx, dy);
        // A client not shown yet scrolls nothing, its child windows
        // included: put them where their controls now stand.
        for (int i = 0; i < ControlCount(); ++i)
            if (const auto* windowed = dynamic_cast<const TWinControl*>(Controls(i)); windowed && windowed->Handle())
                windowed->Handle()->move(windowed->Left(), windowed->Top());
    }
}

void TScrollingWinControl::UserScroll(TScrollBarKind kind, int position) {
    (kind == TScrollBarKind::sbHorizontal ? horz_ : vert_).SetPosition(position);
    SyncScrollBars();
}

void TScrollingWinControl::ClientMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (TControl* target = ControlAtPos(x, y))
        target->MouseDown(button, shift, x - target->Left(), y - target->Top());
    else
        MouseDown(button, shift, x, y);
}

void TScrollingWinControl::PaintClient(QPainter& painter, const TRect& region) const {
    PaintControls(painter, region);
}

void TScrollingWinControl::ScrollInView(TControl* control) {
    if (!control) return;
    int inset = 0;
    if (control->IsWindowed()) {
        const auto* windowed = static_cast<const TWinControl*>(control);
        inset = (windowed->Width() - windowed->ClientWidth()) / 2;
    }
    const TRect area{control->Left() + inset, control->Top() + inset,
                     control->Left() + control->Width() - inset,
                     control->Top() + control->Height() - inset};
    const auto bringIn = [](TControlScrollBar& bar, int first, int last, int client) {
        if (first < 0) {
            bar.SetPosition(bar.Position() + first);
        } else if (last > client) {
            if (last - first > client) last = first + client;  // the near edge wins
            bar.SetPosition(bar.Position() + last - client);
        }
    };
    bringIn(horz_, area.Left, area.Right, ClientWidth());
    bringIn(vert_, area.Top, area.Bottom, ClientHeight());
}

void TScrollingWinControl::ChildFocused(TWinControl* child) {
    if (child->Parent() == this) ScrollInView(child);
}

void TScrollingWinControl::BoundsChanged(const TRect& old) {
    TWinControl::BoundsChanged(old);
    UpdateScrollBars();
}

void TScrollingWinControl::Loaded() {
    TWinControl::Loaded();
    UpdateScrollBars();
}

bool TScrollingWinControl::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("AutoScroll")) {
        SetAutoScroll(StoredBool(name, value));
        return true;
    }
    TControlScrollBar* bar = name == QLatin1String("HorzScrollBar")   ? &horz_
                             : name == QLatin1String("VertScrollBar") ? &vert_
                                                                      : nullptr;
    if (!bar) return TWinControl::SetStoredProperty(name, value);
    if (!value.isObject()) throw ELayoutError("Stored property " + name.toStdString() + " must be an object");
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = name + '.' + it.key();
        if (it.key() == QLatin1String("Range"))
            bar->SetRange(StoredInt(key, it.value()));
        else if (it.key() == QLatin1String("Position"))
            bar->SetPosition(StoredInt(key, it.value()));
        else
            throw ELayoutError("Unknown stored property " + key.toStdString());
    }
    return true;
}

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
    SetTabStop(false);
    SetAutoScroll(true);
    auto area = std::make_unique<ScrollArea>(*this);
    area->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    area->setLineWidth(BorderWidth);
    AttachWidget(std::move(area));
}

}  // namespace platform
