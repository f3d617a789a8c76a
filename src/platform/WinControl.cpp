#include "WinControl.h"

#include "StoredValues.h"
#include "TextCodec.h"

#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QLineEdit>
#include <QPainter>
#include <QStringList>
#include <QWidget>

#include <algorithm>

namespace platform {
namespace {

// Tells the control when its window receives the focus.
class FocusWatcher : public QObject {
public:
    FocusWatcher(TWinControl& control, QObject* parent) : QObject(parent), control_(control) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) control_.FocusEntered();
        return false;
    }

private:
    TWinControl& control_;
};

}  // namespace

QFont ToQFont(const TFont& font) {
    QFont qfont(ToQString(font.Name));
    if (font.Height < 0)
        qfont.setPixelSize(-font.Height);
    else if (font.Height > 0)  // a positive height includes the internal leading
        qfont.setPixelSize(font.Height * 4 / 5);
    qfont.setBold(font.Bold);
    return qfont;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    for (TControl* control : std::vector<TControl*>(controls_)) control->SetParent(nullptr);
}

void TWinControl::AttachWidget(std::unique_ptr<QWidget> widget) {
    widget_ = std::move(widget);
    widget_->installEventFilter(new FocusWatcher(*this, widget_.get()));
    widget_->setFont(ToQFont(Font()));
    SyncGeometry();
}

void TWinControl::InsertControl(TControl* control) {
    controls_.push_back(control);
    if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && windowed->Handle()) {
        windowed->Handle()->setParent(ClientHandle());
        windowed->SyncGeometry();
        windowed->Handle()->setVisible(windowed->Visible());
        TabOrderChanged();
    }
    if (!control->AccessibleName().empty()) UpdateAccessibleText();
}

void TWinControl::RemoveControl(TControl* control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
    if (auto* windowed = dynamic_cast<TWinControl*>(control); windowed && windowed->Handle()) {
        windowed->Handle()->hide();
        windowed->Handle()->setParent(nullptr);
    }
    if (!control->AccessibleName().empty()) UpdateAccessibleText();
}

void TWinControl::UpdateAccessibleText() {
    if (!widget_) return;
    widget_->setAccessibleName(ToQString(AccessibleName()));
    // On Linux Qt names an editable drop-down list by its text; the field
    // inside it, where the focus goes, carries the control's name.
    if (auto* combo = qobject_cast<QComboBox*>(widget_.get()); combo && combo->lineEdit())
        combo->lineEdit()->setAccessibleName(ToQString(AccessibleName()));
    QStringList parts;
    if (!AccessibleDescription().empty()) parts << ToQString(AccessibleDescription());
    for (const TControl* control : controls_) {
        if (control->IsWindowed() || control->AccessibleName().empty()) continue;
        QString part = ToQString(control->AccessibleName());
        if (!control->AccessibleDescription().empty())
            part += QStringLiteral(": ") + ToQString(control->AccessibleDescription());
        parts << part;
    }
    widget_->setAccessibleDescription(parts.join(QLatin1Char(' ')));
}

void TWinControl::SyncGeometry() {
    if (widget_ && Parent()) widget_->setGeometry(Left(), Top(), Width(), Height());
}

void TWinControl::BoundsChanged(const TRect&) {
    SyncGeometry();
    if (Parent()) Parent()->ControlChanged();
}

void TWinControl::VisibleChanged() {
    if (widget_ && Parent()) widget_->setVisible(Visible());
    if (Parent()) Parent()->ControlChanged();
}

void TWinControl::EnabledChanged() {
    if (widget_) widget_->setEnabled(Enabled());
}

void TWinControl::FontChanged() {
    if (widget_) widget_->setFont(ToQFont(Font()));
    for (TControl* control : controls_)
        if (control->ParentFont()) control->InheritFont(Font());
}

void TWinControl::SetTabOrder(int order) {
    if (order == tabOrder_) return;
    tabOrder_ = order;
    TabOrderChanged();
}

void TWinControl::SetTabStop(bool tabStop) {
    if (tabStop == tabStop_) return;
    tabStop_ = tabStop;
    TabOrderChanged();
}

void TWinControl::TabOrderChanged() {
    TWinControl* top = this;
    while (top->Parent()) top = top->Parent();
    top->UpdateTabChain();
}

bool TWinControl::CanFocus() const {
    return widget_ && Showing() && Enabled();
}

bool TWinControl::Focused() const {
    return widget_ && widget_->hasFocus();
}

void TWinControl::SetFocus() {
    if (widget_) widget_->setFocus(Qt::OtherFocusReason);
}

void TWinControl::FocusEntered() {
    for (TWinControl* parent = Parent(); parent; parent = parent->Parent()) parent->ChildFocused(this);
}

void TWinControl::ChildFocused(TWinControl*) {}

TControl* TWinControl::ControlAtPos(int x, int y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* control = *it;
        if (!control->IsWindowed() && control->Visible() && control->Enabled() &&
            control->BoundsRect().Contains(x, y))
            return control;
    }
    return nullptr;
}

void TWinControl::PaintControls(QPainter& painter, const TRect& region) const {
    for (TControl* control : controls_) {
        auto* graphic = dynamic_cast<TGraphicControl*>(control);
        if (!graphic || !graphic->Visible() || !graphic->BoundsRect().Intersects(region)) continue;
        painter.save();
        painter.translate(graphic->Left(), graphic->Top());
        painter.setClipRect(0, 0, graphic->Width(), graphic->Height(), Qt::IntersectClip);
        const TRect area{std::max(region.Left, graphic->Left()) - graphic->Left(),
                         std::max(region.Top, graphic->Top()) - graphic->Top(),
                         std::min(region.Right, graphic->BoundsRect().Right) - graphic->Left(),
                         std::min(region.Bottom, graphic->BoundsRect().Bottom) - graphic->Top()};
        graphic->Paint(painter, area);
        painter.restore();
    }
}

void TWinControl::InvalidateRect(const TRect& rect) const {
    if (ClientHandle() && rect.Width() > 0 && rect.Height() > 0)
        ClientHandle()->update(rect.Left, rect.Top, rect.Width(), rect.Height());
}

bool TWinControl::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("TabOrder")) {
        SetTabOrder(StoredInt(name, value));
    } else if (name == QLatin1String("TabStop")) {
        SetTabStop(StoredBool(name, value));
    } else {
        return TControl::SetStoredProperty(name, value);
    }
    return true;
}

}  // namespace platform
