#include "app/core/builtin_engine.h"
#include "app/core/engine_requests.h"
#include "app/core/library_call.h"
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "app/ui/message_loop.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vantor Quillan 2.0");
    QApplication::setApplicationDisplayName("Vantor Quillan 2.0");
    // Before the first change of variant, which the settings make.
    RegisterBuiltinEngineHooks(BuiltinEngine());
    TMainForm* form = CreateForms();
    form->ReadSettings();
    form->showMaximized();
    const int rc = RunMessageLoop(*form);
    delete form;
    ForgetForms();
    // An engine that was abandoned for not answering its stop may still run in its library. The
    // settings are saved by now; the process ends without running static destructors under it.
    if (!WaitForLibraryCalls(std::chrono::milliseconds(200))) {
        std::fflush(nullptr);
        std::_Exit(rc);
    }
    return rc;
}
