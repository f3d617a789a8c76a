// The help panel through the real window: the help button shows it over the
// map's top-left corner, a left click on it hides it and returns the marker
// to the last place chosen from the list.

#include "WindowFixture.h"
#include "WindowPointer.h"

#include "TextCodec.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <gmock/gmock.h>

#include <algorithm>
#include <cctype>
#include <string_view>

using platform::AnsiString;
using platform::TMouseButton;
using platform::TObject;
using platform::TShiftState;

namespace {

const QPoint kPanelOnMap(96, 16);
// The panel's text area, inside its 2-pixel border, starts here on the map.
const QPoint kTextAreaOnMap(98, 18);

class HelpPanelTest : public WindowTest {
protected:
    void Load(const std::string& list) {
        WriteList(list);
        CreateAndShowWindow();
        ASSERT_TRUE(errors.empty());
        CountMapPresses();
    }

    void CountMapPresses() {
        const platform::TMouseEvent handler = Form1->Image1->OnMouseDown;
        Form1->Image1->OnMouseDown = [this, handler](TObject* sender, TMouseButton button, TShiftState shift,
                                                     int x, int y) {
            mapPresses.push_back({x, y});
            handler(sender, button, shift, x, y);
        };
    }

    static QPlainTextEdit* Panel() { return static_cast<QPlainTextEdit*>(Form1->Memo1->Handle()); }
    static QWidget* TextArea() { return Panel()->viewport(); }
    // A point of the panel's text area in the main window.
    static QPoint OnPanel(QPoint local) { return pointer::InWindow(TextArea(), local); }

    static void PressHelpButton() {
        const QWidget* button = Form1->BtAyuda->Handle();
        pointer::Click(pointer::InWindow(button, button->rect().center()));
    }

    static void ScrollTo(int h, int v) {
        auto* area = static_cast<QAbstractScrollArea*>(Form1->ScrollBox1->Handle());
        area->horizontalScrollBar()->setValue(h);
        area->verticalScrollBar()->setValue(v);
        ASSERT_EQ(pointer::ViewPosition(), QPoint(h, v));
    }

    static QPoint ViewFor(int x, int y) {
        return {std::clamp(x - 312, 0, Form1->ScrollBox1->HorzScrollBar->Max()),
                std::clamp(y - 220, 0, Form1->ScrollBox1->VertScrollBar->Max())};
    }

    // The panel stands on its place on the map, and its window with it.
    static void ExpectPanelShownOnItsPlace() {
        EXPECT_TRUE(Form1->Memo1->Visible());
        EXPECT_TRUE(Panel()->isVisible());
        const QPoint view = pointer::ViewPosition();
        EXPECT_EQ(QPoint(Form1->Memo1->Left(), Form1->Memo1->Top()) + view, kPanelOnMap);
        EXPECT_EQ(Panel()->geometry(), QRect(kPanelOnMap - view, QSize(425, 400)));
    }

    static void ExpectMarkerAndViewAt(int x, int y) {
        EXPECT_EQ(pointer::MarkerOnMap(), QPoint(x, y));
        EXPECT_EQ(pointer::ViewPosition(), ViewFor(x, y));
    }

    std::vector<QPoint> mapPresses;
};

const char kList[] =
    "Madrid=1734,484\n"
    "Cerca=650,250\n"
    "Lejos=3000,1500\n";

TEST_F(HelpPanelTest, HelpButtonGoesToTheTopLeftCornerEachTime) {
    Load(kList);
    Form1->ComboBox1->ListChoice(2);
    const AnsiString readout = Form1->Edit1->Text();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        PressHelpButton();
        ExpectMarkerAndViewAt(0, 0);
        ExpectPanelShownOnItsPlace();
        // Neither the read-out, the selected entry nor the last choice change.
        EXPECT_EQ(Form1->Edit1->Text(), readout);
        EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 2);
        EXPECT_EQ(Elegido, 2);
        ScrollTo(700, 300);  // the user scrolls; the panel goes with the map
        ExpectPanelShownOnItsPlace();
    }
}

