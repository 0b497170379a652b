#pragma once
// One QGuiApplication for the Qt tests of the codec, on the offscreen platform also when the
// program is started by hand, outside CTest's environment.

#include <QGuiApplication>
#include <gtest/gtest.h>

class TQtGifTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "gif_qt_tests";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv); // lives to the end
    }
};
