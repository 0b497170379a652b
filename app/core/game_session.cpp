#include "app/core/game_session.h"

#include "rules/movegen.h"
#include "rules/variant_state.h"

#include <cassert>

TGameSession::TGameSession() : m_game(std::make_unique<TGame>()) {
    NewGame(StartPositionOf(::CurrentVariant.load()), 0);
}

int TGameSession::CurrentNode() const {
    TGameLock lock = Lock();
    return m_node;
}

TBoard TGameSession::CurrentBoard() const {
    TGameLock lock = Lock();
    return m_board;
}

int TGameSession::SideToMove() const {
    TGameLock lock = Lock();
    return m_side;
}

TGameType TGameSession::CurrentVariant() const {
    return ::CurrentVariant.load();
}

TSessionSnapshot TGameSession::Snapshot() const {
    TGameLock lock = Lock();
    return {m_board, m_side, m_node, CurrentVariant(), nullptr};
}

TSessionSnapshot TGameSession::SnapshotWithGame() const {
    TGameLock lock = Lock();
    TSessionSnapshot s = Snapshot();
    s.game = std::make_shared<const TGame>(*m_game);
    return s;
}

const TGame& TGameSession::CurrentGame([[maybe_unused]] const TGameLock& held) const {
    assert(held.owns_lock() && held.mutex() == &m_mutex);
    return *m_game;
}

TGame& TGameSession::EditGame([[maybe_unused]] const TGameLock& held) {
    assert(held.owns_lock() && held.mutex() == &m_mutex);
    return *m_game;
}

bool TGameSession::IsLegal(const TMove& move) const {
    TMoveList legal;
    FindMoves(m_board, m_side, legal, CurrentVariant());
    for (const TMove& m : legal)
        if (m.SameMove(move)) return true;
    return false;
}

TAddMoveResult TGameSession::PlayMove(const TMove& move, bool silent, const TNewMoveQuestion& ask) {
    const TGameType variant = CurrentVariant();
    TGameLock lock = Lock();
    if (!IsLegal(move)) return {};
    TNewMoveQuestion askUnlocked;
    if (!silent && ask)
        askUnlocked = [&](const std::vector<std::string>& texts) {
            // The question may show a dialog: it is asked without the lock, and a game that moved
            // meanwhile cancels the move.
            const int node = m_node;
            const TBoard board = m_board;
            lock.unlock();
            TNewMoveAnswer a = ask(texts);
            lock.lock();
            if (m_node != node || !SamePosition(m_board, board) ||
                ChildMoveTexts(*m_game, node, variant) != texts)
                a = {nmCancel, -1};
            return a;
        };
    const TAddMoveResult r = AddMoveToTree(*m_game, m_node, move, silent, variant, askUnlocked);
    if (r.node == 0) return r;
    m_node = r.node;
    MakeMove(move, m_board, variant);
    m_side = 1 - m_side;
    return r;
}

bool TGameSession::GoToNode(int node) {
    TGameLock lock = Lock();
    TBoard board;
    int side = 0;
    if (!PositionAtNode(*m_game, node, CurrentVariant(), board, side)) return false;
    m_node = node;
    m_board = board;
    m_side = side;
    return true;
}

void TGameSession::NewGame(const TBoard& start, int side) {
    TGameLock lock = Lock();
    InitGame(*m_game, CurrentVariant());
    PositionToKey(start, m_game->startKey);
    m_game->header.startSide = static_cast<std::uint8_t>(side ? 1 : 0);
    m_node = 0;
    m_board = start;
    m_side = side ? 1 : 0;
}

bool TGameSession::LoadGame(const TGame& game) {
    TGameLock lock = Lock();
    if (game.header.variant != CurrentVariant()) return false;
    *m_game = game;
    if (!GoToNode(game.header.nodeToShow)) GoToNode(0);
    return true;
}

void TGameSession::SetVariant(TGameType variant) {
    if (!IsValidVariant(variant)) return;
    // Outside the lock: it opens files, and no request runs meanwhile.
    SetGameVariant(variant);
    TGameLock lock = Lock();
    m_game->header.variant = variant;
}

TAddMoveResult TGameSession::PlayEngineMove(const TSessionSnapshot& from, const TMove& move) {
    TGameLock lock = Lock();
    if (m_node != from.node || m_side != from.side || !SamePosition(m_board, from.board) ||
        CurrentVariant() != from.variant)
        return {};
    return PlayMove(move, true);
}

TGameSession& GameSession() {
    static TGameSession session;
    return session;
}
