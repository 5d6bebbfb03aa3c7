// Test main for the dialog tests: one CReplaceApp, offscreen, with Qt's
// Chinese translations loaded as the program loads them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ui/replace_app.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    CReplaceApp app(argc, argv);
    app.PrepareLanguage();
    return RUN_ALL_TESTS();
}