// The help button answers a click and its accelerator Alt+A, wherever the
// focus is.
class OpeningTheHelp : public HelpPanelTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(OpeningTheHelp, ShowsThePanel) {
    Load(kList);
    const std::string how = GetParam();
    if (how == "click") {
        PressHelpButton();
    } else {
        platform::TWinControl* focused = how == "Alt+A in the list" ? static_cast<platform::TWinControl*>(Form1->ComboBox1)
                                         : how == "Alt+A in the read-out" ? static_cast<platform::TWinControl*>(Form1->Edit1)
                                                                           : Form1->BtSalir;
        focused->SetFocus();
        ASSERT_TRUE(focused->Focused());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
        // The accelerator presses the button visibly: the click follows shortly.
        EXPECT_TRUE(QTest::qWaitFor([] { return Form1->Memo1->Visible(); }));
    }
    ExpectMarkerAndViewAt(0, 0);
    ExpectPanelShownOnItsPlace();
}

INSTANTIATE_TEST_SUITE_P(HelpPanel, OpeningTheHelp,
                         ::testing::Values("click", "Alt+A on the exit button", "Alt+A in the list",
                                           "Alt+A in the read-out"),
                         [](const auto& test) {
                             std::string name;
                             for (const char c : std::string_view(test.param))
                                 if (std::isalnum(static_cast<unsigned char>(c))) name += c;
                             return name;
                         });

TEST_F(HelpPanelTest, MapAndListWorkAsUsualWhileItIsShown) {
    Load(kList);
    PressHelpButton();

    // A press on the map beside the panel.
    pointer::Click(pointer::MapPoint(700, 300));
    EXPECT_EQ(mapPresses, std::vector<QPoint>{QPoint(700, 300)});
    EXPECT_EQ(Form1->Edit1->Text(), "700  300");
    EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 1);
    ExpectMarkerAndViewAt(650, 250);
    ExpectPanelShownOnItsPlace();

    // A choice from the list.
    Form1->ComboBox1->ListChoice(0);
    EXPECT_EQ(Elegido, 0);
    EXPECT_EQ(Form1->Edit1->Text(), "1734  484");
    ExpectMarkerAndViewAt(1734, 484);
    ExpectPanelShownOnItsPlace();
}

TEST_F(HelpPanelTest, ClosingReturnsToTheLastChoiceNotToThePressedPlace) {
    Load(kList);
    Form1->ComboBox1->ListChoice(0);
    PressHelpButton();
    pointer::Click(pointer::MapPoint(660, 260));  // finds Cerca
    ASSERT_EQ(Form1->ComboBox1->ItemIndex(), 1);
    ScrollTo(0, 0);

    pointer::Click(OnPanel({200, 200}));
    EXPECT_FALSE(Form1->Memo1->Visible());
    EXPECT_FALSE(Panel()->isVisible());
    ExpectMarkerAndViewAt(1734, 484);
    EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 1);
    EXPECT_EQ(Form1->ComboBox1->Text(), " Cerca");
    EXPECT_EQ(Form1->Edit1->Text(), "660  260");
    EXPECT_EQ(Elegido, 0);
    EXPECT_EQ(mapPresses.size(), 1u);
}

// Before any choice the panel closes onto place 0, which is (0, 0) when the
// list is empty or was never read.
struct FirstPlace {
    const char* label;
    const char* list;  // nullptr: no list file
    QPoint place;
};

class ClosingBeforeAnyChoice : public HelpPanelTest, public ::testing::WithParamInterface<FirstPlace> {};

TEST_P(ClosingBeforeAnyChoice, GoesToPlaceZero) {
    const FirstPlace& c = GetParam();
    if (c.list) WriteList(c.list);
    CreateAndShowWindow();
    ASSERT_EQ(errors.size(), c.list ? 0u : 1u);
    PressHelpButton();
    pointer::Click(OnPanel({100, 100}));
    EXPECT_FALSE(Form1->Memo1->Visible());
    ExpectMarkerAndViewAt(c.place.x(), c.place.y());
    EXPECT_EQ(Elegido, 0);
}

INSTANTIATE_TEST_SUITE_P(HelpPanel, ClosingBeforeAnyChoice,
                         ::testing::Values(FirstPlace{"Listed", "Lejos=3000,1500\nMadrid=1734,484\n", {3000, 1500}},
                                           FirstPlace{"EmptyList", "", {0, 0}},
                                           FirstPlace{"NoList", nullptr, {0, 0}}),
                         [](const auto& test) { return std::string(test.param.label); });

