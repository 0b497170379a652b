#include "app/ui/f_select_move.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

TFSelectMove::TFSelectMove(QWidget* parent) : TModalDialog(parent) {
    setObjectName("FSelectMove");
    setWindowTitle("Choose move");
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->installEventFilter(this);
    ListBox1->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1);
    resize(220, 260);
}

bool TFSelectMove::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
        // A typed key picks the selected item, Return and Escape included; keys that type nothing
        // (the arrows, Home, End, page keys) move the selection first.
        if (static_cast<QKeyEvent*>(event)->text().isEmpty()) return false;
        if (ListBox1->currentRow() >= 0) {
            done(mrOk);
            return true;
        }
        return false;
    }
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonPress) {
        // Let the list select the item under the pointer first.
        ListBox1->viewport()->removeEventFilter(this);
        QCoreApplication::sendEvent(ListBox1->viewport(), event);
        ListBox1->viewport()->installEventFilter(this);
        if (ListBox1->currentRow() >= 0) done(mrOk);
        return true;
    }
    return TModalDialog::eventFilter(watched, event);
}
