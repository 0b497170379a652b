#pragma once
// The tournaments list: "Create!" counts the listed games of the session's database per tournament, site and
// year; the grid shows the entries with more games than MinCount, without those lacking a
// tournament name when "Don't Show Blanks" is checked, with the totals in Label1; "Save" writes
// the shown rows as text. Created once at start-up and handed to the database window (its
// ListForm()); interface thread only.

#include "gamedb/database_session.h"
#include "gamedb/tournament_list.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableView;
class TTournamentGridModel;

class TListForm : public QDialog {
    Q_OBJECT
  public:
    explicit TListForm(QWidget* parent = nullptr);

    QTableView* t; // row 0 holds the column titles
    QPushButton *Button1, *Button2;
    QLabel *sh, *Label1;
    QSpinBox* MinCount;
    QCheckBox* CheckBox1;

    void Button1Click();   // "Create!"
    void MinCountChange(); // the filters changed: the grid again
    void CheckBox1Click();
    void Button2Click(); // "Save"
    // Shows the entries under the filters.
    void FillTournamentGrid();

    const TTournamentList& Entries() const { return m_list; }
    const TTournamentGrid& Grid() const { return m_grid; }

    void reject() override { done(2); }

    // The database window's session that the dialog works on; its owner sets it before showing it
    // (none: the commands do nothing, as with no database open).
    void SetSession(TDatabaseSession* session) { m_session = session; }

  private:
    TTournamentList m_list;
    TTournamentGrid m_grid;
    TTournamentGridModel* m_model;
    TDatabaseSession* m_session = nullptr;
};
