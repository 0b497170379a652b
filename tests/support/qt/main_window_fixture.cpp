#include "main_window_fixture.h"

#include "app/ui/forms.h"
#include "app/ui/shell_prompts.h"
#include "platform/shell_open.h"

#include <QApplication>

void TMainWindowFixture::SetUp() {
    ASSERT_TRUE(m_dir.isValid());
    m_oldDir = std::filesystem::current_path();
    std::filesystem::current_path(Dir());
    SetResourceDir(RunDir() + "/Resources/");
    SetShellPrompts(&prompts);
}

void TMainWindowFixture::TearDown() {
    Stop();
    SetShellPrompts(nullptr);
    SetResourceDir("");
    SetShellRunner(nullptr);
    std::filesystem::current_path(m_oldDir);
}

void TMainWindowFixture::CountEngine() {
    TEntrySeams& s = form->Seams();
    s.isEngineBusy = [this] { return busy; };
    s.stopEngineAndWait = [this] {
        ++stops;
        busy = false;
    };
    s.startEngine = [this] { ++starts; };
    s.stopRequested = [this] { return stopRequested; };
}

TMainForm* TMainWindowFixture::Start(bool show) {
    form = CreateForms();
    form->ReadSettings();
    if (show) {
        form->showMaximized();
        QApplication::processEvents();
    }
    return form;
}

void TMainWindowFixture::Stop() {
    if (!form) return;
    form->close();
    delete form;
    form = nullptr;
    ForgetForms();
}
