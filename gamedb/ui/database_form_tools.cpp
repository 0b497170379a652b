// The database window's tools: sorting the list, the tournaments list and the header set.

#include "gamedb/game_list.h"
#include "gamedb/game_list_sort.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/db_panel.h"
#include "gamedb/ui/headers_edit.h"
#include "gamedb/ui/list_form.h"
#include "gamedb/ui/sort_form.h"

void TDatabaseForm::Sortgameslist1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    TSortForm* dialog = SortForm();
    if (!dialog || dialog->exec() != 1) return;
    SortGames(dialog->SortKind());
}

void TDatabaseForm::SortGames(int kind) {
    if (!m_session.GameDatabase.open || kind < 1 || kind > 3) return;
    DBPanel->setCursor(Qt::WaitCursor);
    const TSortListResult r =
        SortListedGames(m_session.GameDatabase, m_session.GameList, static_cast<TSortKind>(kind));
    DBPanel->unsetCursor();
    if (!m_session.GameDatabase.open) { // the index could not be reopened after the rewrite
        Report(r.status, "The games were not renumbered");
        RefreshGameList();
        return;
    }
    if (r.status != TDbStatus::Ok)
        Report(r.status, r.sorted ? "The list is sorted, but the games keep their numbers"
                                  : "The games were not sorted");
    ListChanged();
}

void TDatabaseForm::Maketournamentslist1Click() {
    TListForm* dialog = ListForm();
    if (!dialog) return;
    dialog->SetSession(&m_session);
    dialog->exec();
}

void TDatabaseForm::Set1Click() {
    THeadersEdit* dialog = HeadersEdit();
    if (!m_session.GameDatabase.open || !dialog) return;
    dialog->Fill(m_session);
    dialog->exec();
    ReadAndRepaint();
}
