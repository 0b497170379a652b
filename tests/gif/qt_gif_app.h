#pragma once
// One QGuiApplication for the Qt tests of the codec, on the offscreen platform also when the
// program is started by hand, outside CTest's environment. Each test draws as on a true-colour
// screen, whatever screen the program runs on; the flag as read at start-up is kept.

#include "gif/gif_image.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

class TQtGifTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "gif_qt_tests";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QGuiApplication::instance()) {
            new QGuiApplication(argc, argv); // lives to the end
            StartupPaletteDisplay() = GIFPaletteDisplay;
        }
    }
    void SetUp() override { GIFPaletteDisplay = false; }
    void TearDown() override { GIFPaletteDisplay = false; }

    // GIFPaletteDisplay as the application's start left it.
    static bool& StartupPaletteDisplay() {
        static bool value = false;
        return value;
    }
};
