#pragma once

#include "Component.h"
#include "Exceptions.h"

#include <functional>
#include <memory>
#include <new>
#include <vector>

class QApplication;

namespace platform {

class TForm;
class TScreen;

// The application's title: the program file's name without its folder, cut at
// its first dot, every character after the first in lower case.
AnsiString TitleFromFileName(const AnsiString& path);
// A message gets a full stop when its last character comes after "." in the
// 8-bit order.
AnsiString WithFullStop(const AnsiString& message);

// The application object: its title and icon, the forms it owns, the event
// loop, and the error box for exceptions that leave an event handler.
class TApplication : public TComponent {
public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    void Initialize();

    // Creates a form of class T. The reference is filled before the form's
    // construction begins, so it already names the form while its layout is
    // read and its creation handler runs. The first form is the main form.
    template <class T>
    void CreateForm(T*& reference) {
        void* memory = ::operator new(sizeof(T));
        reference = static_cast<T*>(memory);
        T* form = nullptr;
        try {
            form = new (memory) T(this);
        } catch (...) {
            ::operator delete(memory);
            reference = nullptr;
            throw;
        }
        AdoptForm(std::unique_ptr<TForm>(form));
    }
    // Destroys every form, newest first.
    void DestroyForms();

    // Shows the main form and dispatches events until Terminate; returns the
    // process's exit code.
    int Run();
    void Terminate();

    const AnsiString& Title() const { return title_; }
    TForm* MainForm() const { return mainForm_; }
    TForm* ActiveForm() const { return activeForm_; }
    // False when the form already was the application's focused form.
    bool SetActiveForm(TForm* form);

    // Runs an event handler; an exception that leaves it is shown in the
    // error box and the program goes on.
    void Dispatch(const std::function<void()>& handler);
    void ShowException(const AnsiString& message);

    // How an error box is shown: a modal message box with the stop icon and
    // one OK button. Tests replace it to read what would be shown.
    std::function<void(const AnsiString& title, const AnsiString& message)> ErrorBox;

private:
    void AdoptForm(std::unique_ptr<TForm> form);

    std::unique_ptr<QApplication> qtApplication_;
    std::unique_ptr<TScreen> screen_;
    AnsiString title_;
    std::vector<std::unique_ptr<TForm>> forms_;
    TForm* mainForm_ = nullptr;
    TForm* activeForm_ = nullptr;
};

extern TApplication* Application;

}  // namespace platform
