// The database window's "Match games".

#include "gamedb/duplicate_match.h"
#include "gamedb/game_list.h"
#include "gamedb/progress.h"
#include "gamedb/ui/database_form.h"
#include "gamedb/ui/f_match_par.h"

#include <string>

void TDatabaseForm::Delect1Click() {
    if (!m_session.GameDatabase.open) {
        ShowDatabaseNotOpened();
        return;
    }
    TFMatchPar* dialog = FMatchPar();
    if (!dialog || dialog->exec() != 1) return;
    setEnabled(false);
    const TDuplicateResult r = MatchDuplicateGames(m_session.GameDatabase, m_session.GameList,
                                                   dialog->Options(), m_session.Progress());
    setEnabled(true);
    if (r.status == TDbStatus::ReadOnly || r.status == TDbStatus::NotOpen) {
        Report(r.status, "Games cannot be matched");
        return;
    }
    // The list shows what was found, also when marking stopped part-way.
    ListChanged();
    if (r.status != TDbStatus::Ok)
        Report(r.status, "Matching stopped after " + std::to_string(r.marked) + " copies were marked");
    if (r.unreadable > 0)
        m_session.Prompt().ShowMessage(std::to_string(r.unreadable) +
                                       " damaged games could not be read and were left out of matching.");
}
