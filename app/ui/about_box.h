#pragma once
// "About": the program's picture, name and version, the seven variants it plays (named in the
// user's language), and two links (e-mail, web page) that underline under the mouse and open with
// the desktop's default programs.

#include "app/ui/modal_dialog.h"

class QLabel;
class QPushButton;

extern const char* const AboutMailAddress;
extern const char* const AboutWebAddress;

class TAboutBox : public TModalDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);
    QLabel *ProgramIcon, *ProductName, *Version, *Copyright, *Label1, *Label2;
    QPushButton* OKButton;

    // The picture of the program's resources (a JPEG), when it decodes.
    bool LoadPicture(const QString& jpegFile);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
