// The main window as its stored layout and FormCreate leave it: the fitting to
// the primary screen's width, the builder's errors, no events while loading,
// the label, the tab order and the first focus, and the error box.

#include "CountingForm.h"
#include "WindowFixture.h"

#include "LayoutBuilder.h"
#include "LayoutParser.h"
#include "StoredValues.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QProcess>
#include <QTemporaryDir>

#include <fstream>
#include <functional>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using platform::Application;

// ---------------------------------------------------------------------------
// Screen-width fitting. The offscreen platform reads its screens from a
// configuration file once per process, so each width runs in a probe process.

struct ScreenCase {
    int screenWidth;
    int screenHeight;
    int dropDownCount;
    int formWidth;
    int formHeight;
    int viewWidth;
    int viewHeight;
};

void PrintTo(const ScreenCase& c, std::ostream* out) {
    *out << c.screenWidth << " x " << c.screenHeight;
}

std::map<std::string, int> RunProbe(const ScreenCase& screen, const QTemporaryDir& directory) {
    const QString config = directory.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral(R"({"screens": [{"name": "s", "x": 0, "y": 0, "width": %1, "height": %2,)"
                              R"( "logicalDpi": 96}]})")
                   .arg(screen.screenWidth)
                   .arg(screen.screenHeight)
                   .toUtf8());
    file.close();

    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), "offscreen:configfile=" + config);
    probe.setProcessEnvironment(environment);
    probe.setWorkingDirectory(directory.path());
    probe.start(QStringLiteral(ORBE_SCREEN_FIT_PROBE), {});
    EXPECT_TRUE(probe.waitForFinished(300000)) << "the probe did not finish";
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();

    std::map<std::string, int> figures;
    for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2) figures[parts[0].toStdString()] = parts[1].toInt();
    }
    return figures;
}

class ScreenFit : public ::testing::TestWithParam<ScreenCase> {};

TEST_P(ScreenFit, OnlyTheScreenWidthDecidesTheWindowAndViewSizesAndTheDropDownRows) {
    const ScreenCase& c = GetParam();
    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    std::map<std::string, int> figures = RunProbe(c, directory);
    ASSERT_EQ(figures.count("error_boxes"), 1u) << "the probe did not get to the end";
    // The probe really ran on the screen asked for.
    EXPECT_EQ(figures["screen.width"], c.screenWidth);
    EXPECT_EQ(figures["screen.height"], c.screenHeight);

    // As FormCreate left them, before the window is shown...
    EXPECT_EQ(figures["form.left"], 17);
    EXPECT_EQ(figures["form.top"], 15);
    EXPECT_EQ(figures["form.width"], c.formWidth);
    EXPECT_EQ(figures["form.height"], c.formHeight);
    EXPECT_EQ(figures["view.width"], c.viewWidth);
    EXPECT_EQ(figures["view.height"], c.viewHeight);
    EXPECT_EQ(figures["dropdown.count"], c.dropDownCount);
    EXPECT_EQ(figures["dropdown.item_height"], 16);

    // ...and what the window system shows: the outer rectangle, frame included.
    EXPECT_EQ(figures["shown.exposed"], 1);
    EXPECT_EQ(figures["shown.left"], 17);
    EXPECT_EQ(figures["shown.top"], 15);
    EXPECT_EQ(figures["shown.width"], c.formWidth);
    EXPECT_EQ(figures["shown.height"], c.formHeight);
    EXPECT_EQ(figures["shown.form.width"], c.formWidth);
    EXPECT_EQ(figures["shown.form.height"], c.formHeight);
    EXPECT_EQ(figures["shown.view.width"], c.viewWidth);
    EXPECT_EQ(figures["shown.view.height"], c.viewHeight);
    EXPECT_EQ(figures["shown.dropdown.count"], c.dropDownCount);
}

