// The map view: SituarMarca's outcome at the edges of the map, the scroll
// box's positions and how its children follow them, the user's scroll bars,
// repainting after a scroll, and which child a press reaches.

#include "CountingForm.h"
#include "PaintRecorder.h"
#include "WindowPointer.h"
#include "WindowFixture.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

namespace {

using platform::Application;
using platform::TControlScrollBar;

constexpr int kMapWidth = 3732;
constexpr int kMapHeight = 1914;

platform::TScrollBox& View() {
    return *Form1->ScrollBox1;
}

// What a test expects of one axis: a fixed number, the largest position, or
// a client position measured back from the client area's far edge.
struct Figure {
    enum Kind { Fixed, Largest, FromFarEdge } kind;
    int value;
    int Resolve(int largest, int client) const {
        switch (kind) {
            case Largest: return largest;
            case FromFarEdge: return client - value;
            case Fixed: break;
        }
        return value;
    }
};
constexpr Figure At(int value) { return {Figure::Fixed, value}; }
constexpr Figure Largest() { return {Figure::Largest, 0}; }
constexpr Figure ShortOfFarEdge(int value) { return {Figure::FromFarEdge, value}; }

struct MarkCase {
    const char* what;
    int x, y;
    Figure h, v;         // the view's positions
    Figure left, top;    // the marker in the client area
};

class MapViewTest : public WindowTest {
protected:
    // Positions and the marker's and picture's client places, all consistent.
    void ExpectView(int h, int v, int markerX, int markerY) const {
        EXPECT_EQ(View().HorzScrollBar->Position(), h);
        EXPECT_EQ(View().VertScrollBar->Position(), v);
        // Every child stands at its content position less the view's.
        EXPECT_EQ(Form1->Image1->Left(), -h);
        EXPECT_EQ(Form1->Image1->Top(), -v);
        EXPECT_EQ(Form1->Marca->Left(), markerX - h);
        EXPECT_EQ(Form1->Marca->Top(), markerY - v);
        EXPECT_EQ(Form1->Memo1->Left(), 96 - h);
        EXPECT_EQ(Form1->Memo1->Top(), 16 - v);
        // The help panel's own window stands where the control says.
        EXPECT_EQ(Form1->Memo1->Handle()->pos(), QPoint(96 - h, 16 - v));
    }

    long long PositionChanges() const {
        return View().HorzScrollBar->PositionChanges() + View().VertScrollBar->PositionChanges();
    }

    QAbstractScrollArea* Area() const { return static_cast<QAbstractScrollArea*>(View().Handle()); }
    QScrollBar* Bar(Qt::Orientation orientation) const {
        return orientation == Qt::Horizontal ? Area()->horizontalScrollBar() : Area()->verticalScrollBar();
    }

    // A press on a client point of the view. (QTest takes the point (0, 0)
    // for the widget's centre, so the events are made here.)
    void PressClient(QPoint at, Qt::MouseButton button) const {
        QWidget* viewport = MapViewport();
        const QPointF global = viewport->mapToGlobal(QPointF(at));
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, button, button, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, button, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
    }

