#include "ComboBox.h"

#include "StoredValues.h"
#include "TextCodec.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace platform {
namespace {

class ComboWidget : public QComboBox {
public:
    explicit ComboWidget(TComboBox& combo) : combo_(combo) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
        connect(this, &QComboBox::activated, this, [this](int index) { combo_.ListChoice(index); });
    }

private:
    TComboBox& combo_;
};

}  // namespace

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    AttachWidget(std::make_unique<ComboWidget>(*this));
    auto* widget = static_cast<QComboBox*>(Handle());
    widget->setMaxVisibleItems(dropDownCount_);
    items_.OnAdded = [widget](int, const AnsiString& text) {
        const QSignalBlocker blocker(widget);
        const QString shown = widget->currentText();
        widget->addItem(ToQString(text));
        widget->setCurrentIndex(-1);
        widget->setEditText(shown);
    };
    items_.OnCleared = [this, widget] {
        const QSignalBlocker blocker(widget);
        widget->clear();
        itemIndex_ = -1;
    };
}

void TComboBox::SetItemIndex(int index) {
    if (index == itemIndex_) return;
    if (index < -1 || index >= items_.Count()) index = -1;
    itemIndex_ = index;
    auto* widget = static_cast<QComboBox*>(Handle());
    const QSignalBlocker blocker(widget);
    widget->setCurrentIndex(index);
    if (index >= 0) SetCaption(items_[index]);
}

void TComboBox::Choose(int index) {
    SetItemIndex(index);
    SetCaption(items_[index]);  // the entry's text is in the field before the event
    Click();
}

void TComboBox::ListChoice(int index) {
    if (index < 0 || index >= items_.Count()) return;
    Choose(index);
}

void TComboBox::SetDropDownCount(int count) {
    dropDownCount_ = count;
    static_cast<QComboBox*>(Handle())->setMaxVisibleItems(count);
}

void TComboBox::CaptionChanged() {
    auto* widget = static_cast<QComboBox*>(Handle());
    const QSignalBlocker blocker(widget);
    widget->setEditText(ToQString(Text()));
}

bool TComboBox::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("DropDownCount")) {
        SetDropDownCount(StoredInt(name, value));
    } else if (name == QLatin1String("ItemHeight")) {
        itemHeight_ = StoredInt(name, value);
    } else if (name == QLatin1String("Style") || name == QLatin1String("Sorted") ||
               name == QLatin1String("AutoComplete")) {
        // An editable, unsorted list with auto-completion is the only kind.
        const bool supported = name == QLatin1String("Style")        ? StoredText(name, value) == "csDropDown"
                               : name == QLatin1String("Sorted")     ? !StoredBool(name, value)
                                                                     : StoredBool(name, value);
        if (!supported) throw ELayoutError("Unsupported drop-down list setting " + name.toStdString());
    } else {
        return TWinControl::SetStoredProperty(name, value);
    }
    return true;
}

}  // namespace platform