INSTANTIATE_TEST_SUITE_P(
    Widths, ScreenFit,
    ::testing::Values(ScreenCase{800, 600, 26, 994, 718, 961, 641},
                      ScreenCase{1023, 768, 26, 994, 718, 961, 641},
                      ScreenCase{1024, 768, 38, 990, 718, 960, 640},
                      ScreenCase{1025, 768, 26, 994, 718, 961, 641},
                      ScreenCase{1152, 864, 26, 994, 718, 961, 641},
                      ScreenCase{1280, 1024, 50, 1246, 968, 1210, 870},
                      ScreenCase{1366, 768, 26, 994, 718, 961, 641},
                      ScreenCase{1920, 1080, 26, 994, 718, 961, 641},
                      // too low for the window: it gets its height all the same
                      ScreenCase{1280, 800, 50, 1246, 968, 1210, 870}),
    [](const ::testing::TestParamInfo<ScreenCase>& row) {
        return std::to_string(row.param.screenWidth) + "x" + std::to_string(row.param.screenHeight);
    });

// ---------------------------------------------------------------------------
// The stored layout.

class StoredLayout : public WindowTest {
protected:
    // Writes a layout document into the working directory; a form reads it
    // by that path.
    std::string WriteLayout(const std::string& json) const {
        const auto path = directory_ / "layout.json";
        std::ofstream(path, std::ios::binary) << json;
        return path.string();
    }
};

struct RejectedLayout {
    const char* what;
    const char* document;
    std::vector<std::string> named;  // what the message must name
};

TEST_F(StoredLayout, TheBuilderRejectsWhatItDoesNotKnowNamingIt) {
    const RejectedLayout cases[] = {
        {"unknown class", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TButton", "name": "Edit1"}]})",
         {"TButton"}},
        {"unknown property of a control", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TEdit", "name": "Edit1", "properties": {"Colour": "clLime"}}]})",
         {"Colour", "Edit1"}},
        {"unknown property of the form", R"({"class": "TForm", "name": "F",
            "properties": {"Titulo": "x"}})",
         {"Titulo"}},
        {"unknown nested property", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TScrollBox", "name": "Vista", "properties": {"HorzScrollBar": {"Rango": 3732}}}]})",
         {"HorzScrollBar.Rango"}},
        {"unknown font property", R"({"class": "TForm", "name": "F",
            "properties": {"Font": {"Italic": true}}})",
         {"Font.Italic"}},
        {"unknown pen property", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TShape", "name": "Marca", "properties": {"Pen": {"Colour": "clBlack"}}}]})",
         {"Pen.Colour"}},
        {"unknown brush property", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TShape", "name": "Marca", "properties": {"Brush": {"Color": "clLime", "Estilo": 1}}}]})",
         {"Brush.Estilo"}},
        {"unknown event", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TEdit", "name": "Edit1", "events": {"OnDblClick": "Lectura"}}]})",
         {"OnDblClick", "Edit1"}},
        {"unknown event of the form", R"({"class": "TForm", "name": "F",
            "events": {"OnDestroy": "Lectura"}})",
         {"OnDestroy"}},
        {"unknown handler", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TEdit", "name": "Edit1", "events": {"OnClick": "NoExiste"}}]})",
         {"NoExiste"}},
        {"unknown handler of the form", R"({"class": "TForm", "name": "F",
            "events": {"OnCreate": "NoExiste"}})",
         {"NoExiste"}},
        {"a mouse handler for a click", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TEdit", "name": "Edit1", "events": {"OnClick": "Presion"}}]})",
         {"Presion"}},
        {"a click handler for a press", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TEdit", "name": "Edit1", "events": {"OnMouseDown": "Lectura"}}]})",
         {"Lectura"}},
        {"no member of that name", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TEdit", "name": "Edit2"}]})",
         {"Edit2"}},
        {"a member of another class", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TLabel", "name": "Edit1"}]})",
         {"Edit1", "TLabel"}},
        {"a text for a number", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TEdit", "name": "Edit1", "properties": {"Left": "72"}}]})",
         {"Left"}},
        {"a number for true or false", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TEdit", "name": "Edit1", "properties": {"Visible": 1}}]})",
         {"Visible"}},
        {"a number for a text", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TEdit", "name": "Edit1", "properties": {"Text": 5}}]})",
         {"Text"}},
        {"a text for a font height", R"({"class": "TForm", "name": "F",
            "properties": {"Font": {"Height": "-11"}}})",
         {"Font.Height"}},
        {"an unknown colour", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TShape", "name": "Marca", "properties": {"Brush": {"Color": "clVerde"}}}]})",
         {"Brush.Color"}},
        {"a graphic control holding controls", R"({"class": "TForm", "name": "F", "controls": [
            {"class": "TLabel", "name": "Rotulo", "controls": [{"class": "TEdit", "name": "Edit1"}]}]})",
         {"Rotulo"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        platform::TEdit* edit = nullptr;
        platform::TLabel* label = nullptr;
        platform::TScrollBox* view = nullptr;
        platform::TShape* marker = nullptr;
        platform::LayoutBindings bindings;
        bindings.Field("Edit1", edit);
        bindings.Field("Rotulo", label);
        bindings.Field("Vista", view);
        bindings.Field("Marca", marker);
        bindings.Handler("Lectura", platform::TNotifyEvent([](platform::TObject*) {}));
        bindings.Handler("Presion", platform::TMouseEvent([](platform::TObject*, platform::TMouseButton,
                                                             platform::TShiftState, int, int) {}));
        platform::TForm form(Application);
        try {
            platform::BuildStoredLayout(form, platform::ParseStoredLayout(c.document), bindings);
            ADD_FAILURE() << "accepted";
        } catch (const platform::ELayoutError& error) {
            for (const std::string& name : c.named)
                EXPECT_NE(error.Message().find(name), std::string::npos)
                    << "\"" << error.Message() << "\" does not name " << name;
        }
    }
}

