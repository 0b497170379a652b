#pragma once
// "Headers Edit": the fields to write into every selected game of the database window's list
// (White, Black, tournament, site, each with its "Set?" box, and the date with Dateset). "Ok"
// writes them and closes with 1; closing it any other way writes nothing. Created once at
// start-up and handed to the database window (its HeadersEdit()); interface thread only.

#include "gamedb/database_session.h"
#include "gamedb/header_set.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class QStringListModel;

class THeadersEdit : public QDialog {
    Q_OBJECT
  public:
    explicit THeadersEdit(QWidget* parent = nullptr);

    QCheckBox *WhiteSet, *BlackSet, *TournSet, *SiteSet, *Dateset;
    QComboBox *WhiteName, *BlackName, *Tournament, *Site;
    QSpinBox *Year, *Month, *Day;
    QPushButton* Button1;

    // Fills the combo boxes from the name lists of the session's database, each sorted ignoring
    // letter case (White takes Black's items); what is typed in them stays. OK writes into that
    // session's database.
    void Fill(TDatabaseSession& session);
    // The fields as the controls hold them.
    THeaderSet Collect() const;
    // "Ok": writes into the selected games of the session's list in its database, closes with 1.
    void Button1Click();

    void reject() override { done(2); }

  private:
    QStringListModel *m_players, *m_tournaments, *m_sites;
    TDatabaseSession* m_session = nullptr; // the one last filled from
};
