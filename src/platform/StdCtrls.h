#pragma once

#include "Strings.h"
#include "WinControl.h"

namespace platform {

// A text drawn on its parent; with AutoSize on it takes its text's size.
class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    bool AutoSize() const { return autoSize_; }
    void Paint(QPainter& painter, const TRect& area) override;
    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;

protected:
    void Loaded() override;
    void CaptionChanged() override { AdjustSize(); }
    void FontChanged() override { AdjustSize(); }

private:
    void AdjustSize();
    bool autoSize_ = true;
};

// A single-line edit field.
class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    const AnsiString& Text() const { return Caption(); }
    void SetText(AnsiString text) { SetCaption(std::move(text)); }

    // From the adaptor: the user edited the text.
    void TextEdited(AnsiString text);

protected:
    void CaptionChanged() override;

private:
    bool editing_ = false;
};

// A multi-line text box; its click is a left press and release inside its
// text area.
class TMemo : public TWinControl {
public:
    explicit TMemo(TComponent* owner);

    TStrings& Lines() { return lines_; }
    const TStrings& Lines() const { return lines_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);

    static constexpr int BorderWidth = 2;  // the sunken edge
    int ClientWidth() const override { return Width() - 2 * BorderWidth; }
    int ClientHeight() const override { return Height() - 2 * BorderWidth; }

    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;

protected:
    void Loaded() override;

private:
    void ShowLines();
    TStrings lines_;
    bool readOnly_ = false;
};

}  // namespace platform