TEST_F(StoredLayout, LoadingRaisesNoEventAndTheCreationHandlerRunsOnceAfterIt) {
    const std::string layout = WriteLayout(R"({
        "class": "TForm", "name": "F",
        "events": {"OnCreate": "FormCreate", "OnActivate": "FormActivate"},
        "controls": [
            {"class": "TComboBox", "name": "ComboBox1",
             "properties": {"Text": "  elegir", "DropDownCount": 5, "Visible": true, "Enabled": true},
             "events": {"OnClick": "ComboBox1Click"}},
            {"class": "TBitBtn", "name": "BtAyuda",
             "properties": {"Caption": "&Ayuda", "Kind": "bkCustom", "Enabled": false, "Visible": true},
             "events": {"OnClick": "BtAyudaClick"}},
            {"class": "TScrollBox", "name": "ScrollBox1",
             "properties": {"Width": 100, "Height": 100, "AutoScroll": false,
                            "HorzScrollBar": {"Range": 500, "Position": 40}},
             "controls": [
                {"class": "TImage", "name": "Image1", "properties": {"Width": 500, "Height": 500},
                 "events": {"OnMouseDown": "Image1MouseDown"}},
                {"class": "TMemo", "name": "Memo1", "properties": {"Lines": ["uno", "dos"], "Visible": true},
                 "events": {"OnClick": "Memo1Click"}}]}]})");
    CountingForm form(Application, layout);
    EXPECT_EQ(form.Calls("FormCreate"), 1);
    EXPECT_EQ(form.TotalCalls(), 1) << "an event reached a handler while the layout loaded";
    EXPECT_FALSE(form.IsLoading());
    EXPECT_EQ(form.ComboBox1->Text(), "  elegir");
    EXPECT_EQ(form.ComboBox1->ItemIndex(), -1);

    // The handlers are bound: the user's choice does reach them.
    form.ComboBox1->Items().Add(" Uno");
    form.ComboBox1->ListChoice(0);
    EXPECT_EQ(form.Calls("ComboBox1Click"), 1);
    form.ScrollBox1->ClientMouseDown(platform::TMouseButton::mbLeft, 0, 5, 5);
    EXPECT_EQ(form.Calls("Image1MouseDown"), 1);
}

