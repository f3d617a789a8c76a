// The work behind a frame: the map is decoded once into a 24-bit bitmap that
// is drawn from and never copied, drawn pixel for pixel in whatever pieces a
// repaint asks for, and a move of the view across the map is one repaint of
// the view, however many position changes it takes.

#include "JpegImage.h"
#include "PaintRecorder.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QRegion>

namespace {

class PaintWorkTest : public WindowTest {
protected:
    void ShowAndSettle() {
        WriteList("Lejos (Esquina)=3600,1800\r\nCerca (Origen)=0,0\r\n");
        CreateAndShowWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1->Handle()));
        Settle();
    }
    static void Settle() {
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
    }
};

TEST_F(PaintWorkTest, TheMapIsDecodedOnceIntoA24BitBitmapThatPaintsNeverCopy) {
    ShowAndSettle();
    platform::TJPEGImage* picture = Form1->Image1->Picture();
    ASSERT_NE(picture, nullptr);
    ASSERT_TRUE(picture->IsDecoded()) << "the first frame decodes the map";
    const QImage& bitmap = picture->Bitmap();
    EXPECT_EQ(bitmap.format(), QImage::Format_RGB888);
    EXPECT_EQ(bitmap.sizeInBytes(), qsizetype{3} * 3732 * 1914);
    const uchar* const pixels = bitmap.constBits();
    const qint64 key = bitmap.cacheKey();

    // Far moves, presses, a choice and full repaints: each paint draws from
    // the same pixels, and nothing keeps a copy sharing them.
    for (int round = 0; round < 3; ++round) {
        Form1->SituarMarca(3700, 1900);
        Settle();
        PressMap(850, 560);  // nearest place 0, far away
        Settle();
        Form1->SituarMarca(0, 0);
        MapViewport()->repaint();
        Settle();
    }
    const QImage& after = picture->Bitmap();
    EXPECT_EQ(&after, &bitmap);
    EXPECT_EQ(after.constBits(), pixels);
    EXPECT_EQ(after.cacheKey(), key);
    EXPECT_TRUE(after.isDetached()) << "a copy of the bitmap shares its pixels";
    EXPECT_TRUE(errors.empty());
}

// The map is drawn in bands of rows; whatever part is repainted, and wherever
// the view stands, every pixel outside the marker is the bitmap's own.
TEST_F(PaintWorkTest, EveryRepaintedPartShowsTheBitmapsPixels) {
    ShowAndSettle();
    QWidget* view = MapViewport();
    const QImage& bitmap = Form1->Image1->Picture()->Bitmap();
    const struct {
        const char* what;
        int x, y;     // where SituarMarca puts the marker
        QRect part;   // the part of the view repainted
    } cases[] = {
        {"the whole view at the start", 1734, 484, view->rect()},
        {"the whole view at the far corner", 3700, 1900, view->rect()},
        {"a strip of odd size across band edges", 1001, 777, QRect(3, 61, 7, 150)},
        {"one pixel", 40, 40, QRect(500, 300, 1, 1)},
        {"one row", 2000, 1000, QRect(0, 64, view->width(), 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Form1->SituarMarca(c.x, c.y);
        Settle();
        QImage shown(view->size(), QImage::Format_RGB32);
        shown.fill(Qt::magenta);
        view->render(&shown, c.part.topLeft(), QRegion(c.part));  // the part lands where it is in the view
        const QRect marker(Form1->Marca->Left(), Form1->Marca->Top(), Form1->Marca->Width(), Form1->Marca->Height());
        int wrong = 0;
        for (int y = c.part.top(); y <= c.part.bottom(); ++y)
            for (int x = c.part.left(); x <= c.part.right(); ++x) {
                if (marker.contains(x, y)) continue;
                const QPoint at(x - Form1->Image1->Left(), y - Form1->Image1->Top());
                if (!bitmap.rect().contains(at)) continue;
                if (shown.pixel(x, y) != bitmap.pixel(at) && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y;
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(PaintWorkTest, AMoveOfTheMarkerIsOneRepaintOfTheViewAtMost) {
    ShowAndSettle();
    const QRect client = MapViewport()->rect();
    struct Move {
        const char* what;
        int x, y;
    };
    // Each SituarMarca passes through the origin of the map, so even a short
    // move may uncover the whole view; it must still be painted only once.
    const Move moves[] = {
        {"across the map", 3700, 1900},
        {"back to the origin", 0, 0},
        {"to the start point", 1734, 484},
        {"8 px along", 1742, 484},
        {"nowhere (the same point)", 1742, 484},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(move.what);
        Settle();
        const long long changes = Form1->ScrollBox1->HorzScrollBar->PositionChanges() +
                                  Form1->ScrollBox1->VertScrollBar->PositionChanges();
        PaintRecorder counter(MapViewport());
        Form1->SituarMarca(move.x, move.y);
        Settle();
        const long long made = Form1->ScrollBox1->HorzScrollBar->PositionChanges() +
                               Form1->ScrollBox1->VertScrollBar->PositionChanges() - changes;
        EXPECT_LE(made, 4);
        EXPECT_LE(counter.paints, 1);
        EXPECT_TRUE(client.contains(counter.painted.boundingRect()));
        if (made > 0) {
            EXPECT_EQ(counter.paints, 1);
        }
    }
}

}  // namespace
