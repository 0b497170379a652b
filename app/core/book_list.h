#pragma once
// The opening book as the shell uses it: the book list beside the board (its texts for InfoPanel
// and TreeLabel), the engine's playable book moves, and the engine options' book settings.
// Qt-free; see each function for its thread.

#include "app/core/engine_seams.h"
#include "app/core/settings.h"
#include "gamedb/book_moves.h"
#include "gamedb/opening_book.h"

#include <optional>
#include <string>

// What ShowBookMoves shows after listing the book moves of a position.
struct TBookListTexts {
    std::optional<std::string> info; // for InfoPanel; nothing: InfoPanel keeps its text
    std::optional<std::string> tree; // for TreeLabel; nothing: TreeLabel keeps its text
};

// The comment goes to InfoPanel when there is one, or at a standard start position (where an empty
// one clears the panel). The rows' texts, each followed by a carriage return and cut to 255 bytes,
// go to TreeLabel, except in play mode with "Tournament mode" checked.
TBookListTexts ComposeBookList(const TBookMoveList& list, const TBoard& board, bool playMode,
                               bool tournamentMode);

// The engine options' book names and flags, as the book reads them.
TBookSettings BookSettingsOf(const TEngineOptionSettings& options);

// The built-in engine's book moves on OpeningBook(): the listed moves from the first on that are
// recommended, when the book is open and in use. Any thread: each call lists into rows of its own.
class TOpeningBookMoves final : public IBookMoves {
  public:
    std::vector<TMove> PlayableBookMoves(const TBoard& board, int side, TGameType variant) override;
};