// --- What does not close it ---

TEST_F(HelpPanelTest, PressReleasedOutsideTheTextAreaLeavesItShown) {
    Load(kList);
    PressHelpButton();
    const QPoint borderOutside = OnPanel({-1, 200});       // on the panel's border
    const QPoint onTheMap = pointer::MapPoint(700, 500);  // beside the panel
    for (const QPoint release : {borderOutside, onTheMap}) {
        pointer::Press(OnPanel({200, 200}));
        pointer::Release(release);
        EXPECT_TRUE(Form1->Memo1->Visible());
    }
    // A click on the border is not on the text area either, nor on the map.
    pointer::Click(borderOutside);
    EXPECT_TRUE(Form1->Memo1->Visible());
    EXPECT_TRUE(mapPresses.empty());
    ExpectMarkerAndViewAt(0, 0);

    pointer::Click(OnPanel({200, 200}));
    EXPECT_FALSE(Form1->Memo1->Visible());
}

TEST_F(HelpPanelTest, OtherButtonsAndKeysDoNotCloseItAndTypingChangesNothing) {
    Load(kList);
    PressHelpButton();
    const QString text = Panel()->toPlainText();
    for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
        pointer::Press(OnPanel({200, 200}), button);
        // A context menu may have opened; it is not the panel's business.
        if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        pointer::Release(OnPanel({200, 200}), button);
        EXPECT_TRUE(Form1->Memo1->Visible()) << button;
    }

    Form1->Memo1->SetFocus();
    ASSERT_TRUE(Form1->Memo1->Focused());
    QTest::keyClicks(Panel(), "abc xyz");
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Escape})
        QTest::keyClick(Panel(), key);
    QTest::keyClick(Panel(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Panel(), Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(Panel(), Qt::Key_V, Qt::ControlModifier);

    EXPECT_TRUE(Form1->Memo1->Visible());
    EXPECT_EQ(Panel()->toPlainText(), text);
    EXPECT_TRUE(mapPresses.empty());
    ExpectMarkerAndViewAt(0, 0);
}

// --- Focus ---

TEST_F(HelpPanelTest, TakesTheFocusByTabOnlyWhileShownAndScrollsIntoView) {
    Load(kList);
    Form1->BtSalir->SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(Form1->ComboBox1->Focused());
    EXPECT_FALSE(Form1->Memo1->Focused());

    PressHelpButton();
    ScrollTo(300, 100);
    Form1->BtSalir->SetFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(Form1->Memo1->Focused());
    // The least scroll that shows the whole text area, its left and top edges.
    EXPECT_EQ(pointer::ViewPosition(), kTextAreaOnMap);
    ExpectPanelShownOnItsPlace();
    EXPECT_EQ(pointer::MarkerOnMap(), QPoint(0, 0));
}

// A press on the panel partly out of view gives it the focus, which scrolls
// the view first; the click then counts only if released over the panel.
class PressOnPanelOutOfView : public HelpPanelTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PressOnPanelOutOfView, ScrollsItIntoViewAndClosesOnlyIfReleasedOverIt) {
    const bool releaseOverPanel = GetParam();
    Load(kList);
    Form1->ComboBox1->ListChoice(1);
    PressHelpButton();
    ASSERT_FALSE(Form1->Memo1->Focused());
    ScrollTo(200, 100);  // the panel's left 104 and top 84 pixels are out of view

    const QPoint pressed = pointer::MapPoint(210, 110);  // 10, 10 into the view: on the panel
    pointer::Press(pressed);
    EXPECT_TRUE(Form1->Memo1->Focused());
    EXPECT_EQ(pointer::ViewPosition(), kTextAreaOnMap);
    ExpectPanelShownOnItsPlace();

    // The same point of the screen, or one the panel left when it moved right.
    const QPoint released = releaseOverPanel ? pressed : pointer::MapPoint(98 + 430, 18 + 10);
    pointer::Release(released);
    EXPECT_EQ(Form1->Memo1->Visible(), !releaseOverPanel);
    if (releaseOverPanel) ExpectMarkerAndViewAt(650, 250);  // Elegido's place
    EXPECT_TRUE(mapPresses.empty());
}

