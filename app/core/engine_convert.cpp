#include "app/core/engine_convert.h"

#include "rules/movegen.h"
#include "rules/notation.h"

#include <atomic>
#include <cstring>

namespace {
constexpr std::array<THostSquare, 32> MakeHostSquares() {
    std::array<THostSquare, 32> t{};
    for (int n = 1; n <= 32; ++n) {
        const int row = (n - 1) / 4;
        t[n - 1] = {static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(2 * ((n - 1) % 4) + row % 2)};
    }
    return t;
}

// (column, row) -> square, 0 for light cells.
constexpr std::array<std::array<std::uint8_t, 8>, 8> MakeCellSquares() {
    std::array<std::array<std::uint8_t, 8>, 8> t{};
    const auto squares = MakeHostSquares();
    for (int n = 1; n <= 32; ++n)
        t[squares[n - 1].column][squares[n - 1].row] = static_cast<std::uint8_t>(n);
    return t;
}
constexpr auto kCellSquares = MakeCellSquares();

int PieceCode(std::int8_t value) {
    switch (value) {
    case sqMan0:
        return PIECE_MAN2;
    case sqKing0:
        return PIECE_KING2;
    case sqMan1:
        return PIECE_MAN1;
    case sqKing1:
        return PIECE_KING1;
    default:
        return PIECE_EMPTY;
    }
}

// 0 for a code that is no piece.
std::int8_t SquareValue(std::int32_t code) {
    switch (code) {
    case PIECE_MAN2:
        return sqMan0;
    case PIECE_KING2:
        return sqKing0;
    case PIECE_MAN1:
        return sqMan1;
    case PIECE_KING1:
        return sqKing1;
    default:
        return sqEmpty;
    }
}

int CoordSquare(const board_coord& c, bool mirrored) {
    return CoordToSquare(c.x, c.y, mirrored);
}
} // namespace

const std::array<THostSquare, 32> HostSquareCoords = MakeHostSquares();

void BoardToHostBoard(const TBoard& board, host_board& out) {
    std::memset(&out, 0, sizeof out);
    for (int n = 1; n <= 32; ++n) {
        const THostSquare c = HostSquareCoords[n - 1];
        out.cells[c.column][c.row] = PieceCode(board[n]);
    }
}

void HostBoardToBoard(const host_board& in, TBoard& out) {
    out = EmptyBoard;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) {
            const int n = kCellSquares[x][y];
            // A light cell would be square 0 and an unknown code no piece: both are left out.
            if (n != 0) out[n] = SquareValue(in.cells[x][y]);
        }
}

int CoordToSquare(int column, int row, bool mirrored) {
    if (column < 0 || column > 7 || row < 0 || row > 7) return 0;
    const int n = kCellSquares[column][row];
    return n == 0 ? 0 : mirrored ? 33 - n : n;
}

bool HostMoveToMove(const host_move& in, TMove& out, bool mirrored) {
    out = TMove{};
    // path[jumps] is the last landing cell: 12 entries hold at most 11 captures.
    if (in.jumps < 0 || in.jumps >= HOST_MOVE_MAX_JUMPS) return false;
    TMove m;
    const int from = CoordSquare(in.from, mirrored);
    if (from == 0) return false;
    m.from = static_cast<std::uint8_t>(from);
    m.captures = static_cast<std::uint8_t>(in.jumps);
    if (in.jumps == 0) {
        const int to = CoordSquare(in.to, mirrored);
        if (to == 0) return false;
        m.squares[0] = static_cast<std::uint8_t>(to);
    }
    for (int k = 1; k <= in.jumps; ++k) {
        const int taken = CoordSquare(in.del[k - 1], mirrored);
        const int landing = CoordSquare(in.path[k], mirrored);
        if (taken == 0 || landing == 0) return false;
        m.squares[2 * k - 2] = static_cast<std::uint8_t>(taken);
        m.squares[2 * k - 1] = static_cast<std::uint8_t>(landing);
    }
    out = m;
    return true;
}

bool MatchMoveByResult(const TBoard& before, const TBoard& after, int side, TGameType variant, TMove& out) {
    out = TMove{};
    TMoveList moves;
    FindMoves(before, side, moves, variant);
    for (const TMove& m : moves) {
        TBoard b = before;
        MakeMove(m, b, variant);
        if (SamePosition(b, after)) {
            out = m;
            return true;
        }
    }
    return false;
}

bool MatchLegalMove(const TBoard& board, int side, TGameType variant, const TMove& candidate, TMove& out) {
    out = TMove{};
    TMoveList moves;
    FindMoves(board, side, moves, variant);
    for (const TMove& m : moves)
        if (m.SameMove(candidate)) {
            out = m;
            return true;
        }
    return false;
}

int PluginColour(int kind, int side) {
    const bool turned = kind == 4;
    return (side == 0) != turned ? 2 : 1;
}

std::string BoardToEngineText(const TBoard& board, int side) {
    std::string text(32, '.');
    for (int s = 1; s <= 32; ++s) {
        const int at = 4 * (7 - (s - 1) / 4) + (s - 1) % 4;
        switch (board[s]) {
        case sqMan0:
            text[at] = 'w';
            break;
        case sqKing0:
            text[at] = 'W';
            break;
        case sqMan1:
            text[at] = 'b';
            break;
        case sqKing1:
            text[at] = 'B';
            break;
        default:
            break;
        }
    }
    text += side == 0 ? 'w' : 'b';
    return text;
}

std::string MoveToEngineText(const TMove& move) {
    // Square names are the algebraic ones of the Russian board, whatever the variant.
    const auto name = [](int square) { return SquareToText(square, gtRussian, false); };
    std::string text = name(move.from);
    if (move.captures == 0) return text + name(move.squares[0]);
    const int n = move.captures < MaxCapturePairs ? move.captures : MaxCapturePairs;
    for (int k = 1; k <= n; ++k)
        text += ":" + name(move.Captured(k));
    return text + ":" + name(move.Landing(n));
}

bool MatchEngineMoveText(const TBoard& board, int side, TGameType variant, std::string_view text,
                         TMove& out) {
    out = TMove{};
    if (text.empty()) return false;
    TMoveList moves;
    FindMoves(board, side, moves, variant);
    for (const TMove& m : moves)
        if (MoveToEngineText(m) == text) {
            out = m;
            return true;
        }
    return false;
}

void ShortToCString(std::string_view text, TCommandText& buffer) {
    const std::size_t n = std::min(text.size(), buffer.size() - 1);
    std::memcpy(buffer.data(), text.data(), n);
    std::memset(buffer.data() + n, 0, buffer.size() - n);
}

TStatusText CopyStatusText(char* live) {
    TStatusText copy{};
    for (std::size_t i = 0; i + 1 < copy.size(); ++i)
        copy[i] = std::atomic_ref<char>(live[i]).load(std::memory_order_relaxed);
    copy.back() = '\0';
    return copy;
}

std::string EngineCString(const char* text, std::size_t limit) {
    if (!text) return {};
    return std::string(text, strnlen(text, limit));
}
