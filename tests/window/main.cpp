#include "Application.h"

#include <gtest/gtest.h>

#include <cstdlib>

// One application object for the whole run, as in the program; each test
// creates and destroys its own main window.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Without a display, as CTest runs them; a caller may choose another
    // platform (e.g. xcb under Xvfb).
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    platform::TApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
