// The window as a desktop program: screen readers, the mouse wheel over the
// map, and a screen that scales every logical pixel by two.

#include "WindowFixture.h"

#include "JpegImage.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QScrollBar>
#include <QWheelEvent>

#include <gmock/gmock.h>

#include <functional>
#include <string>
#include <vector>

using ::testing::HasSubstr;

namespace {

const char kTwoPlaces[] = "Espa\xF1" "a (Madrid)=1734,484\r\nFrancia (Par\xEDs)=1865,400\r\n";

std::string Utf8(const QString& text) { return text.toStdString(); }

QAccessibleInterface* Accessible(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    EXPECT_NE(accessible, nullptr);
    return accessible;
}

std::string AccessibleName(QWidget* widget) {
    QAccessibleInterface* accessible = Accessible(widget);
    return accessible ? Utf8(accessible->text(QAccessible::Name)) : std::string();
}

std::string AccessibleDescription(QWidget* widget) {
    QAccessibleInterface* accessible = Accessible(widget);
    return accessible ? Utf8(accessible->text(QAccessible::Description)) : std::string();
}

}  // namespace

// ---------------------------------------------------------------- screen readers

TEST_F(WindowTest, EveryControlHasASpanishAccessibleName) {
    CreateAndShowWindow();
    struct Case {
        const char* control;
        QWidget* widget;
        const char* name;
        const char* description;  // a part of it; "" when its text says enough
    };
    const Case cases[] = {
        {"Form1", Form1->Handle(), "Orbe: mapa político del mundo", "pulse el mapa"},
        {"BtSalir", Form1->BtSalir->Handle(), "Salir", ""},
        {"BtAyuda", Form1->BtAyuda->Handle(), "Ayuda", ""},
        {"Edit1", Form1->Edit1->Handle(), "Coordenadas", "en píxeles del mapa"},
        {"ScrollBox1", Form1->ScrollBox1->Handle(), "Mapa", "rueda del ratón"},
        {"Memo1", Form1->Memo1->Handle(), "Texto de ayuda", "Púlselo para cerrarlo"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        EXPECT_EQ(AccessibleName(c.widget), c.name);
        EXPECT_THAT(AccessibleDescription(c.widget), HasSubstr(c.description));
    }
    // On Linux Qt names the drop-down list by its text; the field inside it,
    // where the focus goes, says what it is.
    auto* combo = static_cast<QComboBox*>(Form1->ComboBox1->Handle());
    EXPECT_EQ(AccessibleName(combo->lineEdit()), "Lista de países");
    EXPECT_THAT(AccessibleDescription(combo), HasSubstr("capital entre paréntesis"));

    // Picture, marker and label have no window: their parent's description
    // says what they are.
    const std::string view = AccessibleDescription(Form1->ScrollBox1->Handle());
    EXPECT_THAT(view, HasSubstr("Mapa político del mundo: al pulsar en un punto"));
    EXPECT_THAT(view, HasSubstr("Marca: círculo verde sobre el lugar elegido."));
    EXPECT_THAT(AccessibleDescription(Form1->Handle()), HasSubstr("Coordenadas: rótulo del campo"));

    // No control of the window is left without a name.
    for (int i = 0; i < Form1->ComponentCount(); ++i) {
        const auto* control = dynamic_cast<const platform::TControl*>(Form1->Components(i));
        ASSERT_NE(control, nullptr);
        EXPECT_FALSE(control->AccessibleName().empty()) << control->Name();
    }
}

TEST_F(WindowTest, AccessibleTextsFollowTheControlsAndTheirGraphicChildren) {
    CreateWindow();
    // Windows-1252 in the program, Unicode for the screen reader.
    Form1->Edit1->SetAccessibleName("Lectura (\xA1nueva!)");
    EXPECT_EQ(AccessibleName(Form1->Edit1->Handle()), "Lectura (¡nueva!)");

    Form1->Marca->SetAccessibleDescription("punto elegido.");
    EXPECT_THAT(AccessibleDescription(Form1->ScrollBox1->Handle()), HasSubstr("Marca: punto elegido."));
    Form1->Marca->SetAccessibleName("");
    EXPECT_THAT(AccessibleDescription(Form1->ScrollBox1->Handle()), ::testing::Not(HasSubstr("punto elegido")));
    EXPECT_THAT(AccessibleDescription(Form1->ScrollBox1->Handle()), HasSubstr("Mapa político del mundo"));
}

TEST_F(WindowTest, TheReadOutFieldGivesTheScreenReaderTheCoordinatesItShows) {
    // Qt's line edit announces a change of its text as it is set; what the
    // screen reader then reads is the field's text through its interface.
    WriteList(kTwoPlaces);
    CreateAndShowWindow();
    QAccessibleInterface* readOut = Accessible(Form1->Edit1->Handle());
    ASSERT_NE(readOut, nullptr);
    ASSERT_NE(readOut->textInterface(), nullptr);
    const auto shown = [readOut] {
        QAccessibleTextInterface* text = readOut->textInterface();
        return Utf8(text->text(0, text->characterCount()));
    };
    EXPECT_EQ(shown(), "");

    PressMap(1500, 400);
    EXPECT_EQ(shown(), "1500  400");
    EXPECT_EQ(Utf8(readOut->text(QAccessible::Value)), "1500  400");
    Form1->ComboBox1->ListChoice(1);  // a choice from the opened list
    EXPECT_EQ(shown(), "1865  400");
    // Its name stays what the field is, whatever it shows.
    EXPECT_EQ(Utf8(readOut->text(QAccessible::Name)), "Coordenadas");
}

// ---------------------------------------------------------------- the wheel

namespace {

void Wheel(QWidget* viewport, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
           QPoint pixels = {}) {
    const QPointF at(100, 100);
    QWheelEvent event(at, viewport->mapToGlobal(at), pixels, angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

}  // namespace

TEST_F(WindowTest, TheWheelScrollsTheMapViewByThePlatformStep) {
    WriteList(kTwoPlaces);
    CreateAndShowWindow();
    PressMap(1500, 400);  // something chosen and shown, to see it stay
    platform::TScrollBox& view = *Form1->ScrollBox1;
    const int markerX = Form1->Marca->Left() + view.HorzScrollBar->Position();
    const int markerY = Form1->Marca->Top() + view.VertScrollBar->Position();
    const int item = Form1->ComboBox1->ItemIndex();
    const platform::AnsiString readOut = Form1->Edit1->Text();
    const int step = QApplication::wheelScrollLines() * platform::TControlScrollBar::Increment;
    ASSERT_GT(step, 0);

    struct Case {
        const char* what;
        std::vector<QPoint> angles;
        Qt::KeyboardModifiers modifiers;
        QPoint pixels;
        int dx;
        int dy;
    };
    const Case cases[] = {
        {"a notch towards the user scrolls down", {{0, -120}}, Qt::NoModifier, {}, 0, step},
        {"a notch away scrolls up", {{0, 120}}, Qt::NoModifier, {}, 0, -step},
        {"Shift turns it sideways", {{0, -120}}, Qt::ShiftModifier, {}, step, 0},
        {"a sideways wheel scrolls sideways", {{120, 0}}, Qt::NoModifier, {}, -step, 0},
        {"half notches add up", {{0, -60}, {0, -60}}, Qt::NoModifier, {}, 0, step},
        {"three notches at once", {{0, -360}}, Qt::NoModifier, {}, 0, 3 * step},
        {"a touchpad gives pixels", {{0, -120}}, Qt::NoModifier, {-7, -5}, 7, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const int h = view.HorzScrollBar->Position();
        const int v = view.VertScrollBar->Position();
        for (const QPoint angle : c.angles) Wheel(MapViewport(), angle, c.modifiers, c.pixels);
        EXPECT_EQ(view.HorzScrollBar->Position(), h + c.dx);
        EXPECT_EQ(view.VertScrollBar->Position(), v + c.dy);
        // The view moved; the marker stays on its map pixel, nothing is chosen.
        EXPECT_EQ(Form1->Marca->Left() + view.HorzScrollBar->Position(), markerX);
        EXPECT_EQ(Form1->Marca->Top() + view.VertScrollBar->Position(), markerY);
        EXPECT_EQ(Form1->ComboBox1->ItemIndex(), item);
        EXPECT_EQ(Form1->Edit1->Text(), readOut);
        EXPECT_EQ(Elegido, 0);
    }
    // Qt's scroll bars show where the view now stands.
    EXPECT_EQ(static_cast<QAbstractScrollArea*>(view.Handle())->verticalScrollBar()->value(),
              view.VertScrollBar->Position());
}

TEST_F(WindowTest, TheWheelStopsAtTheEdgesOfTheMap) {
    CreateAndShowWindow();
    platform::TScrollBox& view = *Form1->ScrollBox1;
    view.VertScrollBar->SetPosition(view.VertScrollBar->Max() - 5);
    Wheel(MapViewport(), {0, -120});
    EXPECT_EQ(view.VertScrollBar->Position(), view.VertScrollBar->Max());
    Wheel(MapViewport(), {0, -120});
    EXPECT_EQ(view.VertScrollBar->Position(), view.VertScrollBar->Max());

    view.HorzScrollBar->SetPosition(3);
    Wheel(MapViewport(), {0, 120}, Qt::ShiftModifier);
    EXPECT_EQ(view.HorzScrollBar->Position(), 0);
    // Nothing left over at an edge: the first notch back moves a whole step.
    Wheel(MapViewport(), {0, -120}, Qt::ShiftModifier);
    EXPECT_EQ(view.HorzScrollBar->Position(), QApplication::wheelScrollLines() * 8);
}

// ---------------------------------------------------------------- high DPI

namespace {

// Whether every map pixel of `area` (content coordinates) fills a
// scale x scale block of `device` with exactly its own colour; `origin` is
// the content point at the device image's top-left corner.
::testing::AssertionResult DrawnSharp(const QImage& device, const QImage& map, QPoint origin,
                                      QRect area, int scale) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            for (int j = 0; j < scale; ++j)
                for (int i = 0; i < scale; ++i) {
                    const QRgb drawn = device.pixel((x - origin.x()) * scale + i, (y - origin.y()) * scale + j);
                    if (qRed(drawn) != qRed(map.pixel(x, y)) || qGreen(drawn) != qGreen(map.pixel(x, y)) ||
                        qBlue(drawn) != qBlue(map.pixel(x, y)))
                        return ::testing::AssertionFailure() << "map pixel (" << x << ", " << y << ") blended";
                }
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(WindowTest, ThePictureIsDrawnSharpOnAScaledPainterEvenWhenAskedToSmooth) {
    CreateWindow();
    const QImage& map = Form1->Image1->Picture()->Bitmap();
    const QRect area(1700, 460, 64, 48);  // Madrid and the borders around it
    const auto paint = [&](const std::function<void(QPainter&)>& draw) {
        QImage device(area.size() * 2, QImage::Format_RGB32);
        device.setDevicePixelRatio(2);
        QPainter painter(&device);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.translate(-area.left(), -area.top());
        draw(painter);
        painter.end();
        return device;
    };
    const QImage drawn = paint([&](QPainter& painter) {
        Form1->Image1->Paint(painter, platform::TRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    });
    EXPECT_TRUE(DrawnSharp(drawn, map, area.topLeft(), area, 2));
    // The same painter, left smoothing, blends: the check above can fail.
    const QImage smoothed = paint([&](QPainter& painter) { painter.drawImage(area.topLeft(), map, area); });
    EXPECT_FALSE(DrawnSharp(smoothed, map, area.topLeft(), area, 2));
}

// Runs in a child process of its own with QT_SCALE_FACTOR=2: the scale is
// fixed when the application object is created.
TEST_F(WindowTest, AtScaleTwoPressesAndTheMarkerStayInMapPixels) {
    if (qEnvironmentVariable("QT_SCALE_FACTOR") != QLatin1String("2")) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const QString name = QString::fromLatin1(test->test_suite_name()) + '.' + test->name();
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + name});
        ASSERT_TRUE(child.waitForFinished(180000));
        const std::string output = child.readAll().toStdString();
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output;
        EXPECT_EQ(child.exitCode(), 0) << output;
        EXPECT_THAT(output, HasSubstr("[       OK ] " + name.toStdString())) << output;
        return;
    }

    WriteList(kTwoPlaces);
    CreateAndShowWindow();
    ASSERT_EQ(Form1->Handle()->devicePixelRatio(), 2.0);

    // Qt scales the window and its controls: the same logical sizes, twice
    // the device pixels.
    platform::TScrollBox& view = *Form1->ScrollBox1;
    EXPECT_EQ(view.Width(), 961);
    EXPECT_EQ(view.Handle()->size(), QSize(961, 641));
    EXPECT_EQ(view.Handle()->grab().size(), QSize(2 * 961, 2 * 641));
    EXPECT_EQ(Form1->Edit1->Handle()->grab().size(), 2 * Form1->Edit1->Handle()->size());

    // A press reads map pixels and marks the nearest place on its map pixel.
    PressMap(1850, 420);
    EXPECT_EQ(Form1->Edit1->Text(), "1850  420");
    EXPECT_EQ(Form1->ComboBox1->ItemIndex(), 1);
    const int h = view.HorzScrollBar->Position();
    const int v = view.VertScrollBar->Position();
    EXPECT_EQ(Form1->Marca->Left() + h, 1865);
    EXPECT_EQ(Form1->Marca->Top() + v, 400);
    EXPECT_EQ(h, 1865 - 312);
    EXPECT_EQ(v, 400 - 220);

    // On screen: the marker's centre is lime, and the map around it sharp.
    const QImage shown = view.ClientHandle()->grab().toImage();
    ASSERT_EQ(shown.devicePixelRatio(), 2.0);
    const QRgb centre = shown.pixel((Form1->Marca->Left() + 6) * 2, (Form1->Marca->Top() + 6) * 2);
    EXPECT_EQ(qRgb(qRed(centre), qGreen(centre), qBlue(centre)), qRgb(0, 255, 0));
    const QImage& map = Form1->Image1->Picture()->Bitmap();
    EXPECT_TRUE(DrawnSharp(shown, map, QPoint(h, v), QRect(h + 20, v + 20, 120, 80), 2));
}
