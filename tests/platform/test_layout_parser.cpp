// The stored-layout parser: a JSON document becomes a tree of components with
// their properties and event bindings, in stored order, with no widgets; a
// malformed document is an error that says what and where.

#include "LayoutParser.h"
#include "StoredValues.h"

#include <gtest/gtest.h>

#include <QFile>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using platform::ELayoutError;
using platform::ParseStoredLayout;
using platform::StoredComponent;

std::vector<std::string> Names(const std::vector<StoredComponent>& controls) {
    std::vector<std::string> names;
    for (const auto& control : controls) names.push_back(control.name.toStdString());
    return names;
}

TEST(ParseStoredLayout, ReadsComponentsPropertiesAndEventsInStoredOrder) {
    const StoredComponent form = ParseStoredLayout(R"({
        "class": "TForm1", "name": "Form1",
        "properties": {"Left": 17, "Caption": "  ORBE", "Font": {"Height": -11}},
        "events": {"OnCreate": "FormCreate"},
        "controls": [
            {"class": "TLabel", "name": "Zeta"},
            {"class": "TScrollBox", "name": "Alfa", "controls": [
                {"class": "TImage", "name": "Image1", "events": {"OnMouseDown": "Image1MouseDown"}},
                {"class": "TShape", "name": "Marca", "properties": {"Visible": false}}
            ]},
            {"class": "TEdit", "name": "Medio"}
        ]})");
    EXPECT_EQ(form.className, "TForm1");
    EXPECT_EQ(form.name, "Form1");
    EXPECT_EQ(form.properties.value("Left").toInt(), 17);
    EXPECT_EQ(form.properties.value("Caption").toString(), "  ORBE");
    EXPECT_EQ(form.properties.value("Font").toObject().value("Height").toInt(), -11);
    ASSERT_EQ(form.events.size(), 1u);
    EXPECT_EQ(form.events[0].first, "OnCreate");
    EXPECT_EQ(form.events[0].second, "FormCreate");
    // creation order is the stored order, not the alphabetical one
    EXPECT_EQ(Names(form.controls), (std::vector<std::string>{"Zeta", "Alfa", "Medio"}));
    const StoredComponent& view = form.controls[1];
    EXPECT_EQ(view.className, "TScrollBox");
    EXPECT_EQ(Names(view.controls), (std::vector<std::string>{"Image1", "Marca"}));
    ASSERT_EQ(view.controls[0].events.size(), 1u);
    EXPECT_EQ(view.controls[0].events[0].second, "Image1MouseDown");
    EXPECT_FALSE(view.controls[1].properties.value("Visible").toBool(true));
    EXPECT_TRUE(form.controls[0].controls.empty());
    EXPECT_TRUE(form.controls[0].properties.isEmpty());
}

TEST(ParseStoredLayout, TheMainWindowsLayoutHoldsEveryControlInStoredOrder) {
    QFile file(QStringLiteral(ORBE_SOURCE_DIR "/src/forms/Unit1.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const StoredComponent form = ParseStoredLayout(file.readAll());
    EXPECT_EQ(form.className, "TForm1");
    EXPECT_EQ(form.name, "Form1");
    EXPECT_EQ(Names(form.controls), (std::vector<std::string>{"Label1", "BtSalir", "ScrollBox1",
                                                               "ComboBox1", "Edit1", "BtAyuda"}));
    const auto view = std::find_if(form.controls.begin(), form.controls.end(),
                                   [](const StoredComponent& c) { return c.name == "ScrollBox1"; });
    ASSERT_NE(view, form.controls.end());
    // bottom of the stacking order first
    EXPECT_EQ(Names(view->controls), (std::vector<std::string>{"Image1", "Marca", "Memo1"}));
}

struct BadLayout {
    const char* what;
    const char* document;
    std::vector<std::string> named;  // what the message must name
};

TEST(ParseStoredLayout, RejectsAMalformedDocumentNamingWhatAndWhere) {
    const BadLayout cases[] = {
        {"not JSON", R"({"class": "TForm1", "name": )", {"offset"}},
        {"no class", R"({"name": "Form1"})", {"without a class"}},
        {"no name", R"({"class": "TForm1"})", {"without a name"}},
        {"a list at the top", R"([{"class": "TForm1", "name": "Form1"}])", {"without a class"}},
        {"misspelt key", R"({"class": "TForm1", "name": "Form1", "propertys": {}})",
         {"propertys", "Form1"}},
        {"properties not an object", R"({"class": "TForm1", "name": "Form1", "properties": [1]})",
         {"properties", "Form1"}},
        {"events not an object", R"({"class": "TForm1", "name": "Form1", "events": "FormCreate"})",
         {"events", "Form1"}},
        {"a handler that is not a name",
         R"({"class": "TForm1", "name": "Form1", "events": {"OnCreate": 5}})", {"OnCreate", "Form1"}},
        {"controls not a list", R"({"class": "TForm1", "name": "Form1", "controls": {}})",
         {"controls", "Form1"}},
        {"a control that is not an object", R"({"class": "TForm1", "name": "Form1", "controls": [5]})",
         {"object", "Form1"}},
        {"a nested control without a class",
         R"({"class": "TForm1", "name": "Form1", "controls": [
                {"class": "TScrollBox", "name": "ScrollBox1", "controls": [{"name": "Marca"}]}]})",
         {"without a class", "Form1/ScrollBox1"}},
        {"a misspelt key in a nested control",
         R"({"class": "TForm1", "name": "Form1", "controls": [
                {"class": "TScrollBox", "name": "ScrollBox1", "controls": [
                    {"class": "TShape", "name": "Marca", "event": {}}]}]})",
         {"event", "Form1/ScrollBox1/Marca"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            ParseStoredLayout(c.document);
            ADD_FAILURE() << "accepted";
        } catch (const ELayoutError& error) {
            for (const std::string& name : c.named)
                EXPECT_NE(error.Message().find(name), std::string::npos)
                    << "\"" << error.Message() << "\" does not name " << name;
        }
    }
}

}  // namespace
