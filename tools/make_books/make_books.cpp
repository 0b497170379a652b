// Writes the default opening books of the run directory: for each variant's book, games of the
// built-in engine against itself at a shallow depth (fixed seeds, so every build makes the same
// books), turned into a book by the builder, and a ".cbn" file that names the first moves.
//   make_books BOOKS_DIR [GAMES]
// Pool has no book of its own: its default is the Russian book.

#include "gamedb/book_builder.h"
#include "gamedb/book_comments.h"
#include "platform/atomic_file.h"
#include "rules/hash_table.h"
#include "rules/movegen.h"
#include "rules/notation.h"
#include "rules/search.h"
#include "rules/variant_traits.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct TBookPlan {
    TGameType variant;
    const char* file;
    const char* name;
};
const TBookPlan Plans[] = {
    {gtRussian, "Russian", "Russian"},
    {gtEnglish, "English", "English"},
    {gtBrazilian, "Brazilian", "Brazilian"},
    {gtItalian, "Italian", "Italian"},
    {gtInternational, "International", "International"},
    {gtCzech, "Czech", "Czech"},
};

constexpr int SearchDepth = 3;
constexpr int MaxPlies = 120; // a game still going then is scored a draw
constexpr int Margin = 15;    // moves this close to the best are chosen at random

// Plays one game from the start position: the first move is given, the engine plays the rest.
// Returns the game with its result (1 "1-0", 2 draw, 3 "0-1" by the colours of the variant).
std::unique_ptr<TGame> SelfPlay(TGameType variant, const TMove& first, TSearcher& searcher,
                                std::mt19937& rng) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, variant);
    PositionToKey(StartPositionOf(variant), g->startKey);
    TBoard b = StartPositionOf(variant);
    int side = 0;
    TMoveList list;
    std::vector<int> scores;
    int result = grDraw;
    for (int ply = 0; ply < MaxPlies; ++ply) {
        FindUniqueMoves(b, side, list, variant);
        if (list.empty()) {
            // The side to move has lost.
            result = SideIsWhite(side, variant) ? grBlackWins : grWhiteWins;
            break;
        }
        TMove m;
        if (ply == 0) {
            m = first;
        } else {
            scores.assign(list.size(), 0);
            int best = -32000;
            for (std::size_t i = 0; i < list.size(); ++i) {
                TBoard child = b;
                MakeMove(list[i], child, variant);
                scores[i] = -searcher.Search(child, -FullWindow, FullWindow, 2, SearchDepth, side ^ 1, 0);
                best = std::max(best, scores[i]);
            }
            std::vector<int> near;
            for (std::size_t i = 0; i < list.size(); ++i)
                if (scores[i] >= best - Margin) near.push_back(static_cast<int>(i));
            m = list[near[rng() % near.size()]];
        }
        m.parent = g->header.nodeCount;
        m.mainLine = 1;
        m.free = 0;
        m.annotation = 0;
        g->nodes[++g->header.nodeCount] = m;
        MakeMove(m, b, variant);
        side ^= 1;
    }
    g->header.result = static_cast<std::uint8_t>(result);
    return g;
}

// Names of the first moves on the lettered boards (Russian, Brazilian, Czech).
const std::map<std::string, std::string> LetteredNames = {
    {"a3-b4", "Left wing a3-b4: the corner man steps out first."},
    {"c3-b4", "Quiet c3-b4: the man moves aside and keeps d4 free for later."},
    {"c3-d4", "Straight to the centre, c3-d4: the most direct claim on the middle."},
    {"e3-d4", "Centre from the right, e3-d4: a strong man on d4, a gap left on e3."},
    {"e3-f4", "Right centre, e3-f4: the man aims at e5 and g5."},
    {"g3-f4", "Supported centre, g3-f4: the h2 and g1 men stay behind it."},
    {"g3-h4", "Edge opening g3-h4: safe from capture on the side, but slow."},
};

// A name from the column the man moves to, for the numbered boards.
std::string GenericName(const TMove& m, const std::string& text, TGameType variant) {
    const int geometry = GeometryOf(variant);
    const int width = VariantTraits(variant).boardSize;
    const int x = SquareToXY(m.To(), geometry).x;
    if (x == 0 || x == width - 1)
        return "Edge opening " + text + ": the man goes to the side of the board, where it cannot be taken.";
    if (x >= width / 2 - 2 && x <= width / 2 + 1)
        return "Centre opening " + text + ": the man heads for the middle, where it reaches most squares.";
    return "Flank opening " + text + ": play begins on the wing, the centre men stay at home for now.";
}

std::string OpeningName(const TMove& m, TGameType variant) {
    const std::string text = MoveToText(m, variant, true, ":");
    if (auto it = LetteredNames.find(text); it != LetteredNames.end()) return it->second;
    return GenericName(m, text, variant);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_books BOOKS_DIR [GAMES]\n");
        return 2;
    }
    std::string dir = argv[1];
    if (dir.back() != '/') dir += '/';
    const int games = argc > 2 ? std::max(1, std::atoi(argv[2])) : 42;

    THashTable table;
    table.Allocate(1 << 16);
    for (const TBookPlan& plan : Plans) {
        std::mt19937 rng(1000 + plan.variant);
        table.InitKeys(rng);
        TSearcher searcher(table, plan.variant);
        TMoveList firsts;
        FindMoves(StartPositionOf(plan.variant), 0, firsts, plan.variant);
        TBookBuilder builder;
        for (int i = 0; i < games; ++i) {
            table.Clear();
            // Every first move opens some games, so each has its book move and its name.
            const auto g = SelfPlay(plan.variant, firsts[i % firsts.size()], searcher, rng);
            builder.AddGameToBook(*g);
        }
        std::vector<std::uint8_t> book = builder.Finish();

        // The positions after the first moves carry comments 1..n, in the order of the move list.
        std::string cbn = std::string("Opening names of the ") + plan.name + " book\r\n";
        std::map<std::pair<TPositionKey, int>, std::uint16_t> named;
        for (std::size_t i = 0; i < firsts.size(); ++i) {
            TBoard after = StartPositionOf(plan.variant);
            MakeMove(firsts[i], after, plan.variant);
            TPositionKey key;
            PositionToKey(after, key);
            named[{key, 1}] = static_cast<std::uint16_t>(i + 1);
            cbn += OpeningName(firsts[i], plan.variant) + "\r\n";
        }
        for (std::size_t at = 0; at + BookRecordSize <= book.size(); at += BookRecordSize) {
            TBookRecord r;
            DecodeBookRecord(book.data() + at, r);
            if (auto it = named.find({r.key, r.side}); it != named.end()) {
                r.comment = it->second;
                EncodeBookRecord(r, book.data() + at);
            }
        }
        const std::string base = dir + plan.file;
        TIoStatus s = AtomicWriteFile(base + ".cbk", book.data(), book.size());
        if (s) s = AtomicWriteFile(base + ".cbn", cbn);
        if (!s) {
            std::fprintf(stderr, "make_books: %s\n", s.Message().c_str());
            return 1;
        }
    }
    return 0;
}
