#pragma once
// The engine's opening book: a hash table of positions read from the library's book file, each
// entry listing book moves (indices into the position's move list) and a score from colour 2's
// view. The move choice walks the book's lines below every move and picks one at random, weighted
// by how deep and how good each line is. Owned by the library's context; one thread at a time.
//
// File layout (little-endian): a 16-byte version text, then four 32-bit numbers (positions, table
// size N, probe limit L, kings-table count K), K kings words and N 12-byte entries (info word,
// colour-2 word, colour-1 word). Every byte after the 32-byte header is stored with both nibbles
// raised by 5 (mod 16).

#include "engine_api.h"
#include "history.h"
#include "mt_random.h"
#include "rules.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace marrak::inline MARRAK_RULES_NS {

using book_log = std::function<void(const char* text)>;

struct book_entry {
    std::uint32_t info = 0;
    std::uint32_t colour2 = 0; // 0: empty slot
    std::uint32_t colour1 = 0;
};

// What the walk knows of a table slot: its line's score and depth, and the longest book line
// below it (the plies the walk went down from it).
struct book_memo {
    std::uint32_t stamp = 0; // the choice that set it (memo) or 0 (lasting: not known)
    bool done = false;       // false while the walk is below the slot
    int score = 0;
    int depth = 0;
    int height = 0;
};

struct opening_book {
    bool loaded = false;
    std::string version; // the file's version text
    int positions = 0;   // as the file states it; only shown
    std::uint32_t probe_limit = 0;
    std::vector<std::uint32_t> kings;
    std::vector<book_entry> entries;
    mt_random random;
    // Scratch of the choice: a memo per slot (valid when its stamp is the current one) and one
    // move list per walk ply.
    std::vector<book_memo> memo;
    std::uint32_t stamp = 0;
    std::vector<move_list> ply_moves;
    // Lines that met neither a repeated position nor the depth limit depend on nothing but the
    // book: they are kept across choices for `lasting_kind`, so a later choice need not walk the
    // whole book again.
    std::vector<book_memo> lasting;
    int lasting_kind = 0;
};

constexpr int book_header_size = 32;
// A book line deeper than this is not followed further.
constexpr int book_walk_limit = 128;

// Loads a book file. On success the old book is replaced, the random generator seeded from the
// process clock, and "Loading open book file ..." logged. A missing or damaged file (too short,
// a size other than 32 + 4K + 12N, an empty table or probe limit) leaves the old book and logs
// why, a missing file silently; a version text before "2.00" leaves no book. False when not loaded.
bool load_book_file(opening_book& book, const std::string& path, const book_log& log = {});
// The same over a whole file's bytes already in memory.
bool load_book_image(opening_book& book, const std::uint8_t* data, std::size_t size, const std::string& path,
                     const book_log& log = {});

// Bob Jenkins' lookup2 hash of the position's three words, the side flag as initial value.
std::uint32_t book_hash(const engine_position& position, int side);
// The slot holding the position with `side` to move, or none.
std::optional<std::size_t> book_probe(const opening_book& book, const engine_position& position, int side);

struct book_moves {
    int count = 0;
    std::array<int, 6> index{};
    int score = 0;
};
// The move indices and the score that an entry's info word lists.
book_moves unpack_book_entry(std::uint32_t info);

// How much a line of `depth` plies weighs when its score is `d` worse than the best (d <= 0);
// kind 1 "all-kinds", 2 "good", 3 "best". Other kinds weigh nothing.
double book_weight(int kind, int depth, int d);

struct book_line {
    int score = 0;
    int depth = 0;
};
// The score and depth of the book's line from the position; none when the position is not in the
// book. Starts a fresh memo; `ply` counts from the choice's root (its moves are ply 1).
std::optional<book_line> walk_book(opening_book& book, int kind, const engine_position& position, int side,
                                   int ply = 1);

// A book move for `side` among `moves` (the position's legal moves in generation order): 1 with
// its index, its score and the text of the choice; 0 when the book is not loaded, the kind is not
// 1..3, the position is not in the book, no move qualifies, or the chosen move repeats a position
// of `history` while it claims more than a draw.
int choose_book_move(opening_book& book, int kind, const engine_position& position, int side,
                     const move_list& moves, const history::game_history& history, int& index, int& score,
                     std::string& text);

} // namespace marrak::inline MARRAK_RULES_NS
