// The scroll bar that keeps its track and thumb as pictures: it must look
// exactly like the style's own drawing wherever the thumb is, and ask the
// style for nothing when only the thumb moves.

#include "ScrollBar.h"

#include <QImage>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace {

using platform::ScrollBar;

struct BarCase {
    const char* name;
    const char* style;
    Qt::Orientation orientation;
};

class ScrollBarTest : public ::testing::TestWithParam<BarCase> {
protected:
    void SetUp() override {
        style_.reset(QStyleFactory::create(QString::fromLatin1(GetParam().style)));
        ASSERT_TRUE(style_) << "no style " << GetParam().style;
        for (QScrollBar* bar : {static_cast<QScrollBar*>(&ours_), &plain_}) {
            bar->setStyle(style_.get());
            bar->setRange(0, 1000);
            bar->setPageStep(300);
            bar->resize(GetParam().orientation == Qt::Vertical ? QSize(16, 300) : QSize(300, 16));
        }
    }
    static QImage Grab(QScrollBar& bar) { return bar.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // The largest difference of any colour channel, or -1 for another size.
    static int Difference(const QImage& a, const QImage& b) {
        if (a.size() != b.size()) return -1;
        int largest = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            }
        return largest;
    }

    std::unique_ptr<QStyle> style_;
    ScrollBar ours_{GetParam().orientation};
    QScrollBar plain_{GetParam().orientation};
};

TEST_P(ScrollBarTest, LooksLikeTheStylesOwnDrawingWhereverTheThumbIs) {
    for (const int value : {0, 1, 333, 999, 1000, 500}) {
        ours_.setValue(value);
        plain_.setValue(value);
        EXPECT_EQ(Difference(Grab(ours_), Grab(plain_)), 0) << "value " << value;
    }
    // Another page size gives another thumb, another range another place.
    for (QScrollBar* bar : {static_cast<QScrollBar*>(&ours_), &plain_}) {
        bar->setPageStep(50);
        bar->setRange(0, 3000);
        bar->setValue(1234);
    }
    EXPECT_EQ(Difference(Grab(ours_), Grab(plain_)), 0) << "thumb of another size";
}

// Fusion draws its track whole under the thumb: after the first drawings, a
// moved thumb is placed on the kept track. The Windows style draws the track
// as two pages on either side of the thumb and greys an arrow at the end of
// the travel: drawn by the style every time.
TEST_P(ScrollBarTest, AskTheStyleOnlyWhenTheTrackDependsOnTheThumb) {
    Grab(ours_);
    const int first = ours_.StyleDrawings();
    ASSERT_GT(first, 0);
    for (const int value : {0, 700, 1000, 1}) {
        ours_.setValue(value);
        Grab(ours_);
    }
    const bool layered = QString::fromLatin1(GetParam().style) == QLatin1String("Fusion");
    if (layered)
        EXPECT_EQ(ours_.StyleDrawings(), first);
    else
        EXPECT_EQ(ours_.StyleDrawings(), first + 4);

    // Under the pointer the style shows its hover look: drawn by the style.
    ours_.setAttribute(Qt::WA_UnderMouse, true);
    const int before = ours_.StyleDrawings();
    Grab(ours_);
    EXPECT_EQ(ours_.StyleDrawings(), before + 1);
}

INSTANTIATE_TEST_SUITE_P(Styles, ScrollBarTest,
                         ::testing::Values(BarCase{"FusionVertical", "Fusion", Qt::Vertical},
                                           BarCase{"FusionHorizontal", "Fusion", Qt::Horizontal},
                                           BarCase{"WindowsVertical", "Windows", Qt::Vertical},
                                           BarCase{"WindowsHorizontal", "Windows", Qt::Horizontal}),
                         [](const ::testing::TestParamInfo<BarCase>& param) { return std::string(param.param.name); });

}  // namespace
