// Test main for GUI tests: a QApplication on the offscreen platform, so
// windows open, draw and print without a display, and the user's data
// folder in a temporary one, so nothing a test runs reaches the desktop's
// real menus and file types.

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "temp_dir.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const fixture::TempDir data_home;
    setenv("XDG_DATA_HOME", data_home.path().c_str(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
