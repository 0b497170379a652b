#include "app/ui/main_form.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vantor Quillan 2.0");
    TMainForm form;
    form.showMaximized();
    return app.exec();
}
