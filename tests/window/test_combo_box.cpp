#include "WindowFixture.h"

#include "AnsiStrings.h"
#include "TextCodec.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

using platform::AnsiString;
using platform::TObject;

namespace {

// Entries in list order; "España" comes before "Estonia", so " es" finds it.
const std::string kList =
    "Alemania (Berl\xEDn)=1980,340\r\n"
    "Argentina (Buenos Aires)=1200,1400\r\n"
    "Espa\xF1" "a (Madrid)=1734,484\r\n"
    "Estonia (Tallin)=2120,240\r\n"
    "Francia (Par\xEDs)=1865,400\r\n";

// A key the user presses: a character (its text) or a named key.
struct Key {
    Qt::Key code;
    QString text;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

std::vector<Key> Chars(const QString& text) {
    std::vector<Key> keys;
    for (const QChar c : text) keys.push_back({Qt::Key(c.toUpper().unicode()), QString(c)});
    return keys;
}

std::vector<Key> operator+(std::vector<Key> a, const std::vector<Key>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Key kBackspace{Qt::Key_Backspace, QStringLiteral("\b")};
const Key kTab{Qt::Key_Tab, QStringLiteral("\t")};
const Key kEscape{Qt::Key_Escape, QStringLiteral("\x1b")};
const Key kEnter{Qt::Key_Return, QStringLiteral("\r")};
const Key kUp{Qt::Key_Up, {}};
const Key kDown{Qt::Key_Down, {}};

// The list as the user meets it, with every click event recorded as the
// handler sees it.
class ComboBoxTest : public WindowTest {
protected:
    struct ClickSeen {
        int index;
        AnsiString text;
    };

    void SetUp() override {
        WindowTest::SetUp();
        WriteList(kList);
        CreateAndShowWindow();
        ASSERT_EQ(Combo().Items().Count(), 5);
        const platform::TNotifyEvent handler = Combo().OnClick;
        Combo().OnClick = [this, handler](TObject* sender) {
            clicks.push_back({Combo().ItemIndex(), Combo().Text()});
            handler(sender);
        };
        Combo().SetFocus();
    }

    platform::TComboBox& Combo() const { return *Form1->ComboBox1; }
    QComboBox& Widget() const { return *static_cast<QComboBox*>(Combo().Handle()); }
    QLineEdit& Field() const { return *Widget().lineEdit(); }

    // Keys go to the list's field, as the test tool delivers them.
    void Press(const std::vector<Key>& keys) const {
        for (const Key& key : keys) QTest::sendKeyEvent(QTest::Click, &Field(), key.code, key.text, key.modifiers);
    }

    std::vector<int> ClickedIndices() const {
        std::vector<int> indices;
        for (const ClickSeen& click : clicks) indices.push_back(click.index);
        return indices;
    }

    std::vector<ClickSeen> clicks;
};

QString Entry(int index) {
    return platform::ToQString(Form1->ComboBox1->Items()[index]);
}

struct AutoCompleteCase {
    const char* name;
    int selected;                  // set from code first (-1: none)
    std::optional<QString> field;  // then the field's text, if given
    bool highlightAll;             // the whole field highlighted, or the cursor at its start
    std::vector<Key> keys;
    int expectedIndex;
    QString expectedField;
    QString expectedHighlight;
    std::vector<int> expectedClicks;
};

void PrintTo(const AutoCompleteCase& c, std::ostream* os) {
    *os << c.name;
}

class AutoCompletion : public ComboBoxTest, public ::testing::WithParamInterface<AutoCompleteCase> {};

TEST_P(AutoCompletion, SelectsTheFirstEntryBeginningWithTheTypedText) {
    const AutoCompleteCase& c = GetParam();
    Combo().SetItemIndex(c.selected);
    if (c.field) Combo().SetText(platform::FromQString(*c.field));
    if (c.highlightAll)
        Field().selectAll();
    else
        Field().setCursorPosition(0);
    ASSERT_TRUE(clicks.empty());

    Press(c.keys);

    EXPECT_EQ(Combo().ItemIndex(), c.expectedIndex);
    EXPECT_EQ(Field().text(), c.expectedField);
    EXPECT_EQ(Field().selectedText(), c.expectedHighlight);
    EXPECT_EQ(platform::ToQString(Combo().Text()), c.expectedField);
    EXPECT_EQ(ClickedIndices(), c.expectedClicks);
    // The field was completed before each event: the typed text and the rest
    // of the entry.
    for (const ClickSeen& click : clicks)
        EXPECT_EQ(QString::compare(platform::ToQString(click.text), Entry(click.index), Qt::CaseInsensitive), 0)
            << click.text;
    if (!c.expectedClicks.empty()) {
        EXPECT_EQ(Elegido, c.expectedClicks.back());
    }
}

const QString kInitial = QString::fromUtf8("       LISTA DE PAÍSES  (Capital)");

INSTANTIATE_TEST_SUITE_P(
    Table, AutoCompletion,
    ::testing::Values(
        AutoCompleteCase{"BlankOverTheWholeTextChoosesTheFirstEntry", -1, {}, true, Chars(" "), 0,
                         QString::fromUtf8(" Alemania (Berlín)"), QString::fromUtf8("Alemania (Berlín)"), {0}},
        AutoCompleteCase{"BlankWhenTheFirstEntryIsSelectedRaisesNothing", 0, {}, true, Chars(" "), 0,
                         QString::fromUtf8(" Alemania (Berlín)"), QString::fromUtf8("Alemania (Berlín)"), {}},
        AutoCompleteCase{"EachChangeOfEntryIsOneEvent", -1, {}, true, Chars(" esp"), 2,
                         QString::fromUtf8(" españa (Madrid)"), QString::fromUtf8("aña (Madrid)"), {0, 2}},
        AutoCompleteCase{"UpperCaseFindsTheLaterEntryWhenTheFirstStopsMatching", -1, {}, true, Chars(" EST"), 3,
                         QStringLiteral(" ESTonia (Tallin)"), QStringLiteral("onia (Tallin)"), {0, 2, 3}},
        AutoCompleteCase{"AccentedLettersMatchIgnoringCase", -1, {}, true, Chars(QString::fromUtf8(" francia (parÍ")), 4,
                         QString::fromUtf8(" francia (parÍs)"), QStringLiteral("s)"), {0, 4}},
        AutoCompleteCase{"NoMatchTypesTheCharacterOverTheHighlight", -1, {}, true, Chars(" x"), 0,
                         QStringLiteral(" x"), QString(), {0}},
        AutoCompleteCase{"TextWithoutALeadingBlankNeverMatches", -1, {}, true, Chars("esp"), -1, QStringLiteral("esp"),
                         QString(), {}},
        AutoCompleteCase{"WithNothingHighlightedTheWholeTextCounts", -1, QStringLiteral(" esp"), false, Chars("a"), 2,
                         QString::fromUtf8(" españa (Madrid)"), QString::fromUtf8("ña (Madrid)"), {2}},
        AutoCompleteCase{"BackspaceDeletesTheOfferedRestAndChoosesNothing", -1, {}, true,
                         Chars(" esp") + std::vector<Key>{kBackspace}, 2, QStringLiteral(" esp"), QString(), {0, 2}},
        AutoCompleteCase{"EscapeChangesNothing", -1, {}, true, Chars(" esp") + std::vector<Key>{kEscape}, 2,
                         QString::fromUtf8(" españa (Madrid)"), QString::fromUtf8("aña (Madrid)"), {0, 2}},
        AutoCompleteCase{"EnterChoosesNothing", -1, {}, true, Chars(" esp") + std::vector<Key>{kEnter}, 2,
                         QString::fromUtf8(" españa (Madrid)"), QString::fromUtf8("aña (Madrid)"), {0, 2}},
        AutoCompleteCase{"TabLeavesTheListAndChoosesNothing", -1, {}, true, std::vector<Key>{kTab}, -1, kInitial,
                         QString(), {}}),
    [](const ::testing::TestParamInfo<AutoCompleteCase>& param) { return std::string(param.param.name); });

struct ArrowCase {
    const char* name;
    int selected;
    std::vector<Key> keys;
    int expectedIndex;
    std::vector<int> expectedClicks;
};

void PrintTo(const ArrowCase& c, std::ostream* os) {
    *os << c.name;
}

class ArrowKeys : public ComboBoxTest, public ::testing::WithParamInterface<ArrowCase> {};

TEST_P(ArrowKeys, MoveEntryByEntryAndStopSilentlyAtTheEnds) {
    const ArrowCase& c = GetParam();
    Combo().SetItemIndex(c.selected);
    Press(c.keys);
    EXPECT_EQ(Combo().ItemIndex(), c.expectedIndex);
    EXPECT_EQ(ClickedIndices(), c.expectedClicks);
    // The entry's text is in the field when the handler runs.
    for (const ClickSeen& click : clicks) EXPECT_EQ(platform::ToQString(click.text), Entry(click.index));
    EXPECT_EQ(Field().text(), c.expectedIndex >= 0 ? Entry(c.expectedIndex) : kInitial);
    if (!clicks.empty()) {
        EXPECT_EQ(Elegido, c.expectedIndex);
        EXPECT_EQ(Form1->Edit1->Text(),
                  platform::IntToStr(CoordX[Elegido]) + "  " + platform::IntToStr(CoordY[Elegido]));
        EXPECT_EQ(Form1->Marca->Left() + Form1->ScrollBox1->HorzScrollBar->Position(), CoordX[Elegido]);
        EXPECT_EQ(Form1->Marca->Top() + Form1->ScrollBox1->VertScrollBar->Position(), CoordY[Elegido]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArrowKeys,
    ::testing::Values(ArrowCase{"DownFromNothingSelectsTheFirst", -1, {kDown}, 0, {0}},
                      ArrowCase{"UpFromNothingSelectsTheFirstToo", -1, {kUp}, 0, {0}},
                      ArrowCase{"EachStepIsOneChoice", -1, {kDown, kDown, kDown, kUp}, 1, {0, 1, 2, 1}},
                      ArrowCase{"UpAtTheFirstEntryStops", 0, {kUp, kUp}, 0, {}},
                      ArrowCase{"DownAtTheLastEntryStops", 3, {kDown, kDown, kDown}, 4, {4}},
                      ArrowCase{"StepsFromAnEntrySetByCode", 2, {kUp}, 1, {1}}),
    [](const ::testing::TestParamInfo<ArrowCase>& param) { return std::string(param.param.name); });

TEST_F(ComboBoxTest, AltDownOpensTheListWithoutChoosing) {
    Combo().SetItemIndex(1);
    Press({Key{Qt::Key_Down, {}, Qt::AltModifier}});
    EXPECT_TRUE(Widget().view()->isVisible());
    EXPECT_EQ(Combo().ItemIndex(), 1);
    EXPECT_TRUE(clicks.empty());
    Widget().hidePopup();
}

TEST_F(ComboBoxTest, AClickInTheOpenedListIsAChoiceEvenOfTheSelectedEntry) {
    Combo().SetItemIndex(1);
    for (int round = 0; round < 2; ++round) {
        Widget().showPopup();
        QAbstractItemView* view = Widget().view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
        const QPoint entry3 = view->visualRect(view->model()->index(3, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, entry3);
        EXPECT_FALSE(view->isVisible());
    }
    ASSERT_EQ(ClickedIndices(), (std::vector<int>{3, 3}));
    EXPECT_EQ(platform::ToQString(clicks[0].text), Entry(3));  // read inside the handler
    EXPECT_EQ(Combo().ItemIndex(), 3);
    EXPECT_EQ(Elegido, 3);
    EXPECT_EQ(Form1->Edit1->Text(), "2120  240");
}

TEST_F(ComboBoxTest, SettingTheIndexFromCodeShowsTheEntryAndRaisesNothing) {
    Combo().SetItemIndex(4);
    EXPECT_EQ(Combo().ItemIndex(), 4);
    EXPECT_EQ(Field().text(), Entry(4));
    EXPECT_EQ(Widget().currentIndex(), 4);
    // A later entry keeps the selection and the field as they are.
    Combo().Items().Add(" Zambia (Lusaka)");
    EXPECT_EQ(Widget().currentIndex(), 4);
    EXPECT_EQ(Field().text(), Entry(4));

    // The same index again leaves what the user typed alone.
    Field().selectAll();
    Press(Chars("xyz"));
    EXPECT_EQ(Combo().Text(), "xyz");
    Combo().SetItemIndex(4);
    EXPECT_EQ(Field().text(), QStringLiteral("xyz"));

    // Out of range selects nothing and empties the field.
    Combo().SetItemIndex(6);
    EXPECT_EQ(Combo().ItemIndex(), -1);
    EXPECT_EQ(Combo().Text(), "");
    EXPECT_EQ(Field().text(), QString());

    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(Elegido, 0);
}

// Each write of the field lays its text out again: a choice by arrow, a
// press that selects an entry and a text set by code write it once each.
TEST_F(ComboBoxTest, TheFieldIsWrittenOncePerChange) {
    int writes = 0;
    QObject::connect(&Field(), &QLineEdit::textChanged, &Field(), [&writes] { ++writes; });
    Press({kDown});
    EXPECT_EQ(writes, 1) << "a choice by arrow";
    writes = 0;
    Combo().SetItemIndex(3);
    EXPECT_EQ(writes, 1) << "an entry selected by code";
    writes = 0;
    Combo().SetText(" otra cosa");
    EXPECT_EQ(writes, 1) << "a text set by code";
    writes = 0;
    Combo().SetText(" otra cosa");
    EXPECT_EQ(writes, 0) << "the same text again";
    EXPECT_EQ(Field().text(), QStringLiteral(" otra cosa"));
}

TEST_F(ComboBoxTest, TypingKeepsTheTextInStepWithTheField) {
    Field().selectAll();
    Press(Chars("ab") + std::vector<Key>{kBackspace} + Chars(QString::fromUtf8("ñ")));
    EXPECT_EQ(Combo().Text(), "a\xF1");
    EXPECT_EQ(Field().text(), QString::fromUtf8("añ"));
    Combo().SetText("Paris");
    EXPECT_EQ(Field().text(), QStringLiteral("Paris"));
    EXPECT_TRUE(clicks.empty());
}

// The road of the real keyboard: keys reach the focused list, not its field.
TEST_F(ComboBoxTest, TypingIntoTheFocusedListFindsSpainAndMarksMadrid) {
    PressMap(1865, 400);  // Paris first, so that the marker has to move
    ASSERT_EQ(Combo().ItemIndex(), 4);
    ASSERT_EQ(Form1->Marca->Left() + Form1->ScrollBox1->HorzScrollBar->Position(), 1865);
    Field().selectAll();
    ASSERT_TRUE(Combo().Focused());
    QTest::keyClicks(&Widget(), " esp");

    EXPECT_EQ(Combo().ItemIndex(), 2);
    EXPECT_EQ(Elegido, 2);
    EXPECT_EQ(Form1->Edit1->Text(), "1734  484");
    EXPECT_EQ(Form1->Marca->Left() + Form1->ScrollBox1->HorzScrollBar->Position(), 1734);
    EXPECT_EQ(Form1->Marca->Top() + Form1->ScrollBox1->VertScrollBar->Position(), 484);
    EXPECT_EQ(ClickedIndices(), (std::vector<int>{0, 2}));
}

}  // namespace

// The opened list: DropDownCount rows of ItemHeight pixels, fewer when the
// list holds fewer, at least one.
struct DropDownCase {
    int entries;
    int dropDownCount;
    int expectedRows;
};

void PrintTo(const DropDownCase& c, std::ostream* os) {
    *os << c.entries << " entries, DropDownCount " << c.dropDownCount;
}

class DropDownRows : public WindowTest, public ::testing::WithParamInterface<DropDownCase> {};

TEST_P(DropDownRows, ShowsThatManyRowsOfTheStoredHeight) {
    const DropDownCase& c = GetParam();
    std::string list;
    for (int i = 0; i < c.entries; ++i) list += "Lugar " + std::to_string(i) + "=" + std::to_string(i) + ",0\r\n";
    WriteList(list);
    CreateAndShowWindow();
    platform::TComboBox& combo = *Form1->ComboBox1;
    ASSERT_EQ(combo.DropDownCount(), 26);  // as stored, on this screen width
    ASSERT_EQ(combo.ItemHeight(), 16);
    combo.SetDropDownCount(c.dropDownCount);

    auto& widget = *static_cast<QComboBox*>(combo.Handle());
    widget.showPopup();
    QAbstractItemView* view = widget.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    EXPECT_EQ(view->visualRect(view->model()->index(0, 0)).height(), 16);
    EXPECT_EQ(view->viewport()->height(), c.expectedRows * 16);
    const QModelIndex lastShown = view->indexAt(QPoint(1, view->viewport()->height() - 1));
    EXPECT_EQ(lastShown.row(), c.expectedRows - 1);
    widget.hidePopup();
}

INSTANTIATE_TEST_SUITE_P(Table, DropDownRows,
                         ::testing::Values(DropDownCase{30, 26, 26}, DropDownCase{26, 26, 26},
                                           DropDownCase{3, 26, 3}, DropDownCase{30, 10, 10},
                                           DropDownCase{30, 0, 1}),
                         [](const ::testing::TestParamInfo<DropDownCase>& param) {
                             return std::to_string(param.param.entries) + "EntriesCount" +
                                    std::to_string(param.param.dropDownCount);
                         });
