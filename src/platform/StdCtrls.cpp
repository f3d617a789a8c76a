#include "StdCtrls.h"

#include "StoredValues.h"
#include "TextCodec.h"

#include <QFontMetrics>
#include <QJsonArray>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>

namespace platform {
namespace {

QColor ToQColor(TColor color, QPalette::ColorRole systemRole) {
    if (color & clSystemColor) return QPalette().color(systemRole);
    return QColor::fromRgb(color);
}

class EditWidget : public QLineEdit {
public:
    explicit EditWidget(TEdit& edit) : edit_(edit) {
        connect(this, &QLineEdit::textEdited, this,
                [this](const QString& text) { edit_.TextEdited(FromQString(text)); });
    }

private:
    TEdit& edit_;
};

// Turns a left press and release inside the text area into a click.
class MemoClickWatcher : public QObject {
public:
    MemoClickWatcher(TMemo& memo, QWidget* textArea) : QObject(textArea), memo_(memo), area_(textArea) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease &&
            event->type() != QEvent::MouseButtonDblClick)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        const bool inside = area_->rect().contains(mouse->position().toPoint());
        if (event->type() != QEvent::MouseButtonRelease) {
            pressedInside_ = inside;
        } else if (std::exchange(pressedInside_, false) && inside) {
            memo_.Click();
        }
        return false;
    }

private:
    TMemo& memo_;
    QWidget* area_;
    bool pressedInside_ = false;
};

}  // namespace

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {}

void TLabel::AdjustSize() {
    if (!autoSize_ || IsLoading()) return;
    const QFontMetrics metrics(ToQFont(Font()));
    SetBounds(Left(), Top(), metrics.horizontalAdvance(ToQString(Caption())), metrics.height());
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustSize();
}

void TLabel::Paint(QPainter& painter, const TRect&) {
    painter.setFont(ToQFont(Font()));
    painter.setPen(ToQColor(Font().Color, QPalette::WindowText));
    painter.drawText(QRect(0, 0, Width(), Height()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     ToQString(Caption()));
}

bool TLabel::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("AutoSize")) {
        autoSize_ = StoredBool(name, value);
        AdjustSize();
        return true;
    }
    return TGraphicControl::SetStoredProperty(name, value);
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
    AttachWidget(std::make_unique<EditWidget>(*this));
}

void TEdit::TextEdited(AnsiString text) {
    editing_ = true;
    SetCaption(std::move(text));
    editing_ = false;
}

void TEdit::CaptionChanged() {
    if (!editing_) static_cast<QLineEdit*>(Handle())->setText(ToQString(Text()));
}

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
    auto widget = std::make_unique<QPlainTextEdit>();
    widget->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    widget->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    widget->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    widget->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    widget->viewport()->installEventFilter(new MemoClickWatcher(*this, widget->viewport()));
    AttachWidget(std::move(widget));
    // Stored lines are shown once, when the layout is loaded, not once per line.
    lines_.OnAdded = [this](int, const AnsiString&) {
        if (!IsLoading()) ShowLines();
    };
    lines_.OnCleared = [this] {
        if (!IsLoading()) ShowLines();
    };
}

void TMemo::Loaded() {
    TWinControl::Loaded();
    ShowLines();
}

void TMemo::ShowLines() {
    QStringList lines;
    for (int i = 0; i < lines_.Count(); ++i) lines << ToQString(lines_[i]);
    static_cast<QPlainTextEdit*>(Handle())->setPlainText(lines.join(QLatin1Char('\n')));
}

void TMemo::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    static_cast<QPlainTextEdit*>(Handle())->setReadOnly(readOnly);
}

bool TMemo::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("ReadOnly")) {
        SetReadOnly(StoredBool(name, value));
    } else if (name == QLatin1String("Lines")) {
        if (!value.isArray()) throw ELayoutError("Stored property Lines must be a list of lines");
        lines_.Clear();
        for (const QJsonValue line : value.toArray()) lines_.Add(StoredText(name, line));
    } else if (name == QLatin1String("WordWrap") || name == QLatin1String("ScrollBars")) {
        // Word wrap on and no scroll bars: the only combination the program uses.
        if (name == QLatin1String("WordWrap") ? !StoredBool(name, value)
                                              : StoredText(name, value) != "ssNone")
            throw ELayoutError("Only a word-wrapped memo without scroll bars is supported");
    } else {
        return TWinControl::SetStoredProperty(name, value);
    }
    return true;
}

}  // namespace platform
