// Start-up installs the one progress window as the process's progress; the end of the forms takes
// it away again, so no task reaches a destroyed window.
#include "app/ui/forms.h"
#include "gamedb/progress.h"
#include "gamedb/ui/f_imp_chb.h"
#include "main_window_fixture.h"

#include <QPointer>

class FormsProgress : public TMainWindowFixture {};

TEST_F(FormsProgress, TheProgressWindowIsInstalledFromStartToEnd) {
    IProgress& silent = Progress();
    Start();
    ASSERT_NE(form->FImpCHB(), nullptr);
    EXPECT_EQ(&Progress(), static_cast<IProgress*>(form->FImpCHB()));
    EXPECT_FALSE(form->FImpCHB()->isVisible());
    // A task over the main window: modal while it runs, gone when it ends.
    form->FImpCHB()->BeginProgress("Import CHB Database", "games.chb", 10, 10);
    EXPECT_EQ(QApplication::activeModalWidget(), form->FImpCHB());
    form->FImpCHB()->EndProgress();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const QPointer<TFImpCHB> window = form->FImpCHB();
    Stop();
    EXPECT_EQ(&Progress(), &silent);
    EXPECT_EQ(window, nullptr);
}
