#include "app/core/game_end.h"

#include "app/core/engine_state.h"
#include "app/core/game_clock.h"
#include "app/core/game_session.h"
#include "app/core/language.h"
#include "app/core/request_flags.h"
#include "app/core/shell_state.h"
#include "rules/movegen.h"

#include <algorithm>

std::vector<int> PathToNode(const TGame& g, int node) {
    std::vector<int> path;
    // A damaged tree may hold a cycle; a path never has more moves than there are nodes.
    while (node != 0 && static_cast<int>(path.size()) <= MaxNodes) {
        if (node < 1 || node > MaxNodes || g.nodes[node].free) return {};
        path.push_back(node);
        node = g.nodes[node].parent;
    }
    if (node != 0) return {};
    std::reverse(path.begin(), path.end());
    return path;
}

namespace {
TBoard StartBoard(const TGame& g) {
    TBoard b;
    KeyToPosition(g.startKey, b);
    return b;
}
} // namespace

bool IsThreefoldRepetition(const TGame& g, int node, const TBoard& board, int side, TGameType variant) {
    TBoard b = StartBoard(g);
    int s = g.header.startSide ? 1 : 0;
    int count = 1;
    for (const int n : PathToNode(g, node)) {
        if (s == side && SamePosition(b, board)) ++count;
        MakeMove(g.nodes[n], b, variant);
        s = 1 - s;
    }
    return count >= 3;
}

int PliesSinceProgress(const TGame& g, int node, TGameType variant) {
    const std::vector<int> path = PathToNode(g, node);
    // The position before each move of the path.
    std::vector<TBoard> before;
    before.reserve(path.size());
    TBoard b = StartBoard(g);
    for (const int n : path) {
        before.push_back(b);
        MakeMove(g.nodes[n], b, variant);
    }
    int plies = 0;
    for (int i = static_cast<int>(path.size()) - 1; i >= 0; --i) {
        const TMove& m = g.nodes[path[i]];
        if (m.captures > 0 || !IsKing(before[i][m.from])) break;
        ++plies;
    }
    return plies;
}

bool IsMoveLimitDraw(const TGame& g, int node, TGameType variant) {
    const int limit = variant == gtEnglish || variant == gtItalian ? 100 : 30;
    return PliesSinceProgress(g, node, variant) >= limit;
}

bool CheckGameOver() {
    return CheckGameOver(Shell.AnalysisMode.load() == 0);
}

bool CheckGameOver(bool playMode) {
    TGameSession& session = GameSession();
    TGameLock lock = session.Lock();
    const TGameType variant = session.CurrentVariant();
    const TBoard board = session.CurrentBoard();
    const int side = session.SideToMove();
    const int node = session.CurrentNode();
    TGame& game = session.EditGame(lock);
    TMoveList moves;
    FindMoves(board, side, moves, variant);
    bool over = moves.empty();
    std::uint8_t& result = game.header.result;
    if (result != grNone && AutoPlayActive.load()) over = true;
    if (playMode && result == grNone) {
        if (moves.empty()) {
            ClockRunning = 0;
            const bool white = SideIsWhite(side, variant);
            result = white ? grBlackWins : grWhiteWins;
            PostGameMessage(std::string(Phrase(white ? 54 : 55)), 0);
            RequestPanelRefresh();
        }
        // After the no-move test: its draw replaces a result set just above.
        if (IsThreefoldRepetition(game, node, board, side, variant) || IsMoveLimitDraw(game, node, variant)) {
            over = true;
            result = grDraw;
            PostGameMessage(std::string(Phrase(147)), 0);
            RequestPanelRefresh();
        }
    }
    return over;
}

void RecordLossOnTime(int side) {
    TGameSession& session = GameSession();
    TGameLock lock = session.Lock();
    std::uint8_t& result = session.EditGame(lock).header.result;
    if (result != grNone) return;
    result = SideIsWhite(side, session.CurrentVariant()) ? grBlackOnTime : grWhiteOnTime;
    RequestPanelRefresh();
    PostGameMessage(std::string(Phrase(62)), 0);
}

bool OfferDraw(std::mt19937& coin) {
    TGameSession& session = GameSession();
    TGameLock lock = session.Lock();
    std::uint8_t& result = session.EditGame(lock).header.result;
    if (Shell.AnalysisMode.load() != 0 || result != grNone) return false;
    TPieceCount count;
    CountPieces(session.CurrentBoard(), count);
    const int bound = EngineInfo.Snapshot().Bound;
    if (count.all > 8 || bound >= 5 || std::uniform_int_distribution<int>(0, 1)(coin) != 1) return false;
    result = grDraw;
    PostGameMessage(std::string(Phrase(147)), 0);
    RequestPanelRefresh();
    return true;
}
