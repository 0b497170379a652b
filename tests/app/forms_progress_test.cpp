// Start-up gives the one progress window to the database window's session; the session goes with
// the forms, so no task reaches a destroyed window.
#include "app/ui/forms.h"
#include "gamedb/progress.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/f_imp_chb.h"
#include "main_window_fixture.h"

#include <QPointer>

class FormsProgress : public TMainWindowFixture {};

TEST_F(FormsProgress, TheProgressWindowIsTheDatabaseWindowsFromStartToEnd) {
    Start();
    ASSERT_NE(form->FImpCHB(), nullptr);
    const QPointer<TDatabaseForm> database = form->DatabaseForm();
    ASSERT_NE(database, nullptr);
    EXPECT_EQ(&database->Session().Progress(), static_cast<IProgress*>(form->FImpCHB()));
    EXPECT_FALSE(form->FImpCHB()->isVisible());
    // A task over the main window: modal while it runs, gone when it ends.
    form->FImpCHB()->BeginProgress("Import CHB Database", "games.chb", 10, 10);
    EXPECT_EQ(QApplication::activeModalWidget(), form->FImpCHB());
    form->FImpCHB()->EndProgress();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    const QPointer<TFImpCHB> window = form->FImpCHB();
    Stop();
    EXPECT_EQ(database, nullptr); // and its session with it
    EXPECT_EQ(window, nullptr);
}
