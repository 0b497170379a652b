#pragma once
// The main window started as the program starts it, in a temporary folder of its own that is the
// current directory (so the settings file is written there), with the resources of the run directory
// and scripted message boxes and choosers. A test may start and close it several times.

#include "app/ui/main_form.h"
#include "qt_test_app.h"
#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <string>

class TMainWindowFixture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { EnsureQtApp(); }
    void SetUp() override;
    // Closes a window still open and restores the current directory, resources and prompts.
    void TearDown() override;

    // Creates the forms and reads the settings; shown maximised when `show` is set. The window is
    // also in `form`.
    TMainForm* Start(bool show = true);
    // Closes the window (which writes the settings) and frees the forms; nothing when none is open.
    void Stop();
    // Puts a counted engine behind the window's engine seams: no request runs, the starts and
    // stops are counted, and `busy` and `stopRequested` are what the window is told.
    void CountEngine();

    // The counted engine.
    bool busy = false, stopRequested = false;
    int stops = 0, starts = 0;

    // The folder the window runs in, and its settings file.
    std::string Dir() const { return m_dir.path().toStdString(); }
    std::string Ini() const { return Dir() + "/tavrix.ini"; }

    TScriptedPrompts prompts;
    TMainForm* form = nullptr;

  private:
    QTemporaryDir m_dir;
    std::filesystem::path m_oldDir;
};