TEST_F(StoredLayout, TheMainWindowsLayoutLoadsWithoutRunningAnyOfItsHandlers) {
    CountingForm form(Application, ":/forms/Unit1.json");
    EXPECT_EQ(form.Calls("FormCreate"), 1);
    EXPECT_EQ(form.TotalCalls(), 1);
    EXPECT_TRUE(errors.empty());

    // Every control with its stored settings.
    struct Bounds {
        const platform::TControl* control;
        int left, top, width, height;
    };
    const Bounds stored[] = {
        {&form, 17, 15, 994, 718},
        {form.BtSalir, 648, 8, 75, 25},
        {form.ScrollBox1, 16, 40, 961, 641},
        {form.ComboBox1, 176, 8, 329, 24},
        {form.Edit1, 72, 8, 73, 21},
        {form.BtAyuda, 561, 8, 56, 25},
        {form.Memo1, 96, 6, 425, 400},
    };
    for (const auto& b : stored) {
        ASSERT_NE(b.control, nullptr);
        SCOPED_TRACE(b.control->Name());
        EXPECT_EQ(b.control->Left(), b.left);
        EXPECT_EQ(b.control->Top(), b.top);
        EXPECT_EQ(b.control->Width(), b.width);
        EXPECT_EQ(b.control->Height(), b.height);
    }
    EXPECT_EQ(form.Label1->Left(), 16);
    EXPECT_EQ(form.Label1->Top(), 16);
    EXPECT_EQ(form.BtSalir->Caption(), "&Salir");
    EXPECT_EQ(form.BtSalir->Kind(), platform::TBitBtnKind::bkClose);
    EXPECT_EQ(form.BtAyuda->Caption(), "&Ayuda");
    EXPECT_EQ(form.BtAyuda->Kind(), platform::TBitBtnKind::bkCustom);
    EXPECT_EQ(form.ComboBox1->Text(), "       LISTA DE PA\xCDSES  (Capital)");
    EXPECT_EQ(form.ComboBox1->DropDownCount(), 26);
    EXPECT_EQ(form.ComboBox1->Items().Count(), 0);
    EXPECT_EQ(form.ComboBox1->ItemIndex(), -1);
    EXPECT_EQ(form.Edit1->Text(), "");
    EXPECT_FALSE(form.Marca->Visible());
    EXPECT_FALSE(form.Memo1->Visible());
    EXPECT_FALSE(form.ScrollBox1->TabStop());
    // The caption's shape: two blanks, the title, two blanks, the credit in
    // parentheses ending in the version.
    const std::string caption = form.Caption();
    EXPECT_EQ(caption.rfind("  ", 0), 0u);
    EXPECT_NE(caption.find("  ("), std::string::npos);
    EXPECT_TRUE(caption.ends_with("  V. 2.3)")) << caption;
}

// ---------------------------------------------------------------------------
// The label, the tab order and the first focus in the real main window.

TEST_F(WindowTest, TheLabelIsBoldAndTakesItsTextsSize) {
    CreateWindow();
    platform::TLabel* label = Form1->Label1;
    EXPECT_EQ(label->Caption(), "COORD.");
    EXPECT_TRUE(label->Font().Bold);
    EXPECT_EQ(label->Font().Height, -11);
    const QFontMetrics bold(platform::ToQFont(label->Font()));
    EXPECT_EQ(label->Width(), bold.horizontalAdvance(QStringLiteral("COORD.")));
    EXPECT_EQ(label->Height(), bold.height());
    EXPECT_GT(label->Width(), 0);

    // It follows its text both ways, and its left and top stay.
    const int width = label->Width();
    label->SetCaption("COORD. X Y");
    EXPECT_GT(label->Width(), width);
    label->SetCaption("C");
    EXPECT_LT(label->Width(), width);
    label->SetCaption("COORD.");
    EXPECT_EQ(label->Width(), width);
    EXPECT_EQ(label->Left(), 16);
    EXPECT_EQ(label->Top(), 16);
}

TEST_F(WindowTest, TabMovesThroughTheButtonsListAndReadOutInTabOrderFromTheExitButton) {
    WriteList("Uno=10,10\r\n");
    CreateAndShowWindow();
    ASSERT_TRUE(Form1->BtSalir->Focused()) << "the exit button has the focus at start";

    const platform::TWinControl* forward[] = {Form1->ComboBox1, Form1->Edit1, Form1->BtAyuda, Form1->BtSalir,
                                              Form1->ComboBox1};
    for (const platform::TWinControl* next : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_TRUE(next->Focused()) << "Tab should reach " << next->Name();
        EXPECT_FALSE(Form1->ScrollBox1->Focused());
        EXPECT_FALSE(Form1->Memo1->Focused());
    }
    const platform::TWinControl* backward[] = {Form1->BtSalir, Form1->BtAyuda, Form1->Edit1};
    for (const platform::TWinControl* next : backward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        EXPECT_TRUE(next->Focused()) << "Shift+Tab should reach " << next->Name();
    }
    EXPECT_TRUE(errors.empty());
}

