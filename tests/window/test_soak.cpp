// A long run of random use of the real window with the shipped list: presses
// anywhere with all three buttons, choices from the list by arrow keys and by
// typing, the help panel opened and closed, the map view's scroll bars
// (arrows, troughs, thumb) and resizes of the window. After every event the
// window must still keep its promises, and memory must not creep.

#include "WindowFixture.h"
#include "WindowPointer.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

using platform::AnsiString;

long ResidentBytes() {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// The number of events; ORBE_SOAK_EVENTS chooses another for a quick run
// by hand.
int SoakEvents() {
    const char* text = std::getenv("ORBE_SOAK_EVENTS");
    return text ? std::atoi(text) : 100000;
}

AnsiString Lectura(int x, int y) { return std::to_string(x) + "  " + std::to_string(y); }

class SoakTest : public WindowTest {
protected:
    enum class Kind { Press, ArrowKey, Typing, SelectAll, HelpOpen, HelpClose, BarArrow, Trough, Thumb, Resize };

    void SetUp() override {
        WindowTest::SetUp();
        std::filesystem::copy_file(std::filesystem::path(ORBE_SOURCE_DIR) / "assets" / "NOMBRES.TXT",
                                   directory_ / "NOMBRES.TXT");
        CreateAndShowWindow();
        firstSize_ = Window()->size();
        names_.assign(Nombres.begin(), Nombres.end());
        xs_.assign(CoordX.begin(), CoordX.end());
        ys_.assign(CoordY.begin(), CoordY.end());
    }

    // Resident memory in a state comparable between two moments: the window
    // at its first size (its backing store grows and shrinks with it), and
    // the memory that the allocator keeps for reuse handed back first, so
    // what is counted is what the process holds.
    long ComparableResidentBytes() {
        Window()->resize(firstSize_);
        QCoreApplication::processEvents();
        malloc_trim(0);
        return ResidentBytes();
    }

    QWidget* Window() const { return Form1->Handle(); }
    QComboBox* Combo() const { return static_cast<QComboBox*>(Form1->ComboBox1->Handle()); }
    QAbstractScrollArea* View() const { return static_cast<QAbstractScrollArea*>(Form1->ScrollBox1->Handle()); }
    QPoint Marker() const { return pointer::MarkerOnMap(); }
    int H() const { return Form1->ScrollBox1->HorzScrollBar->Position(); }
    int V() const { return Form1->ScrollBox1->VertScrollBar->Position(); }

    static bool Within(const QWidget* widget, const QWidget* ancestor) {
        for (; widget; widget = widget->parentWidget())
            if (widget == ancestor) return true;
        return false;
    }

    // The place that a press on map pixel (x, y) selects: the nearest loaded
    // place closer than 1000 pixels, the earliest of equally near ones, else 0.
    int Nearest(int x, int y) const {
        double best = 1000.0;
        int chosen = 0;
        for (int i = 0; i <= Ultimo; ++i) {
            const double dx = double(x) - xs_[i];
            const double dy = double(y) - ys_[i];
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d < best) {
                best = d;
                chosen = i;
            }
        }
        return chosen;
    }

    // Where a part of a scroll bar lies, in the main window's coordinates;
    // empty when the part has no room (a trough with the thumb at its end).
    QRect BarPart(QScrollBar* bar, QStyle::SubControl part) const {
        const QRect local = pointer::ScrollBarPart(bar, part);
        if (local.width() < 3 || local.height() < 3) return {};
        return {pointer::InWindow(bar, local.topLeft()), local.size()};
    }

    // The window's state that the checks compare between events.
    struct State {
        int elegido;
        int itemIndex;
        AnsiString readout;
        QPoint marker;
        bool help;
    };
    State Now() const {
        return {Elegido, Form1->ComboBox1->ItemIndex(), Form1->Edit1->Text(), Marker(), Form1->Memo1->Visible()};
    }

    // What every event must leave true; returns what is wrong, or "".
    std::string Invariants() const {
        std::ostringstream out;
        if (!Form1->Marca->Visible()) out << "marker hidden; ";
        const auto& h = *Form1->ScrollBox1->HorzScrollBar;
        const auto& v = *Form1->ScrollBox1->VertScrollBar;
        if (h.Position() < 0 || h.Position() > h.Max()) out << "H " << h.Position() << " outside 0.." << h.Max() << "; ";
        if (v.Position() < 0 || v.Position() > v.Max()) out << "V " << v.Position() << " outside 0.." << v.Max() << "; ";
        const auto& items = Form1->ComboBox1->Items();
        if (items.Count() != Ultimo + 1 || Ultimo + 1 != static_cast<int>(kShippedPlaces))
            out << items.Count() << " entries for Ultimo " << Ultimo << "; ";
        for (int i = 0; i < items.Count() && i < MaxLugares; ++i) {
            if (items[i] != " " + Nombres[i] || Nombres[i] != names_[i] || CoordX[i] != xs_[i] || CoordY[i] != ys_[i]) {
                out << "entry " << i << " is not place " << i << "; ";
                break;
            }
        }
        return out.str();
    }

    static constexpr std::size_t kShippedPlaces = 246;
    QSize firstSize_;
    std::vector<AnsiString> names_;
    std::vector<int> xs_;
    std::vector<int> ys_;
};