    // Where a part (arrow, trough, thumb) of a scroll bar lies, as the style
    // draws it.
    static QRect PartOf(QScrollBar* bar, QStyle::SubControl part) {
        return pointer::ScrollBarPart(bar, part);
    }
};

// ---------------------------------------------------------------------------
// SituarMarca

TEST_F(MapViewTest, SituarMarcaPutsTheMarkerOnThePointAndTheViewAsFarAsTheMapAllows) {
    const MarkCase cases[] = {
        {"map's top-left corner", 0, 0, At(0), At(0), At(0), At(0)},
        {"no scrolling", 100, 50, At(0), At(0), At(100), At(50)},
        {"last point without scrolling", 312, 220, At(0), At(0), At(312), At(220)},
        {"first point that scrolls", 313, 221, At(1), At(1), At(312), At(220)},
        {"only across", 313, 220, At(1), At(0), At(312), At(220)},
        {"only down", 312, 221, At(0), At(1), At(312), At(220)},
        {"the start point", 1734, 484, At(1422), At(264), At(312), At(220)},
        // the square ends 20 px short of the right edge and 2 px short of the bottom
        {"near the bottom-right corner", 3700, 1900, Largest(), Largest(), ShortOfFarEdge(32),
         ShortOfFarEdge(14)},
        // 7 columns and 4 rows of the square lie on the map
        {"partly beyond the corner", 3725, 1910, Largest(), Largest(), ShortOfFarEdge(7), ShortOfFarEdge(4)},
        {"wholly before the map", -20, -20, At(0), At(0), At(-20), At(-20)},
        {"partly left of the map", -5, 10, At(0), At(0), At(-5), At(10)},
        {"just beyond the map", kMapWidth, kMapHeight, Largest(), Largest(), ShortOfFarEdge(0),
         ShortOfFarEdge(0)},
        {"far beyond the map", 5000, 3000, Largest(), Largest(), ShortOfFarEdge(-1268), ShortOfFarEdge(-1086)},
        {"beyond the right edge only", 4000, 300, Largest(), At(80), ShortOfFarEdge(-268), At(220)},
        {"largest coordinates", INT_MAX, INT_MAX, Largest(), Largest(),
         ShortOfFarEdge(kMapWidth - INT_MAX), ShortOfFarEdge(kMapHeight - INT_MAX)},
        {"smallest coordinates", INT_MIN, INT_MIN, At(0), At(0), At(INT_MIN), At(INT_MIN)},
        {"smallest and largest", INT_MIN, INT_MAX, At(0), Largest(), At(INT_MIN),
         ShortOfFarEdge(kMapHeight - INT_MAX)},
        {"back to the start point", 1734, 484, At(1422), At(264), At(312), At(220)},
    };
    CreateWindow();
    for (const bool shown : {false, true}) {
        if (shown) ShowWindow();
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (shown ? ", window shown" : ", before showing"));
            const long long changesBefore = PositionChanges();
            Form1->SituarMarca(c.x, c.y);
            EXPECT_LE(PositionChanges() - changesBefore, 4);

            const int clientWidth = View().ClientWidth();
            const int clientHeight = View().ClientHeight();
            const int hmax = View().HorzScrollBar->Max();
            const int vmax = View().VertScrollBar->Max();
            EXPECT_EQ(hmax, kMapWidth - clientWidth);
            EXPECT_EQ(vmax, kMapHeight - clientHeight);
            const int h = c.h.Resolve(hmax, clientWidth);
            const int v = c.v.Resolve(vmax, clientHeight);
            EXPECT_TRUE(Form1->Marca->Visible());
            EXPECT_EQ(View().HorzScrollBar->Position(), h);
            EXPECT_EQ(View().VertScrollBar->Position(), v);
            EXPECT_EQ(Form1->Marca->Left(), c.left.Resolve(hmax, clientWidth));
            EXPECT_EQ(Form1->Marca->Top(), c.top.Resolve(vmax, clientHeight));
            EXPECT_EQ(Form1->Marca->Width(), 12);
            EXPECT_EQ(Form1->Marca->Height(), 12);
            // the picture fills the client area at every position
            EXPECT_EQ(Form1->Image1->Left(), -h);
            EXPECT_EQ(Form1->Image1->Top(), -v);
            EXPECT_GE(Form1->Image1->BoundsRect().Right, clientWidth);
            EXPECT_GE(Form1->Image1->BoundsRect().Bottom, clientHeight);
        }
    }
    // The edge cases named by their look on screen.
    Form1->SituarMarca(3700, 1900);
    EXPECT_EQ(View().ClientWidth() - Form1->Marca->BoundsRect().Right, 20);
    EXPECT_EQ(View().ClientHeight() - Form1->Marca->BoundsRect().Bottom, 2);
    Form1->SituarMarca(-5, 10);
    EXPECT_EQ(Form1->Marca->BoundsRect().Right, 7);  // 7 right-hand columns at the left edge
    Form1->SituarMarca(-20, -20);
    EXPECT_LE(Form1->Marca->BoundsRect().Right, 0);
    EXPECT_LE(Form1->Marca->BoundsRect().Bottom, 0);
}

