#include "Application.h"

#include "Form.h"
#include "Screen.h"
#include "TextCodec.h"
#include "WinControl.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QMessageBox>

#include <utility>

namespace platform {

TApplication* Application = nullptr;

namespace {

// Lower case in Windows-1252: the title is 8-bit text, and its accented
// capitals are letters too.
char LowerCase1252(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) || (byte >= 'A' && byte <= 'Z'))
        return static_cast<char>(byte + 0x20);
    switch (byte) {
        case 0x8A: case 0x8C: case 0x8E: return static_cast<char>(byte + 0x10);  // S, OE, Z with marks
        case 0x9F: return static_cast<char>(0xFF);                               // Y with diaeresis
        default: return c;
    }
}

}  // namespace

AnsiString TitleFromFileName(const AnsiString& path) {
    const size_t slash = path.find_last_of('/');
    AnsiString title = slash == AnsiString::npos ? path : path.substr(slash + 1);
    title = title.substr(0, title.find('.'));
    for (size_t i = 1; i < title.size(); ++i) title[i] = LowerCase1252(title[i]);
    return title;
}

AnsiString WithFullStop(const AnsiString& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + '.';
    return message;
}

namespace {

void ShowErrorBox(const AnsiString& title, const AnsiString& message) {
    QMessageBox box(QMessageBox::Critical, ToQString(title), ToQString(message), QMessageBox::Ok);
    box.exec();
}

}  // namespace

TApplication::TApplication(int& argc, char** argv)
    : TComponent(nullptr),
      ErrorBox(ShowErrorBox),
      qtApplication_(std::make_unique<QApplication>(argc, argv)) {
    Application = this;
    // The layout names the fonts it was designed with; these are the metric
    // equivalents a Linux desktop has.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    // Controls start with the class library's default font, so that no text
    // is laid out in the desktop's font first (and that font never loaded).
    QApplication::setFont(ToQFont(TFont{}));
    QApplication::setQuitOnLastWindowClosed(false);
    title_ = FromQString(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    title_ = TitleFromFileName(title_);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/MAINICON.png")));
    screen_ = std::make_unique<TScreen>();
    Screen = screen_.get();
}

TApplication::~TApplication() {
    DestroyForms();
    Screen = nullptr;
    screen_.reset();
    Application = nullptr;
}

void TApplication::Initialize() {}

void TApplication::AdoptForm(std::unique_ptr<TForm> form) {
    if (!mainForm_) mainForm_ = form.get();
    forms_.push_back(std::move(form));
}

void TApplication::DestroyForms() {
    while (!forms_.empty()) {
        if (forms_.back().get() == mainForm_) mainForm_ = nullptr;
        if (forms_.back().get() == activeForm_) activeForm_ = nullptr;
        forms_.pop_back();
    }
}

int TApplication::Run() {
    if (mainForm_) mainForm_->Show();
    return QApplication::exec();
}

void TApplication::Terminate() {
    QApplication::exit(0);
}

bool TApplication::SetActiveForm(TForm* form) {
    return std::exchange(activeForm_, form) != form;
}

void TApplication::Dispatch(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const Exception& error) {
        ShowException(error.Message());
    } catch (const std::bad_alloc&) {
        ShowException("Out of memory");
    } catch (const std::exception& error) {
        ShowException(error.what());
    }
}

void TApplication::ShowException(const AnsiString& message) {
    ErrorBox(title_, WithFullStop(message));
}

}  // namespace platform
