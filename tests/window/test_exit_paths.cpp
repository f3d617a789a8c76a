// Ending the program: the event loop runs as in the program, and one user
// action on the shown window either ends it with exit code 0 or leaves it
// running. (Alt+F4 and the window manager's close box are tested with the
// real executable under a window manager.)

#include "WindowFixture.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

#include <functional>

namespace {

using platform::Application;

struct ExitCase {
    const char* name;
    std::function<void()> act;
    bool ends;
};

void PrintTo(const ExitCase& c, std::ostream* out) {
    *out << c.name;
}

QWidget* Focused() {
    return QApplication::focusWidget();
}

class ExitPaths : public WindowTest, public ::testing::WithParamInterface<ExitCase> {};

TEST_P(ExitPaths, EndTheProgramWithCodeZeroOrLeaveItRunning) {
    const ExitCase& c = GetParam();
    WriteList("Uno=10,10\r\n");
    CreateWindow();

    bool acted = false;
    bool closedAfterwards = false;
    QTimer action;
    action.setSingleShot(true);
    QObject::connect(&action, &QTimer::timeout, [&] {
        QWidget* window = Form1->Handle();
        if (!QTest::qWaitForWindowActive(window)) {
            ADD_FAILURE() << "the window did not become active";
            QApplication::exit(2);
            return;
        }
        // The exit button has the focus when the window is shown.
        EXPECT_TRUE(Form1->BtSalir->Focused());
        EXPECT_EQ(Focused(), Form1->BtSalir->Handle());
        c.act();
        acted = true;
        if (c.ends) return;
        // Still running: give a delayed press (Enter animates its click)
        // time to land, then look.
        QTest::qWait(300);
        EXPECT_TRUE(Form1->Visible());
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(Form1->BtSalir->Focused());
        closedAfterwards = true;
        Form1->Close();
    });
    action.start(0);
    // Should the action not end the loop, this does, with a code the test rejects.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QApplication::exit(99); });
    watchdog.start(30000);

    const int code = Application->Run();
    watchdog.stop();
    EXPECT_TRUE(acted);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(closedAfterwards, !c.ends);
    EXPECT_FALSE(Form1->Visible());
    EXPECT_FALSE(Form1->Handle()->isVisible());
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    UserActions, ExitPaths,
    ::testing::Values(
        ExitCase{"ExitButtonClicked",
                 [] { QTest::mouseClick(Form1->BtSalir->Handle(), Qt::LeftButton); }, true},
        ExitCase{"FormClosed", [] { Form1->Close(); }, true},
        // the close request the window system sends for the close box
        ExitCase{"WindowCloseRequest", [] { Form1->Handle()->windowHandle()->close(); }, true},
        ExitCase{"ReturnOnExitButton", [] { QTest::keyClick(Focused(), Qt::Key_Return); }, true},
        ExitCase{"KeypadEnterOnExitButton",
                 [] { QTest::keyClick(Focused(), Qt::Key_Enter, Qt::KeypadModifier); }, true},
        ExitCase{"SpaceOnExitButton", [] { QTest::keyClick(Focused(), Qt::Key_Space); }, true},
        ExitCase{"LetterSOnExitButton", [] { QTest::keyClick(Focused(), 's'); }, true},
        ExitCase{"CapitalSOnExitButton", [] { QTest::keyClick(Focused(), 'S', Qt::ShiftModifier); }, true},
        ExitCase{"EscapeOnExitButton", [] { QTest::keyClick(Focused(), Qt::Key_Escape); }, false},
        // another letter is no accelerator of the exit button's
        ExitCase{"LetterXOnExitButton", [] { QTest::keyClick(Focused(), 'x'); }, false}),
    [](const ::testing::TestParamInfo<ExitCase>& row) { return std::string(row.param.name); });

}  // namespace