// ---------------------------------------------------------------------------
// The error box.

TEST_F(StoredLayout, AnExceptionLeavingAHandlerIsShownWithItsFullStopAndTheProgramGoesOn) {
    const std::string layout = WriteLayout(R"({
        "class": "TForm", "name": "F",
        "controls": [
            {"class": "TBitBtn", "name": "BtAyuda", "properties": {"Caption": "&Ayuda"},
             "events": {"OnClick": "Falla"}},
            {"class": "TComboBox", "name": "ComboBox1", "events": {"OnClick": "ComboBox1Click"}}]})");
    CountingForm form(Application, layout, "No hay lista");
    ASSERT_TRUE(errors.empty());

    form.BtAyuda->Click();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].message, "No hay lista.");
    EXPECT_EQ(errors[0].title, Application->Title());
    EXPECT_EQ(errors[0].title,
              platform::TitleFromFileName(QCoreApplication::applicationFilePath().toStdString()));
    EXPECT_NE(errors[0].title, form.Caption());

    // The program goes on: the same handler and another one run again.
    form.BtAyuda->Click();
    form.ComboBox1->Items().Add(" Uno");
    form.ComboBox1->ListChoice(0);
    EXPECT_EQ(form.Calls("Falla"), 2);
    EXPECT_EQ(form.Calls("ComboBox1Click"), 1);
    EXPECT_EQ(errors.size(), 2u);
}

TEST_F(WindowTest, EveryKindOfEscapingErrorIsShownOnceWithTheApplicationTitle) {
    struct Thrown {
        const char* what;
        std::function<void()> handler;
        std::string shown;
    };
    const Thrown cases[] = {
        {"library exception", [] { throw platform::Exception("File not found"); }, "File not found."},
        {"message with its own stop", [] { throw platform::Exception("Ya cerrado."); }, "Ya cerrado."},
        {"message ending in a parenthesis", [] { throw platform::Exception("Fallo (3)"); }, "Fallo (3)"},
        {"standard exception", [] { throw std::runtime_error("Disco lleno"); }, "Disco lleno."},
        {"out of memory", [] { throw std::bad_alloc(); }, "Out of memory."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        errors.clear();
        bool after = false;
        Application->Dispatch(c.handler);
        Application->Dispatch([&after] { after = true; });
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].message, c.shown);
        EXPECT_EQ(errors[0].title, Application->Title());
        EXPECT_TRUE(after) << "the next handler did not run";
    }
}

// The creation handler of a test form that fails: its layout path is set by
// the test before the form is created.
std::string failingLayoutPath;

class FailingCreationForm : public CountingForm {
public:
    explicit FailingCreationForm(platform::TComponent* owner)
        : CountingForm(owner, failingLayoutPath, "No se pudo crear") {}
};

TEST_F(StoredLayout, AnExceptionInTheCreationHandlerIsShownAndCreationGoesOn) {
    failingLayoutPath = WriteLayout(R"({
        "class": "TForm", "name": "F", "properties": {"Caption": "Prueba"},
        "events": {"OnCreate": "Falla"},
        "controls": [{"class": "TEdit", "name": "Edit1", "properties": {"Text": "listo"}}]})");
    FailingCreationForm* form = nullptr;
    Application->CreateForm(form);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Calls("Falla"), 1);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].message, "No se pudo crear.");
    EXPECT_EQ(errors[0].title, Application->Title());
    // Creation went on: the form is the application's main form, whole.
    EXPECT_EQ(Application->MainForm(), form);
    EXPECT_FALSE(form->IsLoading());
    ASSERT_NE(form->Edit1, nullptr);
    EXPECT_EQ(form->Edit1->Text(), "listo");
    EXPECT_EQ(form->Caption(), "Prueba");
}

}  // namespace
