// Start-up installs the one progress window as the process's progress; the end of the forms takes
// it away again, so no task reaches a destroyed window.
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "gamedb/progress.h"
#include "gamedb/ui/f_imp_chb.h"
#include "qt_test_app.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>

TEST(FormsProgress, TheProgressWindowIsInstalledFromStartToEnd) {
    EnsureQtApp();
    QTemporaryDir dir;
    const auto oldDir = std::filesystem::current_path();
    std::filesystem::current_path(dir.path().toStdString());
    IProgress& silent = Progress();
    TMainForm* f = CreateForms();
    ASSERT_NE(FImpCHB, nullptr);
    EXPECT_EQ(&Progress(), static_cast<IProgress*>(FImpCHB));
    EXPECT_FALSE(FImpCHB->isVisible());
    delete f;
    ForgetForms();
    EXPECT_EQ(&Progress(), &silent);
    EXPECT_EQ(FImpCHB, nullptr);
    std::filesystem::current_path(oldDir);
}
