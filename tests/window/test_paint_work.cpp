// The work behind a frame: the map is decoded once into a 24-bit bitmap that
// is drawn from and never copied, and a move of the view across the map is
// one repaint of the view, however many position changes it takes.

#include "JpegImage.h"
#include "PaintRecorder.h"
#include "WindowFixture.h"

#include <QApplication>
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
