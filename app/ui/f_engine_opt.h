#pragma once
// "Engine settings": per variant the engine that plays it, its opening book and whether the book is
// used; the memory of each engine. The main window keeps the values (TEngineOptionSettings, written
// to the settings file) and fills the controls before the dialog is shown; OK applies them, unless
// the memory asked for is more than half the machine's. User-interface thread only.

#include "app/core/engine_choice.h"
#include "app/core/settings.h"
#include "app/ui/modal_dialog.h"

#include <array>
#include <cstdint>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

class TFEngineOpt : public TModalDialog {
    Q_OBJECT
  public:
    explicit TFEngineOpt(QWidget* parent = nullptr);

    // The controls from the values, and the values the controls hold.
    void SetValues(const TEngineOptionSettings& values);
    TEngineOptionSettings Values() const;
    // The lists' items for the engines as they stand: an unavailable engine's item is grey, and a
    // list whose choice is unavailable shows the built-in engine that plays in its place while the
    // choice itself is kept (until the user picks another); Oskeen's item shows the name it gave.
    void SetEngines(const TEngineAvailability& engines);

    // The memory limit from the machine's memory, as each spin edit's maximum.
    void FormShow();
    // Too much memory in all: "Not enough memory!" and the dialog stays. Otherwise `onOk` applies
    // the values and the dialog closes with OK.
    void okbuttClick();
    // Button1Click .. Button7Click: a book file for the page of `variant` (1..7).
    void ButtonClick(int variant);

    // The machine's physical memory in bytes (0: unknown, no limit); tests put in their own.
    std::function<std::uint64_t()> physicalMemory;
    std::function<void()> onOk;
    int FreeMemoryMB = 0;

    QTabWidget* PageControl1;
    std::array<QWidget*, 7> TabSheet; // TabSheet1 .. TabSheet7
    std::array<QComboBox*, 7>
        EngineList; // EngineRus, EngineEng, EngineBra, EnginePool, EngineIta, EngineInt, EngineCze
    std::array<QLineEdit*, 7> Book;     // Book1 .. Book7
    std::array<QPushButton*, 7> Button; // Button1 .. Button7
    std::array<QCheckBox*, 7> UseBook;  // UseBook1 .. UseBook7
    QGroupBox* GroupBox1;
    QSpinBox *VantorMem, *OskeenMem, *TrevaloMem, *Marrakmem, *Marrakitalianmem;
    QPushButton *okbutt, *cancelbutt;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowChoice(int page);

    TEngineAvailability m_engines;
    std::array<int, 7> m_choice{}; // the stored choice of each list
};
