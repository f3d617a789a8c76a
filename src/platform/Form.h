#pragma once

#include "ScrollingWinControl.h"

class QString;

namespace platform {

class LayoutBindings;

// A top-level window built from a stored layout. Its Left, Top, Width and
// Height are its outer rectangle, frame and title bar included.
class TForm : public TScrollingWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;

    // Shows the window; the first control in tab order that can take the
    // focus receives it.
    void Show();
    void Close();

    // The frame the window system draws around the client area.
    struct FrameMetrics {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };
    FrameMetrics Frame() const { return frame_; }

    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;
    bool BindStoredEvent(const QString& event, const QString& handler,
                         const LayoutBindings& bindings) override;

    // From the adaptor.
    void WindowActivated();
    void WindowClosed();
    void WindowGeometryChanged();
    // A letter typed while a button has the focus presses the button whose
    // accelerator it is.
    bool DialogChar(char32_t letter);

protected:
    // Reads the stored layout (the form in its loading state: no events),
    // binds members and handlers, then runs the creation handler.
    void CreateFromLayout(const AnsiString& resource, const LayoutBindings& bindings);

    int HorizontalEdges() const override { return frame_.left + frame_.right; }
    int VerticalEdges() const override { return frame_.top + frame_.bottom; }
    void SyncGeometry() override;
    void VisibleChanged() override;
    void CaptionChanged() override;
    void UpdateTabChain() override;

private:
    FrameMetrics frame_;
    bool syncing_ = false;
    std::vector<TWinControl*> tabChain_;
};

}  // namespace platform
