#include "app/core/book_list.h"

TBookListTexts ComposeBookList(const TBookMoveList& list, const TBoard& board, bool playMode,
                               bool tournamentMode) {
    TBookListTexts out;
    if (!list.positionComment.empty() || board == StartPosition64 || board == StartPosition100)
        out.info = list.positionComment;
    if (!(playMode && tournamentMode)) {
        std::string tree;
        for (const TBookMoveRow& r : list.rows)
            tree += r.text + '\r';
        if (tree.size() > 255) tree.resize(255);
        out.tree = std::move(tree);
    }
    return out;
}

TBookSettings BookSettingsOf(const TEngineOptionSettings& options) {
    TBookSettings s;
    s.book = options.book;
    s.useBook = options.useBook;
    return s;
}

std::vector<TMove> TOpeningBookMoves::PlayableBookMoves(const TBoard& board, int side, TGameType variant) {
    const TOpeningBook& book = OpeningBook();
    if (!book.IsOpen() || !book.InUse()) return {};
    TBookMoveList list;
    book.ListBookMoves(board, side, variant, ":", list);
    std::vector<TMove> moves;
    for (const TBookMoveRow& r : list.rows) {
        if (!r.recommended) break;
        moves.push_back(r.move);
    }
    return moves;
}
