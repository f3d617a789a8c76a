#include "Buttons.h"

#include "Form.h"
#include "StoredValues.h"
#include "TextCodec.h"

#include <QBitmap>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <QPushButton>

namespace platform {
namespace {

class ButtonWidget : public QPushButton {
public:
    explicit ButtonWidget(TBitBtn& button) : button_(button) {
        setAutoDefault(false);
        connect(this, &QPushButton::clicked, this, [this] { button_.Click(); });
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // Enter presses the focused button, as the space bar does.
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            animateClick();
            return;
        }
        QPushButton::keyPressEvent(event);
    }

private:
    TBitBtn& button_;
};

// The glyph's background colour is drawn transparent.
QPixmap GlyphPixmap(const QString& resource) {
    QPixmap pixmap(resource);
    if (!pixmap.isNull()) {
        const QColor background = pixmap.toImage().pixelColor(0, pixmap.height() - 1);
        pixmap.setMask(pixmap.createMaskFromColor(background, Qt::MaskInColor));
    }
    return pixmap;
}

}  // namespace

TBitBtn::TBitBtn(TComponent* owner) : TWinControl(owner) {
    AttachWidget(std::make_unique<ButtonWidget>(*this));
}

void TBitBtn::SetKind(TBitBtnKind kind) {
    kind_ = kind;
    auto* button = static_cast<QPushButton*>(Handle());
    if (kind_ == TBitBtnKind::bkClose) {
        QIcon glyph;
        glyph.addPixmap(GlyphPixmap(QStringLiteral(":/glyphs/close.png")), QIcon::Normal);
        glyph.addPixmap(GlyphPixmap(QStringLiteral(":/glyphs/close-disabled.png")), QIcon::Disabled);
        button->setIcon(glyph);
        button->setIconSize(QSize(18, 18));
    } else {
        button->setIcon(QIcon());
    }
}

char32_t TBitBtn::Accelerator() const {
    const QString caption = ToQString(Caption());
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] != QLatin1Char('&')) return caption[i + 1].toLower().unicode();
        ++i;  // "&&" is a literal ampersand
    }
    return 0;
}

void TBitBtn::Click() {
    TWinControl::Click();
    if (kind_ == TBitBtnKind::bkClose && !IsLoading()) {
        for (TComponent* owner = Owner(); owner; owner = owner->Owner()) {
            if (auto* form = dynamic_cast<TForm*>(owner)) {
                form->Close();
                break;
            }
        }
    }
}

void TBitBtn::CaptionChanged() {
    // The glyph and the text stand 4 pixels apart, centred together.
    const QString spacing = kind_ == TBitBtnKind::bkClose ? QStringLiteral(" ") : QString();
    static_cast<QPushButton*>(Handle())->setText(spacing + ToQString(Caption()));
}

bool TBitBtn::SetStoredProperty(const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("Kind")) {
        const AnsiString kind = StoredText(name, value);
        if (kind == "bkClose")
            SetKind(TBitBtnKind::bkClose);
        else if (kind == "bkCustom")
            SetKind(TBitBtnKind::bkCustom);
        else
            throw ELayoutError("Unknown button kind " + kind);
        CaptionChanged();
        return true;
    }
    return TWinControl::SetStoredProperty(name, value);
}

}  // namespace platform
