// Creates and shows the main window on the screen the platform gives this
// process and prints what the window became, one "name value" line each. The
// screen is fixed per process, so each screen width runs in its own probe.

#include "Unit1.h"

#include "Screen.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv) {
    platform::TApplication application(argc, argv);
    int errorBoxes = 0;
    // The probe runs where no list file is; the error box that brings is no
    // concern of this probe's.
    application.ErrorBox = [&errorBoxes](const platform::AnsiString&, const platform::AnsiString&) {
        ++errorBoxes;
    };
    const auto print = [](const char* name, int value) { std::printf("%s %d\n", name, value); };

    application.CreateForm(Form1);
    const QScreen* screen = QGuiApplication::primaryScreen();
    print("screen.width", platform::Screen->Width());
    print("screen.height", screen ? screen->geometry().height() : -1);
    print("form.left", Form1->Left());
    print("form.top", Form1->Top());
    print("form.width", Form1->Width());
    print("form.height", Form1->Height());
    print("view.width", Form1->ScrollBox1->Width());
    print("view.height", Form1->ScrollBox1->Height());
    print("dropdown.count", Form1->ComboBox1->DropDownCount());
    print("dropdown.item_height", Form1->ComboBox1->ItemHeight());

    Form1->Show();
    QWidget* window = Form1->Handle();
    const bool exposed = QTest::qWaitForWindowExposed(window);
    print("shown.exposed", exposed ? 1 : 0);
    const QRect frame = window->frameGeometry();
    print("shown.left", frame.x());
    print("shown.top", frame.y());
    print("shown.width", frame.width());
    print("shown.height", frame.height());
    print("shown.form.width", Form1->Width());
    print("shown.form.height", Form1->Height());
    const QWidget* view = Form1->ScrollBox1->Handle();
    print("shown.view.width", view->width());
    print("shown.view.height", view->height());
    print("shown.dropdown.count", static_cast<const QComboBox*>(Form1->ComboBox1->Handle())->maxVisibleItems());
    print("error_boxes", errorBoxes);
    std::fflush(stdout);
    application.DestroyForms();
    return 0;
}
