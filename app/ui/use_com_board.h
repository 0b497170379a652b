#pragma once
// "Connect to electronic damboard": the serial ports in an editable list (a device path such as a
// pseudo-terminal may be typed), OK and Cancel. The list is read anew each time the dialog opens,
// so a board plugged in meanwhile is there. User-interface thread only.

#include "app/ui/modal_dialog.h"
#include "platform/serial_port.h"

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

class TUseComBoard : public TModalDialog {
    Q_OBJECT
  public:
    explicit TUseComBoard(QWidget* parent = nullptr);

    // Fills the port list and selects its first entry.
    void FormCreate();
    // Opens the chosen port into BoardPortHandle and closes the dialog with OK.
    void OKBtnClick();

    QLabel* Label1;
    QComboBox* ComboBox1;
    QPushButton *OKBtn, *CancelBtn;
    // The port OKBtnClick opened, closed when it could not be opened, and its name; the caller
    // takes them.
    TSerialPort BoardPortHandle;
    std::string BoardPortName;
    // Where the names come from; tests list a made-up tree.
    std::function<std::vector<std::string>()> listPorts;

  protected:
    void showEvent(QShowEvent* event) override;
};
