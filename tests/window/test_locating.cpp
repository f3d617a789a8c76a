// Locating a place through the real window: a choice from the drop-down list,
// and a press on the map that finds the nearest listed place.

#include "WindowFixture.h"
#include "WindowPointer.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <ostream>
#include <tuple>

using platform::TMouseButton;
using platform::TObject;
using platform::TShiftState;

namespace {

// What the user sees of a place found: read-out, selected entry, marker and
// view, and the last choice from the list.
struct Shown {
    std::string readout;
    int itemIndex;
    QPoint marker;
    QPoint view;
    int elegido;
    friend bool operator==(const Shown&, const Shown&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Shown& s) {
        return out << "readout '" << s.readout << "', entry " << s.itemIndex << ", marker (" << s.marker.x()
                   << ", " << s.marker.y() << "), view (" << s.view.x() << ", " << s.view.y() << "), Elegido "
                   << s.elegido;
    }
};

class LocatingTest : public WindowTest {
protected:
    // Shows the window with this list loaded, and counts the presses that
    // reach the map picture's handler.
    void Load(const std::string& list) {
        WriteList(list);
        CreateAndShowWindow();
        ASSERT_TRUE(errors.empty());
        const platform::TMouseEvent handler = Form1->Image1->OnMouseDown;
        ASSERT_TRUE(handler);
        Form1->Image1->OnMouseDown = [this, handler](TObject* sender, TMouseButton button, TShiftState shift,
                                                     int x, int y) {
            presses.emplace_back(x, y);
            handler(sender, button, shift, x, y);
        };
    }

    static Shown Now() {
        return {Form1->Edit1->Text(), Form1->ComboBox1->ItemIndex(), pointer::MarkerOnMap(),
                pointer::ViewPosition(), Elegido};
    }

    // Where SituarMarca leaves the view for a place.
    static QPoint ViewFor(int x, int y) {
        const auto* box = Form1->ScrollBox1;
        return {std::clamp(x >= 312 ? x - 312 : 0, 0, box->HorzScrollBar->Max()),
                std::clamp(y >= 220 ? y - 220 : 0, 0, box->VertScrollBar->Max())};
    }

    // Moves the view with its scroll bars, as the user does.
    static void ScrollTo(int h, int v) {
        auto* area = static_cast<QAbstractScrollArea*>(Form1->ScrollBox1->Handle());
        area->horizontalScrollBar()->setValue(h);
        area->verticalScrollBar()->setValue(v);
        ASSERT_EQ(pointer::ViewPosition(),
                  QPoint(std::clamp(h, 0, Form1->ScrollBox1->HorzScrollBar->Max()),
                         std::clamp(v, 0, Form1->ScrollBox1->VertScrollBar->Max())));
    }

    // Scrolls the map point into the middle of the view if it is not shown.
    static void BringIntoView(int x, int y) {
        const QPoint view = pointer::ViewPosition();
        const int width = Form1->ScrollBox1->ClientWidth();
        const int height = Form1->ScrollBox1->ClientHeight();
        if (x < view.x() || x >= view.x() + width || y < view.y() || y >= view.y() + height)
            ScrollTo(x - width / 2, y - height / 2);
    }

    void PressMap(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        BringIntoView(x, y);
        pointer::Click(pointer::MapPoint(x, y), button);
    }

    static std::string Readout(int x, int y) { return std::to_string(x) + "  " + std::to_string(y); }

    // What a press at (x, y) that finds place k shows.
    static Shown Found(int x, int y, int k, int elegido = 0) {
        return {Readout(x, y), k, QPoint(CoordX[k], CoordY[k]), ViewFor(CoordX[k], CoordY[k]), elegido};
    }

