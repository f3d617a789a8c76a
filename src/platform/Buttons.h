#pragma once

#include "WinControl.h"

namespace platform {

enum class TBitBtnKind { bkCustom, bkClose };

// A push button; "&" in its caption marks the accelerator letter. A button of
// the close kind shows the close glyph and closes its form when clicked.
class TBitBtn : public TWinControl {
public:
    explicit TBitBtn(TComponent* owner);

    TBitBtnKind Kind() const { return kind_; }
    void SetKind(TBitBtnKind kind);
    // The accelerator letter, lower case, or 0 when the caption has none.
    char32_t Accelerator() const;
    bool IsAccelerator(char32_t letter) const { return letter != 0 && letter == Accelerator(); }

    void Click() override;

    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;

protected:
    void CaptionChanged() override;

private:
    TBitBtnKind kind_ = TBitBtnKind::bkCustom;
};

}  // namespace platform
