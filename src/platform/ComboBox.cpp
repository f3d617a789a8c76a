#include "ComboBox.h"

#include "StoredValues.h"
#include "TextCodec.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyledItemDelegate>

#include <algorithm>

namespace platform {
namespace {

// Rows of the opened list are ItemHeight pixels high, whatever the font.
class RowDelegate : public QStyledItemDelegate {
public:
    RowDelegate(const TComboBox& combo, QObject* parent) : QStyledItemDelegate(parent), combo_(combo) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(combo_.ItemHeight());
        return size;
    }

private:
    const TComboBox& combo_;
};

class ComboWidget : public QComboBox {
public:
    explicit ComboWidget(TComboBox& combo) : combo_(combo) {
        setEditable(true);
        setInsertPolicy(QComboBox::NoInsert);
        setCompleter(nullptr);
        setItemDelegate(new RowDelegate(combo, this));
        // Any click on an entry of the opened list is a choice, also of the
        // entry that already is the selected one.
        connect(this, &QComboBox::activated, this, [this](int index) { combo_.ListChoice(index); });
        connect(lineEdit(), &QLineEdit::textEdited, this,
                [this](const QString& text) { combo_.TextEdited(FromQString(text)); });
        lineEdit()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
            // Keys sent to the field itself take the road of keys typed into
            // the list, so that they are handled in one place.
            QCoreApplication::sendEvent(this, event);
            event->accept();  // already offered to the parents
            return true;
        }
        return QComboBox::eventFilter(watched, event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // One entry per key; with Alt the list opens (Alt+Down), as usual.
            if (modifiers == Qt::NoModifier) {
                const bool up = event->key() == Qt::Key_Up || event->key() == Qt::Key_PageUp;
                combo_.ArrowKey(up ? -1 : 1);
                event->accept();
                return;
            }
            break;
        case Qt::Key_Enter:
        case Qt::Key_Return:
            // Enter in the closed list chooses nothing.
            event->ignore();
            return;
        default:
            if (AutoComplete(*event, modifiers)) {
                event->accept();
                return;
            }
            break;
        }
        QComboBox::keyPressEvent(event);
    }

private:
    bool AutoComplete(const QKeyEvent& event, Qt::KeyboardModifiers modifiers) {
        const QString text = event.text();
        // Control characters (Backspace, Tab, Escape, Enter, Ctrl+letters)
        // edit the field; they never complete.
        if (modifiers != Qt::NoModifier || text.size() != 1 || text.at(0).category() == QChar::Other_Control)
            return false;
        const QLineEdit* field = lineEdit();
        const QString before = field->hasSelectedText() ? field->text().left(field->selectionStart()) : field->text();
        return combo_.AutoComplete(before + text);
    }

    TComboBox& combo_;
};

ComboWidget& WidgetOf(const TComboBox& combo) {
    return *static_cast<ComboWidget*>(combo.Handle());
}

}  // namespace

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    AttachWidget(std::make_unique<ComboWidget>(*this));
    auto* widget = &WidgetOf(*this);
    widget->setMaxVisibleItems(dropDownCount_);
    items_.OnAdded = [this, widget](int, const AnsiString& text) {
        // Adding never changes the selection nor the field (the widget
        // would select the first entry added to an empty list).
        const QSignalBlocker blocker(widget);
        const QString shown = widget->currentText();
        widget->addItem(ToQString(text));
        widget->setCurrentIndex(itemIndex_);
        widget->setEditText(shown);
    };
    items_.OnCleared = [this, widget] {
        const QSignalBlocker blocker(widget);
        widget->clear();
        itemIndex_ = -1;
    };
}

void TComboBox::ShowSelection(int index) {
    itemIndex_ = index;
    ComboWidget& widget = WidgetOf(*this);
    const QSignalBlocker blocker(&widget);
    widget.setCurrentIndex(index);  // this also rewrites the field
    ShowInField(ToQString(Text()));
}

// Writing the field lays its text out again, even the same text.
void TComboBox::ShowInField(const QString& text) {
    ComboWidget& widget = WidgetOf(*this);
    if (widget.lineEdit()->text() == text) return;
    const QSignalBlocker blocker(&widget);
    widget.setEditText(text);
}

void TComboBox::SetItemIndex(int index) {
    if (index < -1 || index >= items_.Count()) index = -1;
    if (index == itemIndex_) return;
    // The caption first, so that the field is written once, with the entry.
    SetCaption(index >= 0 ? items_[index] : AnsiString());
    ShowSelection(index);
}

void TComboBox::Choose(int index) {
    SetItemIndex(index);
    SetCaption(items_[index]);  // the entry's text is in the field before the event
    WidgetOf(*this).lineEdit()->selectAll();
    Click();
}

void TComboBox::ListChoice(int index) {
    if (index < 0 || index >= items_.Count()) return;
    Choose(index);
}

void TComboBox::ArrowKey(int step) {
    // With nothing selected, either arrow selects the first entry.
    const int target = itemIndex_ < 0 ? 0 : itemIndex_ + step;
    // At the first or last entry the arrow changes nothing.
    if (target < 0 || target >= items_.Count() || target == itemIndex_) return;
    Choose(target);
}

bool TComboBox::AutoComplete(const QString& typed) {
    for (int index = 0; index < items_.Count(); ++index) {
        const QString entry = ToQString(items_[index]);
        if (!entry.startsWith(typed, Qt::CaseInsensitive)) continue;
        // The field keeps what the user typed, as typed, and offers the rest
        // of the entry highlighted.
        const QString shown = typed + entry.mid(typed.size());
        const bool changed = index != itemIndex_;
        if (changed) ShowSelection(index);
        editing_ = true;
        SetCaption(FromQString(shown));
        editing_ = false;
        ShowInField(shown);
        WidgetOf(*this).lineEdit()->setSelection(static_cast<int>(typed.size()), static_cast<int>(shown.size() - typed.size()));
        if (changed) Click();
        return true;
    }
    return false;
}

void TComboBox::TextEdited(AnsiString text) {
    editing_ = true;
    SetCaption(std::move(text));
    editing_ = false;
}

void TComboBox::SetDropDownCount(int count) {
    dropDownCount_ = count;
    WidgetOf(*this).setMaxVisibleItems(std::max(count, 1));
}

void TComboBox::CaptionChanged() {
    if (editing_) return;  // the field already shows it
    ShowInField(ToQString(Text()));
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
