#include "gamedb/book_moves.h"

#include "gamedb/book_comments.h"
#include "rules/movegen.h"
#include "rules/notation.h"
#include "rules/variant_traits.h"

#include <utility>

namespace {

// Row a ranks before row b: recommended first, then the lower mark, then the greater share + score.
bool RanksBefore(const TBookMoveRow& a, const TBookMoveRow& b) {
    if (a.recommended != b.recommended) return a.recommended > b.recommended;
    if (a.mark != b.mark) return a.mark < b.mark;
    return a.share + a.score > b.share + b.score;
}

} // namespace

void RateBookMoves(std::vector<TBookMoveRow>& rows, int side, TGameType variant) {
    // The counter of the side to move's own colour holds its wins: "1-0" for White, "0-1" for Black.
    const bool white = SideIsWhite(side, variant);
    std::uint64_t all = 0;
    for (TBookMoveRow& r : rows) {
        const std::uint32_t f = white ? r.result1 : r.result3;
        const std::uint32_t a = white ? r.result3 : r.result1;
        const std::uint32_t d = r.draws;
        const std::uint32_t t = f + a + d;
        all += t;
        r.score = static_cast<std::uint8_t>(t == 0 ? 50 : RoundHalfEven(std::uint64_t(f + d) * 100, t));
        if (t > 0) r.text += " +" + std::to_string(f) + "-" + std::to_string(a) + "=" + std::to_string(d);
    }
    for (TBookMoveRow& r : rows) {
        const std::uint32_t t = std::uint32_t(r.result1) + r.result3 + r.draws;
        r.share = static_cast<std::uint8_t>(all == 0 ? 0 : RoundHalfEven(std::uint64_t(t) * 100, all));
        if (r.mark >= 1 && r.mark <= 4)
            r.recommended = 1;
        else if (r.mark >= 5)
            r.recommended = 0;
        else
            r.recommended = (r.score >= 50 && r.share >= 20) || (r.score >= 70 && r.share >= 10);
    }
    for (TBookMoveRow& r : rows)
        if (r.mark == 0) r.mark = 4;
    // A selection as the list has always been ordered: at each place the first of the best rows.
    const std::size_t n = rows.size();
    for (std::size_t p = 0; p + 1 < n; ++p) {
        std::size_t best = p;
        for (std::size_t q = p + 1; q < n; ++q)
            if (RanksBefore(rows[q], rows[best])) best = q;
        if (best != p) std::swap(rows[p], rows[best]);
    }
}

void ListBookMoves(const TBookFile* book, const std::vector<std::string>& comments, const TBoard& board,
                   int side, TGameType variant, const std::string& takeSeparator, TBookMoveList& out) {
    out.rows.clear();
    if (!book || !book->Whole()) return;
    TPositionKey key;
    PositionToKey(board, key);
    if (const std::int64_t at = book->FindBookPosition(key, side); at == 0) {
        out.positionComment.clear();
    } else {
        TBookRecord r;
        if (book->ReadBookRecord(at, r) && r.comment != 0)
            out.positionComment = BookCommentLine(comments, r.comment);
    }

    FindUniqueMoves(board, side, out.legalMoves, variant);
    const int other = side ? 0 : 1;
    for (std::size_t i = 0; i < out.legalMoves.size() && out.rows.size() < MaxBookMoveRows; ++i) {
        const TMove& m = out.legalMoves[i];
        TBoard after = board;
        MakeMove(m, after, variant);
        PositionToKey(after, key);
        TBookRecord r;
        const std::int64_t at = book->FindBookPosition(key, other);
        if (at == 0 || !book->ReadBookRecord(at, r)) continue;
        TBookMoveRow row;
        row.moveNumber = static_cast<int>(i + 1);
        row.move = m;
        row.result1 = r.result1;
        row.result3 = r.result3;
        row.draws = r.draws;
        row.mark = static_cast<std::uint8_t>(BookMarkOf(r.mark));
        row.text = MoveToText(m, variant, true, takeSeparator) + BookMarkSymbols[row.mark];
        out.rows.push_back(std::move(row));
    }
    RateBookMoves(out.rows, side, variant);
}
