#pragma once
// "Game information": the modal dialog in which one game's header is edited (players with titles,
// ratings and countries, tournament, site, annotator, round, date, result). EditGameInfo fills it
// from a header, shows it and, on OK, copies the edited values back; the caller stores the header.
//
// A stored value that no control can show (a country, title or result past its list, a rating,
// round or date past its spin box) is kept unless the user changes that control, so OK on an
// untouched dialog never alters a header. Names are CP1251 in the header, Unicode only in the
// controls. Created once at start-up, held by the main window (TMainForm::GameInfoForm()) and
// lent to the database window; interface thread only.

#include "gamedb/game_database.h"

#include <QDialog>
#include <QStringList>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStringListModel;

class TGameInfoForm : public QDialog {
    Q_OBJECT
  public:
    explicit TGameInfoForm(QWidget* parent = nullptr);
    ~TGameInfoForm() override;

    QComboBox *WhiteName, *WhiteTitle, *WhiteCountry;
    QSpinBox* WhiteRat;
    QComboBox *BlackName, *BlackTitle, *BlackCountry;
    QSpinBox* BlackRat;
    QComboBox *Tournament, *Site, *Annotatorname, *Result;
    QSpinBox *Round, *Subround, *Year, *Month, *Day;
    QPushButton *OkButton, *Cancel;
    // The player rows' labels (set when shown) and the column and field labels.
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10,
        *Label11, *Label12, *Label13, *Label14;

    // Puts the header into the controls: names, event texts, item indices and numbers. The lists of
    // names come from `names` when it is given and open (sorted ignoring case), else stay as they
    // were.
    void Fill(const TQuickGameHeader& h, const TGameDatabase* names = nullptr);
    // Copies the controls back into `h`, keeping each value whose control the user left as filled.
    void Collect(TQuickGameHeader& h) const;
    // Sets the player rows' labels: phrase 56 ("White") for side 0 and 57 ("Black") for side 1, in
    // the current language; in English and Pool draughts side 0 is Black, so the two swap.
    void FormShow();

    void reject() override { done(2); } // Escape and the close box: Cancel

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QStringListModel *m_players, *m_tournaments, *m_sites;
    TGameType m_variant = gtRussian;
    // What Fill put into the controls that may not show a stored value: item indices and numbers.
    std::array<int, 12> m_filled{};
};

// The controls that Game information and "Headers Edit" share: an editable box over a shared list
// of names, and a number box 0..maximum.
QComboBox* NewNameBox(QWidget* parent, const char* name, QStringListModel* model);
QSpinBox* NewNumberBox(QWidget* parent, const char* name, int maximum);

// Shows `dialog` on `header`, its name lists from `names` (the database window's database, or
// none): true, with the header changed, when the user confirms with OK;
// false, with the header as it was, otherwise (also when there is no dialog).
bool EditGameInfo(TGameInfoForm* dialog, TQuickGameHeader& header, const TGameDatabase* names);