TEST_F(MapViewTest, TheWindowStartsWithTheMarkerOnTheStartPointBeforeAndAfterShowing) {
    WriteList("Espa\xF1" "a (Madrid)=1734,484\r\n");
    CreateWindow();
    ExpectView(1422, 264, 1734, 484);
    EXPECT_EQ(Form1->Marca->Left(), 312);
    EXPECT_EQ(Form1->Marca->Top(), 220);
    EXPECT_TRUE(Form1->Marca->Visible());
    EXPECT_FALSE(Form1->Memo1->Visible());

    ShowWindow();
    ExpectView(1422, 264, 1734, 484);
    // the scroll bars show the same positions
    EXPECT_EQ(Bar(Qt::Horizontal)->value(), 1422);
    EXPECT_EQ(Bar(Qt::Vertical)->value(), 264);
    EXPECT_EQ(Bar(Qt::Horizontal)->maximum(), View().HorzScrollBar->Max());
    EXPECT_EQ(Bar(Qt::Vertical)->maximum(), View().VertScrollBar->Max());
    EXPECT_TRUE(errors.empty());
}

TEST_F(MapViewTest, TheSamePointTwiceGivesTheSameViewWhateverTheUserScrolledBetween) {
    WriteList("Uno=10,10\r\n");
    CreateAndShowWindow();
    QScrollBar* across = Bar(Qt::Horizontal);
    QScrollBar* down = Bar(Qt::Vertical);
    ASSERT_TRUE(across->isVisible());
    ASSERT_TRUE(down->isVisible());
    ASSERT_FALSE(across->hasTracking());

    struct UserScroll {
        const char* what;
        QScrollBar* bar;
        std::function<void(QScrollBar*)> act;
        int step;  // the move asked for, before limiting; 0: a drag, any move
    };
    const auto click = [](QStyle::SubControl part) {
        return [part](QScrollBar* bar) {
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, PartOf(bar, part).center());
        };
    };
    const auto drag = [](int by) {
        return [by](QScrollBar* bar) {
            const QPoint from = PartOf(bar, QStyle::SC_ScrollBarSlider).center();
            const QPoint to = from + (bar->orientation() == Qt::Horizontal ? QPoint(by, 0) : QPoint(0, by));
            const int before = bar->value();
            QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, from);
            QTest::mouseMove(bar, from + (to - from) / 2);
            QTest::mouseMove(bar, to);
            // No tracking: the thumb moves, the view waits for the release.
            EXPECT_NE(bar->sliderPosition(), before) << "the thumb did not follow the drag";
            EXPECT_EQ(bar->value(), before);
            QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, to);
        };
    };
    const UserScroll scrolls[] = {
        {"right arrow", across, click(QStyle::SC_ScrollBarAddLine), TControlScrollBar::Increment},
        {"left arrow", across, click(QStyle::SC_ScrollBarSubLine), -TControlScrollBar::Increment},
        {"down arrow", down, click(QStyle::SC_ScrollBarAddLine), TControlScrollBar::Increment},
        {"up arrow", down, click(QStyle::SC_ScrollBarSubLine), -TControlScrollBar::Increment},
        {"trough right of the thumb", across, click(QStyle::SC_ScrollBarAddPage), View().ClientWidth()},
        {"trough above the thumb", down, click(QStyle::SC_ScrollBarSubPage), -View().ClientHeight()},
        {"thumb dragged right", across, drag(40), 0},
        {"thumb dragged up", down, drag(-25), 0},
        {"start command", across, [](QScrollBar* bar) { bar->triggerAction(QAbstractSlider::SliderToMinimum); },
         -100000},
        {"end command", down, [](QScrollBar* bar) { bar->triggerAction(QAbstractSlider::SliderToMaximum); },
         100000},
    };
    for (const auto& scroll : scrolls) {
        // Twice each, so that a move starts once from where the user left the
        // bar and once from where SituarMarca put it.
        for (int round = 1; round <= 2; ++round) {
            SCOPED_TRACE(std::string(scroll.what) + ", round " + std::to_string(round));
            Form1->SituarMarca(1734, 484);
            ExpectView(1422, 264, 1734, 484);
            ASSERT_EQ(across->value(), 1422);
            ASSERT_EQ(down->value(), 264);

            TControlScrollBar* bar = scroll.bar == across ? View().HorzScrollBar : View().VertScrollBar;
            const int before = bar->Position();
            scroll.act(scroll.bar);
            QApplication::processEvents();
            const int after = bar->Position();
            EXPECT_NE(after, before) << "the view did not move";
            if (scroll.step != 0) {
                EXPECT_EQ(after, std::clamp(before + scroll.step, 0, bar->Max()));
            }
            EXPECT_EQ(after, scroll.bar->value()) << "the view and its scroll bar disagree";
            EXPECT_GE(after, 0);
            EXPECT_LE(after, bar->Max());
            ExpectView(View().HorzScrollBar->Position(), View().VertScrollBar->Position(), 1734, 484);
        }
    }
    EXPECT_EQ(View().VertScrollBar->Position(), View().VertScrollBar->Max());  // the end command's
    Form1->SituarMarca(1734, 484);
    ExpectView(1422, 264, 1734, 484);
    EXPECT_TRUE(errors.empty());
}

