#pragma once

#include "Strings.h"
#include "WinControl.h"

namespace platform {

// An editable drop-down list. Its click event is raised each time the user
// changes the selected entry; setting ItemIndex from code raises nothing.
class TComboBox : public TWinControl {
public:
    explicit TComboBox(TComponent* owner);

    TStrings& Items() { return items_; }
    const TStrings& Items() const { return items_; }

    // -1 when no entry is selected.
    int ItemIndex() const { return itemIndex_; }
    // Selects the entry and shows its text; does nothing when it already is
    // the selected one.
    void SetItemIndex(int index);

    const AnsiString& Text() const { return Caption(); }
    void SetText(AnsiString text) { SetCaption(std::move(text)); }

    // Rows shown when the list opens (fewer when it holds fewer).
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count);
    int ItemHeight() const { return itemHeight_; }

    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;

    // From the adaptor: the user chose an entry in the opened list.
    void ListChoice(int index);

protected:
    void CaptionChanged() override;

private:
    void Choose(int index);

    TStrings items_;
    int itemIndex_ = -1;
    int dropDownCount_ = 8;
    int itemHeight_ = 16;
};

}  // namespace platform
