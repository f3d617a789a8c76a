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
    // Selects the entry and shows its text (-1 selects nothing and empties the
    // field); does nothing when it already is the selected one.
    void SetItemIndex(int index);

    const AnsiString& Text() const { return Caption(); }
    void SetText(AnsiString text) { SetCaption(std::move(text)); }

    // Rows shown when the list opens (fewer when it holds fewer, at least one).
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count);
    // The height of one row of the opened list, in pixels.
    int ItemHeight() const { return itemHeight_; }

    bool SetStoredProperty(const QString& name, const QJsonValue& value) override;

    // From the adaptor: the user chose an entry in the opened list.
    void ListChoice(int index);
    // From the adaptor: an arrow key on the closed list, -1 up, +1 down.
    void ArrowKey(int step);
    // From the adaptor: the user typed a character; `typed` is the text before
    // the highlighted part of the field followed by it. False when no entry
    // begins with it: the character then goes into the field as usual.
    bool AutoComplete(const QString& typed);
    // From the adaptor: the user edited the field.
    void TextEdited(AnsiString text);

protected:
    void CaptionChanged() override;

private:
    void Choose(int index);
    // Selects the entry in the widget without any of its signals.
    void ShowSelection(int index);
    void ShowInField(const QString& text);

    TStrings items_;
    int itemIndex_ = -1;
    int dropDownCount_ = 8;
    int itemHeight_ = 16;
    bool editing_ = false;
};

}  // namespace platform