// ---------------------------------------------------------------------------
// The scroll box

TEST_F(MapViewTest, PositionsAreLimitedToTheLargestAndChildrenMoveByOldLessNew) {
    CreateAndShowWindow();
    struct Step {
        TControlScrollBar* bar;
        int requested;
        int expected;  // INT_MAX: the largest position
    };
    TControlScrollBar* h = View().HorzScrollBar;
    TControlScrollBar* v = View().VertScrollBar;
    const Step steps[] = {
        {h, 0, 0},        {v, 0, 0},           {h, 500, 500},     {v, 37, 37},      {h, -1, 0},
        {v, -500, 0},     {h, 100000, INT_MAX}, {v, 1914, INT_MAX}, {h, INT_MIN, 0}, {v, INT_MAX, INT_MAX},
        {h, INT_MAX, INT_MAX}, {v, INT_MIN, 0}, {h, 1, 1},        {v, 1, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE("requested " + std::to_string(step.requested));
        const int imageLeft = Form1->Image1->Left();
        const int imageTop = Form1->Image1->Top();
        const int markerLeft = Form1->Marca->Left();
        const int markerTop = Form1->Marca->Top();
        const int memoX = Form1->Memo1->Handle()->x();
        const int memoY = Form1->Memo1->Handle()->y();
        const int old = step.bar->Position();
        const long long changes = step.bar->PositionChanges();
        step.bar->SetPosition(step.requested);
        const int expected = step.expected == INT_MAX ? step.bar->Max() : step.expected;
        EXPECT_EQ(step.bar->Position(), expected);
        EXPECT_EQ(step.bar->PositionChanges() - changes, old == expected ? 0 : 1);
        const int delta = old - expected;
        const bool across = step.bar == h;
        EXPECT_EQ(Form1->Image1->Left(), imageLeft + (across ? delta : 0));
        EXPECT_EQ(Form1->Image1->Top(), imageTop + (across ? 0 : delta));
        EXPECT_EQ(Form1->Marca->Left(), markerLeft + (across ? delta : 0));
        EXPECT_EQ(Form1->Marca->Top(), markerTop + (across ? 0 : delta));
        // The help panel's window moves along although it is hidden.
        EXPECT_EQ(Form1->Memo1->Left(), memoX + (across ? delta : 0));
        EXPECT_EQ(Form1->Memo1->Top(), memoY + (across ? 0 : delta));
        EXPECT_EQ(Form1->Memo1->Handle()->x(), Form1->Memo1->Left());
        EXPECT_EQ(Form1->Memo1->Handle()->y(), Form1->Memo1->Top());
        // The scroll bar follows the position.
        EXPECT_EQ((across ? Bar(Qt::Horizontal) : Bar(Qt::Vertical))->value(), expected);
    }
}

TEST_F(MapViewTest, PositionsReadFromTheLayoutAreStoredAsTheyStand) {
    // The window as its layout leaves it, with no creation handler of the
    // program's to move anything.
    CountingForm form(Application, ":/forms/Unit1.json");
    ASSERT_EQ(form.Calls("FormCreate"), 1);
    EXPECT_EQ(form.ScrollBox1->HorzScrollBar->Position(), 0);
    EXPECT_EQ(form.ScrollBox1->VertScrollBar->Position(), 10);
    EXPECT_EQ(form.ScrollBox1->HorzScrollBar->Range(), kMapWidth);
    EXPECT_EQ(form.ScrollBox1->VertScrollBar->Range(), kMapHeight);
    EXPECT_FALSE(form.ScrollBox1->AutoScroll());
    // Children at their stored client places: content positions less (0, 10).
    EXPECT_EQ(form.Image1->Left(), 0);
    EXPECT_EQ(form.Image1->Top(), -10);
    EXPECT_EQ(form.Image1->Width(), kMapWidth);
    EXPECT_EQ(form.Image1->Height(), kMapHeight);
    EXPECT_EQ(form.Marca->Left(), 312);
    EXPECT_EQ(form.Marca->Top(), 210);
    EXPECT_FALSE(form.Marca->Visible());
    EXPECT_EQ(form.Memo1->Left(), 96);
    EXPECT_EQ(form.Memo1->Top(), 6);
    EXPECT_EQ(form.Memo1->Handle()->pos(), QPoint(96, 6));
    EXPECT_EQ(form.ScrollBox1->HorzScrollBar->PositionChanges(), 0);
    EXPECT_EQ(form.ScrollBox1->VertScrollBar->PositionChanges(), 0);
    EXPECT_EQ(static_cast<QAbstractScrollArea*>(form.ScrollBox1->Handle())->verticalScrollBar()->value(), 10);

    // From here on a position is limited and moves the children.
    form.ScrollBox1->VertScrollBar->SetPosition(0);
    EXPECT_EQ(form.Image1->Top(), 0);
    EXPECT_EQ(form.Marca->Top(), 220);
    EXPECT_EQ(form.Memo1->Top(), 16);
    form.ScrollBox1->HorzScrollBar->SetPosition(-3);
    EXPECT_EQ(form.ScrollBox1->HorzScrollBar->Position(), 0);
}

TEST_F(MapViewTest, TheLargestPositionsFollowTheViewsSize) {
    CreateAndShowWindow();
    Form1->SituarMarca(3700, 1900);
    const int hmax = View().HorzScrollBar->Max();
    const int vmax = View().VertScrollBar->Max();
    ASSERT_EQ(View().HorzScrollBar->Position(), hmax);
    ASSERT_EQ(View().VertScrollBar->Position(), vmax);

    struct Size {
        int width, height;
    };
    // Larger (the largest positions fall and the view comes back to them),
    // smaller (they grow; the positions stay), and the three sizes in use.
    const Size sizes[] = {{1210, 870}, {600, 400}, {960, 640}, {961, 641}, {3000, 1800}, {4000, 2500}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
        const int oldH = View().HorzScrollBar->Position();
        const int oldV = View().VertScrollBar->Position();
        const int oldMarkerLeft = Form1->Marca->Left();
        const int oldMarkerTop = Form1->Marca->Top();
        View().SetWidth(size.width);
        View().SetHeight(size.height);
        QApplication::processEvents();
        const int clientWidth = View().ClientWidth();
        const int clientHeight = View().ClientHeight();
        // The client extents are what Qt really gives the viewport.
        EXPECT_EQ(MapViewport()->width(), clientWidth);
        EXPECT_EQ(MapViewport()->height(), clientHeight);
        EXPECT_EQ(View().HorzScrollBar->Max(), std::max(kMapWidth - clientWidth, 0));
        EXPECT_EQ(View().VertScrollBar->Max(), std::max(kMapHeight - clientHeight, 0));
        EXPECT_EQ(View().HorzScrollBar->Position(), std::min(oldH, View().HorzScrollBar->Max()));
        EXPECT_EQ(View().VertScrollBar->Position(), std::min(oldV, View().VertScrollBar->Max()));
        EXPECT_EQ(Form1->Marca->Left(), oldMarkerLeft + oldH - View().HorzScrollBar->Position());
        EXPECT_EQ(Form1->Marca->Top(), oldMarkerTop + oldV - View().VertScrollBar->Position());
        EXPECT_EQ(Bar(Qt::Horizontal)->maximum(), View().HorzScrollBar->Max());
        EXPECT_EQ(Bar(Qt::Vertical)->maximum(), View().VertScrollBar->Max());
        EXPECT_EQ(Bar(Qt::Horizontal)->pageStep(), clientWidth);
        EXPECT_EQ(Bar(Qt::Vertical)->pageStep(), clientHeight);
    }
    // Back at the stored size, the marker's point is reached as before.
    View().SetWidth(961);
    View().SetHeight(641);
    Form1->SituarMarca(3700, 1900);
    EXPECT_EQ(View().HorzScrollBar->Position(), hmax);
    EXPECT_EQ(View().VertScrollBar->Position(), vmax);
}

TEST_F(MapViewTest, ScrollingRepaintsOnlyTheUncoveredStrip) {
    WriteList("Uno=10,10\r\n");
    CreateAndShowWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1->Handle()));
    QTest::qWait(50);  // let the first paint (and the picture's decoding) happen
    const int clientWidth = View().ClientWidth();
    const int clientHeight = View().ClientHeight();

    struct Scroll {
        const char* what;
        bool across;
        int by;
        QRect strip;  // in client coordinates
    };
    const Scroll scrolls[] = {
        {"8 right", true, 8, QRect(clientWidth - 8, 0, 8, clientHeight)},
        {"8 left", true, -8, QRect(0, 0, 8, clientHeight)},
        {"30 down", false, 30, QRect(0, clientHeight - 30, clientWidth, 30)},
        {"1 up", false, -1, QRect(0, 0, clientWidth, 1)},
    };
    for (const auto& s : scrolls) {
        SCOPED_TRACE(s.what);
        QApplication::processEvents();
        PaintRecorder recorder(MapViewport());
        TControlScrollBar* bar = s.across ? View().HorzScrollBar : View().VertScrollBar;
        bar->SetPosition(bar->Position() + s.by);
        QApplication::processEvents();
        EXPECT_GE(recorder.paints, 1);
        EXPECT_EQ(recorder.painted, QRegion(s.strip))
            << "painted " << recorder.painted.boundingRect().width() << " x "
            << recorder.painted.boundingRect().height() << " at " << recorder.painted.boundingRect().x()
            << ", " << recorder.painted.boundingRect().y();
    }
}

