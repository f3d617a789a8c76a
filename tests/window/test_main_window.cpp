#include "WindowFixture.h"

using platform::Application;

TEST_F(WindowTest, StartsWithTheMarkerOnTheStartPointAndLoadsTheListOnActivation) {
    WriteList("Espa\xF1" "a (Madrid)=1734,484\r\nFrancia (Par\xEDs)=1865,400\r\n");
    CreateWindow();
    EXPECT_TRUE(Form1->Marca->Visible());
    EXPECT_EQ(Form1->ScrollBox1->HorzScrollBar->Position(), 1422);
    EXPECT_EQ(Form1->ScrollBox1->VertScrollBar->Position(), 264);
    EXPECT_EQ(Form1->Marca->Left(), 312);
    EXPECT_EQ(Form1->Marca->Top(), 220);
    EXPECT_EQ(Form1->ComboBox1->Items().Count(), 0);

    ShowWindow();
    ASSERT_EQ(Form1->ComboBox1->Items().Count(), 2);
    EXPECT_EQ(Form1->ComboBox1->Items()[0], " Espa\xF1" "a (Madrid)");
    EXPECT_EQ(Ultimo, 1);
    EXPECT_TRUE(errors.empty());
}
