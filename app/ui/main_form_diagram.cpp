// The main window's diagram commands: the board as a bitmap on the clipboard, or as a GIF file.

#include "app/core/diagram_export.h"
#include "app/ui/exp_diagram.h"
#include "app/ui/forms.h"
#include "app/ui/main_form.h"
#include "app/ui/shell_prompts.h"
#include "gif/qt/gif_qimage.h"

#include <QClipboard>
#include <QGuiApplication>

void TMainForm::N15Click() {
    if (ExpDiagram()->exec() != mrOk) return;
    QGuiApplication::clipboard()->setImage(QImageFromBitmap(CopyBoard));
}

void TMainForm::ExportGifClick() {
    if (ExpDiagram()->exec() != mrOk) return;
    const std::optional<QString> chosen =
        ShellPrompts().SaveFile(this, "Export diagram to *.GIF", "GIF-file (*.GIF *.gif)", QString(), "gif");
    if (!chosen) return;
    try {
        SaveDiagramGif(CopyBoard, DiagramFileName(chosen->toStdString()));
    } catch (const std::exception& e) {
        // The codec's own message; a file that was there is left as it was.
        ShellPrompts().ShowMessage(this, QString::fromStdString(e.what()));
    }
}