// ---------------------------------------------------------------------------
// Which child takes a press

TEST_F(MapViewTest, APressOnTheMarkersSquareReachesTheMarkerAndChangesNothing) {
    WriteList("Espa\xF1" "a (Madrid)=1734,484\r\nFrancia (Par\xEDs)=1865,400\r\n");
    CreateAndShowWindow();
    struct Offset {
        int dx, dy;
    };
    // The four corners lie outside the drawn circle; the centre inside it.
    const Offset onTheSquare[] = {{0, 0}, {11, 0}, {0, 11}, {11, 11}, {6, 6}, {1, 0}};
    const std::pair<int, int> markers[] = {{1734, 484}, {1865, 400}, {100, 50}, {3700, 1900}};
    for (const auto& [mx, my] : markers) {
        Form1->SituarMarca(mx, my);
        const int h = View().HorzScrollBar->Position();
        const int v = View().VertScrollBar->Position();
        for (const auto& o : onTheSquare) {
            SCOPED_TRACE("marker at " + std::to_string(mx) + ", " + std::to_string(my) + "; offset " +
                         std::to_string(o.dx) + ", " + std::to_string(o.dy));
            EXPECT_EQ(View().ControlAtPos(mx - h + o.dx, my - v + o.dy), Form1->Marca);
            PressMap(mx + o.dx, my + o.dy);
            PressMap(mx + o.dx, my + o.dy, Qt::RightButton);
            EXPECT_EQ(Form1->Edit1->Text(), "");
            EXPECT_EQ(Form1->ComboBox1->ItemIndex(), -1);
            EXPECT_EQ(View().HorzScrollBar->Position(), h);
            EXPECT_EQ(View().VertScrollBar->Position(), v);
        }
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(MapViewTest, APressOnePixelOutsideTheSquareReachesThePictureInPicturePixels) {
    WriteList("Espa\xF1" "a (Madrid)=1734,484\r\n");
    CreateAndShowWindow();
    struct Offset {
        int dx, dy;
    };
    const Offset justOutside[] = {{-1, 0}, {12, 0}, {0, -1}, {0, 12}, {-1, -1}, {12, 12}, {12, 11}, {11, 12}};
    for (const auto& o : justOutside) {
        SCOPED_TRACE("offset " + std::to_string(o.dx) + ", " + std::to_string(o.dy));
        Form1->SituarMarca(1734, 484);
        Form1->Edit1->SetText("");
        const int x = 1734 + o.dx;
        const int y = 484 + o.dy;
        EXPECT_EQ(View().ControlAtPos(x - 1422, y - 264), Form1->Image1);
        PressMap(x, y);
        EXPECT_EQ(Form1->Edit1->Text(), std::to_string(x) + "  " + std::to_string(y));
        EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 0);
    }

    // Wherever the view stands, the picture hears of the press in its own pixels.
    struct Where {
        int h, v, clientX, clientY;
    };
    const int lastX = View().ClientWidth() - 1;
    const int lastY = View().ClientHeight() - 1;
    const Where places[] = {
        {0, 0, 0, 0},         {0, 0, 500, 300},       {1, 1, 0, 0},     {100, 37, 250, 120},
        {1422, 264, 5, 600},  {2000, 1000, lastX, lastY}, {INT_MAX, INT_MAX, 0, 0},
        {INT_MAX, INT_MAX, lastX, lastY}, {INT_MAX, 0, 17, 3}, {0, INT_MAX, 600, 9},
    };
    for (const auto& w : places) {
        SCOPED_TRACE("view at " + std::to_string(w.h) + ", " + std::to_string(w.v) + "; client point " +
                     std::to_string(w.clientX) + ", " + std::to_string(w.clientY));
        // Put the marker out of the way, then scroll.
        Form1->Marca->SetVisible(false);
        View().HorzScrollBar->SetPosition(w.h);
        View().VertScrollBar->SetPosition(w.v);
        const int h = View().HorzScrollBar->Position();
        const int v = View().VertScrollBar->Position();
        PressClient(QPoint(w.clientX, w.clientY), Qt::MiddleButton);
        EXPECT_EQ(Form1->Edit1->Text(), std::to_string(w.clientX + h) + "  " + std::to_string(w.clientY + v));
    }
    EXPECT_TRUE(errors.empty());
}

}  // namespace
