#include "app/ui/forms.h"
#include "app/ui/main_form.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vantor Quillan 2.0");
    QApplication::setApplicationDisplayName("Vantor Quillan 2.0");
    TMainForm* form = CreateForms();
    form->ReadSettings();
    form->showMaximized();
    const int rc = app.exec();
    delete form;
    ForgetForms();
    return rc;
}