TEST_F(SoakTest, HundredThousandRandomEventsKeepTheWindowConsistent) {
    ASSERT_EQ(Ultimo + 1, static_cast<int>(kShippedPlaces)) << "the shipped list did not load";
    const int events = SoakEvents();
    std::mt19937 random(20261211);
    const auto uniform = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const std::string typeable = "    abcdefghijklmnopqrstuvwxyz(";

    // Weights of the kinds of event, in the order of Kind.
    std::discrete_distribution<int> pick({40, 12, 12, 3, 3, 4, 8, 6, 4, 2});
    std::map<Kind, int> done;         // events of each kind that had their effect
    int choices = 0;                  // list choices that changed Elegido
    long residentAfterWarmUp = 0;
    long rawAfterWarmUp = 0;
    int closeAttempts = 0;
    int helpOpened = 0;               // by any event, the help button's or a press's
    int helpClosed = 0;

    for (int n = 0; n < events; ++n) {
        const Kind kind = static_cast<Kind>(pick(random));
        const State before = Now();
        State expected = before;
        bool choice = false;          // the event is a choice from the list
        std::string what;

        switch (kind) {
        case Kind::Press: {
            const QPoint at(uniform(0, Window()->width() - 1), uniform(0, Window()->height() - 1));
            QWidget* under = Window()->childAt(at);
            // The exit button would end the run, and the list opens its popup:
            // choices from the list are made with the keyboard below.
            if (Within(under, Form1->BtSalir->Handle()) || Within(under, Combo())) continue;
            // The right button opens the context menus of the fields and the
            // scroll bars, each a modal loop of its own; it is used on the map.
            const bool onMap = under == Form1->ScrollBox1->ClientHandle();
            const Qt::MouseButton button = buttons[onMap ? uniform(0, 2) : 2 * uniform(0, 1)];
            what = "press " + std::to_string(int(button)) + " at " + std::to_string(at.x()) + "," +
                   std::to_string(at.y()) + " on " + (under ? under->metaObject()->className() : "nothing");
            if (onMap) {
                const QPoint client = Form1->ScrollBox1->ClientHandle()->mapFrom(Window(), at);
                const bool onMarker = client.x() >= Form1->Marca->Left() && client.x() < Form1->Marca->Left() + 12 &&
                                      client.y() >= Form1->Marca->Top() && client.y() < Form1->Marca->Top() + 12;
                if (!onMarker) {
                    const QPoint map(client.x() + H(), client.y() + V());
                    const int k = Nearest(map.x(), map.y());
                    expected.readout = Lectura(map.x(), map.y());
                    expected.itemIndex = k;
                    expected.marker = {xs_[k], ys_[k]};
                    ++done[kind];
                }
            }
            const bool onHelp = Within(under, Form1->Memo1->Handle());
            if (Within(under, Form1->BtAyuda->Handle()) && button == Qt::LeftButton) {
                expected.marker = {0, 0};
                expected.help = true;
            }
            pointer::Click(at, button);
            // A left click on the help panel hides it and takes the marker back
            // to the place last chosen; any other press leaves it shown.
            if (onHelp && button == Qt::LeftButton && !Form1->Memo1->Visible()) {
                expected.marker = {xs_[Elegido], ys_[Elegido]};
                expected.help = false;
            }
            break;
        }
        case Kind::ArrowKey: {
            const bool up = uniform(0, 1) == 0;
            what = up ? "Up" : "Down";
            choice = true;
            const int count = Form1->ComboBox1->Items().Count();
            const int target = before.itemIndex < 0 ? 0 : before.itemIndex + (up ? -1 : 1);
            QTest::keyClick(Combo(), up ? Qt::Key_Up : Qt::Key_Down);
            if (target >= 0 && target < count && target != before.itemIndex) {
                expected.elegido = expected.itemIndex = target;
                expected.readout = Lectura(xs_[target], ys_[target]);
                expected.marker = {xs_[target], ys_[target]};
                ++done[kind];
            }
            break;
        }
        case Kind::Typing: {
            const char c = typeable[static_cast<std::size_t>(uniform(0, int(typeable.size()) - 1))];
            what = std::string("type '") + c + "'";
            choice = true;
            const QLineEdit* field = Combo()->lineEdit();
            const QString typed =
                (field->hasSelectedText() ? field->text().left(field->selectionStart()) : field->text()) + QChar(c);
            QTest::keyClick(Combo(), c);
            for (int i = 0; i < Form1->ComboBox1->Items().Count(); ++i) {
                if (!Combo()->itemText(i).startsWith(typed, Qt::CaseInsensitive)) continue;
                expected.itemIndex = i;
                if (i != before.itemIndex) {
                    expected.elegido = i;
                    expected.readout = Lectura(xs_[i], ys_[i]);
                    expected.marker = {xs_[i], ys_[i]};
                    ++done[kind];
                }
                break;
            }
            break;
        }
        case Kind::SelectAll:
            what = "select all";
            QTest::keyClick(Combo(), Qt::Key_A, Qt::ControlModifier);
            break;
        case Kind::HelpOpen: {
            what = "help button";
            const QWidget* button = Form1->BtAyuda->Handle();
            const QPoint at = pointer::InWindow(button, button->rect().center());
            if (!Within(Window()->childAt(at), Form1->BtAyuda->Handle())) continue;  // resized out of sight
            pointer::Click(at);
            expected.marker = {0, 0};
            expected.help = true;
            ++done[kind];
            break;
        }
        case Kind::HelpClose: {
            if (!before.help) continue;
            // A point of the panel that is in view.
            QWidget* memo = Form1->Memo1->Handle();
            const QRect visible = memo->visibleRegion().boundingRect().adjusted(4, 4, -4, -4);
            if (visible.isEmpty()) continue;
            const QPoint at = pointer::InWindow(memo, visible.center());
            what = "click on help";
            ++closeAttempts;
            pointer::Click(at);
            if (!Form1->Memo1->Visible()) {
                expected.help = false;
                expected.marker = {xs_[Elegido], ys_[Elegido]};
                ++done[kind];
            }
            break;
        }
        case Kind::BarArrow:
        case Kind::Trough: {
            const bool horizontal = uniform(0, 1) == 0;
            QScrollBar* bar = horizontal ? View()->horizontalScrollBar() : View()->verticalScrollBar();
            const bool add = uniform(0, 1) == 0;
            const QStyle::SubControl part = kind == Kind::BarArrow
                                                ? (add ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarSubLine)
                                                : (add ? QStyle::SC_ScrollBarAddPage : QStyle::SC_ScrollBarSubPage);
            const QRect rect = BarPart(bar, part);
            if (rect.isEmpty() || !Within(Window()->childAt(rect.center()), bar)) continue;
            what = std::string(kind == Kind::BarArrow ? "arrow " : "trough ") + (horizontal ? "H " : "V ") + (add ? "+" : "-");
            const auto& model = horizontal ? *Form1->ScrollBox1->HorzScrollBar : *Form1->ScrollBox1->VertScrollBar;
            const int step = kind == Kind::BarArrow ? platform::TControlScrollBar::Increment
                                                    : (horizontal ? Form1->ScrollBox1->ClientWidth()
                                                                  : Form1->ScrollBox1->ClientHeight());
            const int want = std::clamp(model.Position() + (add ? step : -step), 0, model.Max());
            pointer::Click(rect.center());
            if (model.Position() != want) {
                ADD_FAILURE() << "event " << n << " (" << what << "): position " << model.Position() << ", expected " << want;
                return;
            }
            ++done[kind];
            break;
        }
        case Kind::Thumb: {
            const bool horizontal = uniform(0, 1) == 0;
            QScrollBar* bar = horizontal ? View()->horizontalScrollBar() : View()->verticalScrollBar();
            const QRect thumb = BarPart(bar, QStyle::SC_ScrollBarSlider);
            if (thumb.isEmpty() || !Within(Window()->childAt(thumb.center()), bar)) continue;
            const int by = uniform(-300, 300);
            // Released inside the window, where a user's pointer stays.
            QPoint to = thumb.center() + (horizontal ? QPoint(by, 0) : QPoint(0, by));
            to = {std::clamp(to.x(), 0, Window()->width() - 1), std::clamp(to.y(), 0, Window()->height() - 1)};
            what = std::string("drag thumb ") + (horizontal ? "H " : "V ") + std::to_string(by);
            const int position = horizontal ? H() : V();
            pointer::Press(thumb.center());
            QTest::mouseMove(pointer::MainWindow(), to);
            pointer::Release(to);
            if ((horizontal ? H() : V()) != position) ++done[kind];
            break;
        }
        case Kind::Resize: {
            const QSize size(uniform(300, 1400), uniform(250, 1000));
            what = "resize to " + std::to_string(size.width()) + "x" + std::to_string(size.height());
            Window()->resize(size);
            ++done[kind];
            break;
        }
        }
        QCoreApplication::processEvents();

        const State after = Now();
        std::ostringstream wrong;
        wrong << Invariants();
        if (after.elegido != expected.elegido) wrong << "Elegido " << after.elegido << ", expected " << expected.elegido << "; ";
        if (after.itemIndex != expected.itemIndex) wrong << "entry " << after.itemIndex << " selected, expected " << expected.itemIndex << "; ";
        if (after.readout != expected.readout) wrong << "read-out '" << after.readout << "', expected '" << expected.readout << "'; ";
        if (after.marker != expected.marker)
            wrong << "marker at " << after.marker.x() << "," << after.marker.y() << ", expected " << expected.marker.x() << "," << expected.marker.y() << "; ";
        if (after.help != expected.help) wrong << "help panel " << (after.help ? "shown" : "hidden") << "; ";
        if (expected.help && !before.help && (H() != 0 || V() != 0)) wrong << "help opened away from the corner; ";
        if (!wrong.str().empty()) {
            ADD_FAILURE() << "event " << n << " (" << what << "): " << wrong.str();
            return;
        }
        if (choice && after.elegido != before.elegido) ++choices;
        if (!before.help && after.help) ++helpOpened;
        if (before.help && !after.help) ++helpClosed;
        if (n == 999) {
            rawAfterWarmUp = ResidentBytes();
            residentAfterWarmUp = ComparableResidentBytes();
        }
        if ((n + 1) % 10000 == 0) std::printf("soak: %d events, resident %ld KiB\n", n + 1, ResidentBytes() / 1024);
    }
    const long rawAtEnd = ResidentBytes();
    const long residentAtEnd = ComparableResidentBytes();
    std::printf("soak: %d events; resident %ld KiB after 1000, %ld KiB at the end "
                "(as measured: %ld and %ld KiB)\n",
                events, residentAfterWarmUp / 1024, residentAtEnd / 1024, rawAfterWarmUp / 1024, rawAtEnd / 1024);
    std::printf("soak: presses on the map %d, arrow choices %d, typed choices %d, help opened %d, closed %d, "
                "bar arrows %d, troughs %d, thumb drags that moved %d, resizes %d; "
                "help shown %d and hidden %d times in all (%d clicks meant to hide it)\n",
                done[Kind::Press], done[Kind::ArrowKey], done[Kind::Typing], done[Kind::HelpOpen],
                done[Kind::HelpClose], done[Kind::BarArrow], done[Kind::Trough], done[Kind::Thumb], done[Kind::Resize],
                helpOpened, helpClosed, closeAttempts);
    // Every kind of event must have done its work at least once, or the run
    // proves nothing about it.
    for (Kind kind : {Kind::Press, Kind::ArrowKey, Kind::Typing, Kind::HelpOpen, Kind::HelpClose, Kind::BarArrow,
                      Kind::Trough, Kind::Thumb, Kind::Resize})
        EXPECT_GT(done[kind], 0) << "event kind " << int(kind) << " never took effect";
    EXPECT_GT(choices, 0);
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer holds freed memory back on purpose, so resident memory
    // says nothing there; its leak check at exit speaks instead.
    (void)residentAtEnd;
#else
    if (events >= 1000) {
        EXPECT_LE(residentAtEnd - residentAfterWarmUp, 1024 * 1024);
    }
#endif
}

}  // namespace
