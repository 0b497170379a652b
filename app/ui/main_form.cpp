#include "app/ui/main_form.h"

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainForm");
    setWindowTitle("Vantor Quillan 2.0");
}
