#include "Form.h"

#include "Application.h"
#include "Buttons.h"
#include "LayoutBindings.h"
#include "LayoutBuilder.h"
#include "QtAdaptors.h"
#include "StoredValues.h"
#include "TextCodec.h"

#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace platform {

TForm::TForm(TComponent* owner) : TScrollingWinControl(owner) {
    SetVisible(false);
    SetTabStop(false);
    auto window = std::make_unique<FormWindow>(*this);
    window->setFrameStyle(QFrame::NoFrame);
    AttachWidget(std::move(window));
}

TForm::~TForm() = default;

void TForm::CreateFromLayout(const AnsiString& resource, const LayoutBindings& bindings) {
    LoadStoredLayout(*this, ToQString(resource), bindings);
    if (OnCreate) Application->Dispatch([this] { OnCreate(this); });
}

void TForm::Show() {
    SetVisible(true);
    for (TWinControl* control : tabChain_) {
        if (control->CanFocus()) {
            control->SetFocus();
            break;
        }
    }
    Handle()->raise();
    Handle()->activateWindow();
}

void TForm::Close() {
    Handle()->close();
}

void TForm::WindowClosed() {
    SetVisible(false);
    if (Application->MainForm() == this) Application->Terminate();
}

void TForm::WindowActivated() {
    // Activation is a change of the application's focused form; switching to
    // another program and back, or closing a message box, is not one.
    if (!Application->SetActiveForm(this) || IsLoading() || !OnActivate) return;
    Application->Dispatch([this] { OnActivate(this); });
}

void TForm::SyncGeometry() {
    QWidget* window = Handle();
    if (!window) return;
    syncing_ = true;
    window->move(Left(), Top());
    window->resize(std::max(Width() - HorizontalEdges(), 1), std::max(Height() - VerticalEdges(), 1));
    syncing_ = false;
}

void TForm::WindowGeometryChanged() {
    if (syncing_) return;
    const QWidget* window = Handle();
    FrameMetrics frame;
    if (const QWindow* handle = window->windowHandle()) {
        const QMargins margins = handle->frameMargins();
        frame = {margins.left(), margins.top(), margins.right(), margins.bottom()};
    }
    const bool frameChanged = frame.left != frame_.left || frame.top != frame_.top ||
                              frame.right != frame_.right || frame.bottom != frame_.bottom;
    frame_ = frame;
    if (frameChanged) {
        // The window manager framed the window: keep the outer size we were given.
        SyncGeometry();
        UpdateScrollBars();
        return;
    }
    const QRect outer = window->frameGeometry();
    const QSize client = window->size();
    SetBounds(outer.x(), outer.y(), client.width() + HorizontalEdges(),
              client.height() + VerticalEdges());
}

void TForm::VisibleChanged() {
    if (Handle()) Handle()->setVisible(Visible());
}

void TForm::CaptionChanged() {
    if (Handle()) Handle()->setWindowTitle(ToQString(Caption()));
}

bool TForm::DialogChar(char32_t letter) {
    for (int i = 0; i < ComponentCount(); ++i) {
        auto* button = dynamic_cast<TBitBtn*>(Components(i));
        if (button && button->IsAccelerator(letter) && button->CanFocus()) {
            button->Click();
            return true;
        }
    }
    return false;
}

void TForm::UpdateTabChain() {
    // Depth first, each level in TabOrder: the chain Qt's Tab key follows.
    std::vector<TWinControl*> chain;
    const auto collect = [&chain](const TWinControl& parent, auto& self) -> void {
        std::vector<TWinControl*> children;
        for (int i = 0; i < parent.ControlCount(); ++i)
            if (auto* windowed = dynamic_cast<TWinControl*>(parent.Controls(i))) children.push_back(windowed);
        std::stable_sort(children.begin(), children.end(),
                         [](const TWinControl* a, const TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
        for (TWinControl* child : children) {
            if (child->TabStop() && child->Handle()) chain.push_back(child);
            self(*child, self);
        }
    };
    collect(*this, collect);
    for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1]->Handle(), chain[i]->Handle());
    tabChain_ = std::move(chain);
}

bool TForm::SetStoredProperty(const QString& name, const QJsonValue& value) {
    // Settings that only say how the layout was designed.
    static const char* const kDesignOnly[] = {"PixelsPerInch", "TextHeight", "OldCreateOrder",
                                              "Position", "Color"};
    for (const char* setting : kDesignOnly)
        if (name == QLatin1String(setting)) return true;
    return TScrollingWinControl::SetStoredProperty(name, value);
}

bool TForm::BindStoredEvent(const QString& event, const QString& handler,
                            const LayoutBindings& bindings) {
    TNotifyEvent* target = event == QLatin1String("OnCreate")     ? &OnCreate
                           : event == QLatin1String("OnActivate") ? &OnActivate
                                                                  : nullptr;
    if (!target) return TScrollingWinControl::BindStoredEvent(event, handler, bindings);
    const TNotifyEvent* bound = bindings.NotifyHandler(handler.toStdString());
    if (!bound) throw ELayoutError("No handler named " + handler.toStdString() + " for " + event.toStdString());
    *target = *bound;
    return true;
}

}  // namespace platform