INSTANTIATE_TEST_SUITE_P(HelpPanel, PressOnPanelOutOfView, ::testing::Bool(),
                         [](const auto& test) { return test.param ? "ReleasedOverIt" : "ReleasedBesideIt"; });

TEST_F(HelpPanelTest, DoubleClickClosesOnTheFirstClickAndPressesTheMapWithTheSecond) {
    Load(kList);
    PressHelpButton();
    const QPoint at = OnPanel({200, 200});
    // Where that point lies in the map view's client area; the first click
    // takes the view to place 0 (Elegido), where the second press lands.
    const QPoint inView = Form1->ScrollBox1->ClientHandle()->mapFrom(Form1->Handle(), at);
    const QPoint mapPoint = inView + ViewFor(1734, 484);

    pointer::DoubleClick(at);
    EXPECT_FALSE(Form1->Memo1->Visible());
    EXPECT_EQ(mapPresses, std::vector<QPoint>{mapPoint});
    EXPECT_EQ(Form1->Edit1->Text(), std::to_string(mapPoint.x()) + "  " + std::to_string(mapPoint.y()));
    EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 0);  // Madrid is the nearest
    ExpectMarkerAndViewAt(1734, 484);
}

// --- The text ---

std::vector<AnsiString> HelpLines() {
    std::vector<AnsiString> lines;
    for (int i = 0; i < Form1->Memo1->Lines().Count(); ++i) lines.push_back(Form1->Memo1->Lines()[i]);
    return lines;
}

size_t Indent(const AnsiString& line) {
    const size_t first = line.find_first_not_of(' ');
    return first == AnsiString::npos ? line.size() : first;
}

TEST_F(HelpPanelTest, TextHoldsTheQuotedPiecesFiguresAndLayout) {
    CreateWindow();
    const std::vector<AnsiString> lines = HelpLines();
    ASSERT_GE(lines.size(), 12u);
    AnsiString text;
    for (const AnsiString& line : lines) text += line + "\n";

    using ::testing::Contains;
    using ::testing::EndsWith;
    using ::testing::HasSubstr;
    EXPECT_THAT(text, HasSubstr("\"3752 x 1914\""));
    EXPECT_THAT(text, HasSubstr("\"Lista de Pa\xEDses\""));
    EXPECT_THAT(text, HasSubstr("\"Nombres.txt\""));
    EXPECT_THAT(text, HasSubstr("Hay 246 en la lista actual."));
    EXPECT_THAT(text, HasSubstr(" 300"));
    EXPECT_THAT(lines, Contains(AnsiString("  1.- Buscar un Lugar:")));
    EXPECT_THAT(lines, Contains(AnsiString("  2.- Buscar un Nombre: ")));
    EXPECT_EQ(lines.back(), "");
    EXPECT_THAT(lines[lines.size() - 2], EndsWith("CLIC PARA CERRAR"));

    // Paragraphs open with twelve blanks, the text and each section included;
    // every other line has at most two.
    int paragraphs = 0;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const size_t indent = Indent(lines[i]);
        EXPECT_TRUE(indent == 12 || indent == 1 || indent == 2) << i << ": " << lines[i];
        if (indent == 12) ++paragraphs;
    }
    EXPECT_EQ(Indent(lines[0]), 12u);
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == "  1.- Buscar un Lugar:" || lines[i] == "  2.- Buscar un Nombre: ") {
            EXPECT_EQ(Indent(lines[i + 1]), 12u) << lines[i + 1];
        }
    EXPECT_EQ(paragraphs, 10);

    // The panel shows the same text, decoded from Windows-1252.
    QStringList shown;
    for (const AnsiString& line : lines) shown << platform::ToQString(line);
    EXPECT_EQ(Panel()->toPlainText(), shown.join(QLatin1Char('\n')));
    EXPECT_THAT(Panel()->toPlainText().toStdString(), HasSubstr("\"Lista de Pa\u00EDses\""));
    EXPECT_TRUE(Form1->Memo1->ReadOnly());
    EXPECT_TRUE(Panel()->isReadOnly());
}

}  // namespace