    std::vector<std::pair<int, int>> presses;
};

// --- The nearest-place search ---

const char kSearchList[] =
    "Lejos=3700,1900\n"  // 0: far from every press below but its own
    "A=200,200\n"
    "B=210,200\n"
    "C=600,1500\n"
    "D=600,1500\n"  // same place as C
    "P=2600,300\n";

struct SearchCase {
    const char* label;
    int x, y;
    int found;
};

class NearestPlace : public LocatingTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(NearestPlace, PressFindsTheNearestPlaceStrictlyWithin1000Pixels) {
    const SearchCase& c = GetParam();
    Load(kSearchList);
    PressMap(c.x, c.y);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(Now(), Found(c.x, c.y, c.found));
    EXPECT_EQ(Form1->ComboBox1->Text(), Form1->ComboBox1->Items()[c.found]);
    EXPECT_TRUE(errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Locating, NearestPlace,
    ::testing::Values(SearchCase{"NothingWithin1000TakesEntry0WhereverItIs", 1800, 1900, 0},
                      SearchCase{"OwnPlace", 3690, 1890, 0},
                      SearchCase{"Dx600Dy800IsNotChosen", 2000, 1100, 0},
                      SearchCase{"Dx600Dy799IsChosen", 2000, 1099, 5},
                      SearchCase{"Dx800Dy600IsNotChosen", 1800, 900, 0},
                      SearchCase{"Dx799Dy600IsChosen", 1801, 900, 5},
                      SearchCase{"TieGoesToTheLowerIndex", 205, 200, 1},
                      SearchCase{"NearerLaterPlaceWins", 209, 200, 2},
                      SearchCase{"EqualCoordinatesGoToTheLowerIndex", 603, 1504, 3},
                      SearchCase{"EqualCoordinatesFromFarAway", 1500, 1500, 3}),
    [](const auto& test) { return std::string(test.param.label); });

// A list never read (the tables all zero, Ultimo 0) and an empty one
// (Ultimo -1) both put the marker on (0, 0) and select nothing.
class WithoutPlaces : public LocatingTest,
                      public ::testing::WithParamInterface<std::tuple<const char*, int, int>> {};

TEST_P(WithoutPlaces, PressMarksZeroZero) {
    const auto [kind, x, y] = GetParam();
    if (std::string(kind) == "never read") {
        CreateAndShowWindow();  // no list file: nothing is read
        ASSERT_EQ(errors.size(), 1u);
        ASSERT_EQ(Ultimo, 0);
    } else {
        WriteList("");
        CreateAndShowWindow();
        ASSERT_EQ(Ultimo, -1);
    }
    BringIntoView(x, y);
    pointer::Click(pointer::MapPoint(x, y));
    EXPECT_EQ(Now(), (Shown{Readout(x, y), -1, QPoint(0, 0), QPoint(0, 0), 0}));
}

INSTANTIATE_TEST_SUITE_P(Locating, WithoutPlaces,
                         ::testing::Combine(::testing::Values("never read", "empty"),
                                            ::testing::Values(2000), ::testing::Values(1000, 30)));

// --- Which presses reach the map ---

TEST_F(LocatingTest, PressInsideTheMarkerSquareDoesNothingAndOnePixelOutsideIsOnTheMap) {
    Load("Cero=100,100\nMadrid=1734,484\n");
    PressMap(1720, 470);  // finds Madrid: the marker's square is 1734..1745 x 484..495
    ASSERT_EQ(Now(), Found(1720, 470, 1));
    const Shown before = Now();
    presses.clear();

    const QPoint inside[] = {{1734, 484}, {1745, 484}, {1734, 495}, {1745, 495}, {1739, 489}};
    for (const QPoint p : inside) {
        pointer::Click(pointer::MapPoint(p.x(), p.y()));
        EXPECT_TRUE(presses.empty()) << p.x() << ", " << p.y();
        EXPECT_EQ(Now(), before) << p.x() << ", " << p.y();
    }

    const QPoint outside[] = {{1733, 484}, {1734, 483}, {1746, 490}, {1740, 496}};
    for (const QPoint p : outside) {
        presses.clear();
        pointer::Click(pointer::MapPoint(p.x(), p.y()));
        EXPECT_EQ(presses.size(), 1u) << p.x() << ", " << p.y();
        EXPECT_EQ(Now(), Found(p.x(), p.y(), 1)) << p.x() << ", " << p.y();
    }
}

class PressButtons : public LocatingTest, public ::testing::WithParamInterface<Qt::MouseButton> {};

TEST_P(PressButtons, ActOnPressNotOnRelease) {
    Load("Cero=100,100\nMadrid=1734,484\nParis=1865,400\n");
    const QPoint at = pointer::MapPoint(1850, 420);
    pointer::Press(at, GetParam());
    EXPECT_EQ(presses.size(), 1u);
    EXPECT_EQ(Now(), Found(1850, 420, 2));
    pointer::Release(at, GetParam());
    EXPECT_EQ(presses.size(), 1u);
    EXPECT_EQ(Now(), Found(1850, 420, 2));
}

INSTANTIATE_TEST_SUITE_P(Locating, PressButtons,
                         ::testing::Values(Qt::LeftButton, Qt::RightButton, Qt::MiddleButton));

TEST_F(LocatingTest, DoubleClickRunsThePressTwiceWithTheSameResult) {
    Load("Islandia=150,100\nCero=3000,1500\n");
    Form1->ComboBox1->ListChoice(1);
    PressMap(160, 120);  // the view goes to (0, 0) and stays there for Islandia
    presses.clear();

    pointer::DoubleClick(pointer::MapPoint(160, 121));
    EXPECT_EQ(presses, (std::vector<std::pair<int, int>>{{160, 121}, {160, 121}}));
    EXPECT_EQ(Now(), Found(160, 121, 0, 1));
}

TEST_F(LocatingTest, SameMapPointAtAnyScrollPositionGivesTheSameResult) {
    Load("Cero=100,100\nMadrid=1734,484\nParis=1865,400\n");
    const int width = Form1->ScrollBox1->ClientWidth();
    const int height = Form1->ScrollBox1->ClientHeight();
    // Where the point stands in the view's client area.
    const QPoint inView[] = {{5, 5}, {300, 200}, {width - 6, height - 6}, {width - 6, 5}};
    for (const QPoint p : inView) {
        ScrollTo(1850 - p.x(), 430 - p.y());
        pointer::Click(pointer::MapPoint(1850, 430));
        EXPECT_EQ(Now(), Found(1850, 430, 2)) << "at " << p.x() << ", " << p.y() << " in the view";
    }
    const std::vector<std::pair<int, int>> expected(std::size(inView), {1850, 430});
    EXPECT_EQ(presses, expected);
}

// --- Choices from the list ---

TEST_F(LocatingTest, PressKeepsTheLastChoiceWhichTheNextChoiceReplaces) {
    Load("Cero=100,100\nMadrid=1734,484\nSur=-20,-5\nParis=1865,400\n");

    // A choice shows the place's own coordinates, negative ones too.
    Form1->ComboBox1->ListChoice(2);
    EXPECT_EQ(Now(), (Shown{"-20  -5", 2, QPoint(-20, -5), QPoint(0, 0), 2}));
    EXPECT_EQ(Form1->ComboBox1->Text(), " Sur");

    PressMap(1700, 470);
    EXPECT_EQ(Now(), Found(1700, 470, 1, /*elegido=*/2));
    EXPECT_EQ(Form1->ComboBox1->Text(), " Madrid");

    Form1->ComboBox1->ListChoice(3);
    EXPECT_EQ(Now(), (Shown{"1865  400", 3, QPoint(1865, 400), ViewFor(1865, 400), 3}));
}

TEST_F(LocatingTest, ClickInTheOpenedListIsAChoice) {
    Load("Cero=100,100\nMadrid=1734,484\nParis=1865,400\n");
    PressMap(1700, 470);
    ASSERT_EQ(Elegido, 0);

    auto* combo = static_cast<QComboBox*>(Form1->ComboBox1->Handle());
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    // A release too soon after opening belongs to the click that opened it.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                      list->visualRect(list->model()->index(2, 0)).center());
    EXPECT_FALSE(list->window()->isVisible());
    EXPECT_EQ(Now(), (Shown{"1865  400", 2, QPoint(1865, 400), ViewFor(1865, 400), 2}));
    EXPECT_EQ(Form1->ComboBox1->Text(), " Paris");
}

TEST_F(LocatingTest, ClickWithNothingSelectedChangesNothing) {
    Load("Cero=100,100\nMadrid=1734,484\nParis=1865,400\n");
    const auto clickUnselected = [] {
        const Shown before = Now();
        Form1->ComboBox1->SetItemIndex(-1);
        Form1->ComboBox1->Click();
        EXPECT_EQ(Now(), (Shown{before.readout, -1, before.marker, before.view, before.elegido}));
    };
    clickUnselected();  // before any choice
    Form1->ComboBox1->ListChoice(2);
    clickUnselected();  // after one
    EXPECT_EQ(Elegido, 2);
    EXPECT_TRUE(errors.empty());
}

// --- Places far outside the map ---

TEST_F(LocatingTest, FarPlacesNeitherOverflowNorGetChosen) {
    Load("Oeste=$80000000,\nEste=$7FFFFFFF,\nMadrid=1734,484\nNorte=0,-9999\n");
    ASSERT_EQ(CoordX[0], INT_MIN);
    ASSERT_EQ(CoordX[1], INT_MAX);
    ASSERT_EQ(CoordY[3], -9999);

    // The map's corners and a point below Madrid: each measures every place,
    // and none is within 1000 pixels.
    const QPoint corners[] = {{5, 5}, {3731, 0}, {0, 1913}, {3731, 1913}, {1734, 1600}};
    for (const QPoint p : corners) {
        PressMap(p.x(), p.y());
        EXPECT_EQ(Now(), Found(p.x(), p.y(), 0)) << p.x() << ", " << p.y();
    }
    PressMap(1700, 470);
    EXPECT_EQ(Now(), Found(1700, 470, 2));

    // Chosen from the list they are marked and shown as they are.
    Form1->ComboBox1->ListChoice(0);
    EXPECT_EQ(Now(), (Shown{"-2147483648  0", 0, QPoint(INT_MIN, 0), QPoint(0, 0), 0}));
    Form1->ComboBox1->ListChoice(1);
    EXPECT_EQ(Now(), (Shown{"2147483647  0", 1, QPoint(INT_MAX, 0), ViewFor(INT_MAX, 0), 1}));
    Form1->ComboBox1->ListChoice(3);
    EXPECT_EQ(Now(), (Shown{"0  -9999", 3, QPoint(0, -9999), QPoint(0, 0), 3}));
    EXPECT_TRUE(errors.empty());
}

}  // namespace
