#include "tests/support/random_games.h"

#include "gamedb/game_database.h"
#include "platform/codepage.h"
#include "rules/movegen.h"

#include <algorithm>
#include <iterator>

namespace test_support {

namespace {

// Words as UTF-8 here; stored as CP1251 like every text of the system.
const char* const LatinFirst[] = {"Anna",   "Boris",  "Claire", "Dmitri", "Elena",  "Frans",
                                  "Gerard", "Hanna",  "Jan",    "Karel",  "Lucia",  "Marco",
                                  "Nadia",  "Pieter", "Rosa",   "Tomas",  "Wiktor", "Zoe"};
const char* const LatinLast[] = {"Baker",   "Costa",    "Dubois",   "Evans",   "Ferreira",    "Gomes",
                                 "Janssen", "Kowalski", "Lombardi", "Moreau",  "Novak",       "Oliveira",
                                 "Rossi",   "Silva",    "Verbeek",  "O'Brien", "van der Berg"};
const char* const CyrillicFirst[] = {"Александр", "Мария",   "Николай", "Ольга", "Пётр",
                                     "Юлия",      "Алексей", "Ирина",   "Фёдор", "Эльвира"};
const char* const CyrillicLast[] = {"Иванов", "Петрова", "Смирнов",  "Кузнецова", "Соколов",
                                    "Попова", "Лебедев", "Фёдорова", "Щукин",     "Ёлкина"};
const char* const Events[] = {"Championship", "Open",  "Cup",      "Memorial",  "Chess and Draughts Festival",
                              "Чемпионат",    "Кубок", "Мемориал", "Первенство"};
const char* const Places[] = {"Amsterdam",       "Lisboa", "Paris", "Roma",  "Tallinn",  "Москва",
                              "Санкт-Петербург", "Киев",   "Рига",  "Минск", "Sao Paulo"};
const char* const Words[] = {"a",      "strong", "move",    "the",    "only", "defence", "wins",   "draws",
                             "better", "is",     "weak",    "sharp",  "line", "tempo",   "опасно", "лучше",
                             "ход",    "ничья",  "выигрыш", "жертва", "tres", "forte"};

template <std::size_t N> std::string Pick(TRandom& random, const char* const (&words)[N]) {
    return Utf8ToCp1251(words[random.Below(static_cast<int>(N))]);
}

std::string ReadableComment(TRandom& random) {
    // Mostly short; one in eight long enough for the "many comments" flag on its own.
    const int words = random.Percent(12) ? random.Between(50, 90) : random.Between(1, 8);
    std::string text;
    for (int i = 0; i < words; ++i) {
        if (i) text += random.Percent(10) ? ", " : " ";
        text += Pick(random, Words);
    }
    if (random.Percent(30)) text += random.Percent(50) ? "!" : ".";
    return text;
}

std::string AnyBytes(TRandom& random, int maxLength) {
    std::string s(static_cast<std::size_t>(random.Between(0, maxLength)), ' ');
    for (char& c : s)
        c = static_cast<char>(random.Below(256)); // CR, LF and NUL too
    return s;
}

void RandomHeader(TRandom& random, TGame& g) {
    TGameIndexRecord& h = g.header;
    g.white = RandomPlayerName(random);
    g.black = RandomPlayerName(random);
    g.annotator = random.Percent(50) ? std::string() : RandomPlayerName(random);
    g.tournament = random.Percent(10) ? std::string() : RandomEventName(random);
    g.site = random.Percent(10) ? std::string() : RandomSiteName(random);
    h.whiteTitle = static_cast<std::uint8_t>(random.Below(10));
    h.blackTitle = static_cast<std::uint8_t>(random.Below(10));
    h.whiteRating = static_cast<std::uint16_t>(random.Percent(30) ? 0 : random.Between(1000, 3000));
    h.blackRating = static_cast<std::uint16_t>(random.Percent(30) ? 0 : random.Between(1000, 3000));
    h.whiteCountry = static_cast<std::uint8_t>(random.Below(60));
    h.blackCountry = static_cast<std::uint8_t>(random.Below(60));
    h.round = static_cast<std::uint8_t>(random.Percent(30) ? 0 : random.Between(1, 255));
    h.subround = static_cast<std::uint8_t>(random.Percent(70) ? 0 : random.Between(1, 99));
    // Each part of the date may be unknown (0).
    h.year = static_cast<std::uint16_t>(random.Percent(15) ? 0 : random.Between(1900, 2100));
    h.month = static_cast<std::uint8_t>(random.Percent(25) ? 0 : random.Between(1, 12));
    h.day = static_cast<std::uint8_t>(random.Percent(35) ? 0 : random.Between(1, 31));
    h.result = static_cast<std::uint8_t>(random.Below(6));
    if (random.Percent(10)) h.flags |= 128; // deleted
}

// A position a few random plies from the standard start, sometimes thinned out.
TBoard SetUpStart(TRandom& random, TGameType variant) {
    TBoard b = StartPositionOf(variant);
    TMoveList list;
    int side = 0;
    for (int ply = 0, plies = random.Below(16); ply < plies; ++ply) {
        FindMoves(b, side, list, variant);
        if (list.empty()) break;
        MakeMove(list[random.Below(static_cast<int>(list.size()))], b, variant);
        side ^= 1;
    }
    if (random.Percent(50))
        for (int s = 1; s <= SquaresOf(variant); ++s)
            if (b[s] != 0 && random.Percent(25)) b[s] = 0;
    return b;
}

std::uint16_t RandomAnnotation(TRandom& random, bool anyWord) {
    if (anyWord) return static_cast<std::uint16_t>(random.Below(65536));
    const int move = random.Percent(60) ? random.Between(1, 6) : 0;
    const int position = random.Percent(40) ? random.Between(1, 7) : 0;
    return static_cast<std::uint16_t>(move | position << 4);
}

} // namespace

std::string RandomPlayerName(TRandom& random) {
    if (random.Percent(40)) return Pick(random, CyrillicFirst) + " " + Pick(random, CyrillicLast);
    return random.Percent(20) ? Pick(random, LatinLast)
                              : Pick(random, LatinFirst) + " " + Pick(random, LatinLast);
}

std::string RandomEventName(TRandom& random) {
    return Pick(random, Events) + " " + std::to_string(random.Between(1950, 2030));
}

std::string RandomSiteName(TRandom& random) {
    return Pick(random, Places);
}

std::unique_ptr<TGame> NewGame(TGameType variant) {
    auto g = std::make_unique<TGame>();
    InitGame(*g, variant);
    PositionToKey(StartPositionOf(variant), g->startKey);
    return g;
}

TRandomGame RandomGame(TRandom& random, const TRandomGameOptions& options) {
    const TGameType variant =
        options.variant ? options.variant : static_cast<TGameType>(random.Between(gtRussian, gtCzech));
    TRandomGame t;
    t.game = NewGame(variant);
    TGame& g = *t.game;
    if (options.header) RandomHeader(random, g);

    TBoard start = StartPositionOf(variant);
    int startSide = 0;
    if (random.Percent(options.setUpPercent)) {
        start = SetUpStart(random, variant);
        startSide = random.Below(2);
    }
    PositionToKey(start, g.startKey);
    g.header.startSide = static_cast<std::uint8_t>(startSide);
    t.boards.assign(NodeSlots, start);
    t.sides.assign(NodeSlots, startSide);

    std::vector<int> inUse{0};
    int last = 0;    // the end of the line being extended
    int highest = 0; // the highest slot ever used: the node count
    TMoveList list;
    const int moves = std::min(options.moves, MaxNodes);
    for (int step = 0; step < moves; ++step) {
        if (options.freeSlots && highest >= 1 && random.Percent(20)) {
            // Free a leaf other than the root, so its slot can be taken again.
            const int leaf = random.Percent(50) ? last : inUse[random.Below(static_cast<int>(inUse.size()))];
            if (leaf != 0 && ListChildNodes(leaf, g).empty()) {
                ClearNode(g, leaf);
                std::erase(inUse, leaf);
                if (last == leaf) last = g.nodes[leaf].parent;
                continue;
            }
        }
        const int parent = random.Percent(options.variationPercent)
                               ? inUse[random.Below(static_cast<int>(inUse.size()))]
                               : last;
        FindMoves(t.boards[parent], t.sides[parent], list, variant);
        if (list.empty()) {
            last = inUse[random.Below(static_cast<int>(inUse.size()))];
            continue;
        }
        int slot = highest + 1;
        if (options.freeSlots && random.Percent(50))
            for (slot = 1; slot <= highest && !g.nodes[slot].free;)
                ++slot;
        if (slot > MaxNodes) break;
        TMove m = list[random.Below(static_cast<int>(list.size()))];
        m.parent = static_cast<std::uint16_t>(parent);
        m.mainLine = ListChildNodes(parent, g).empty() ? 1 : 0;
        m.free = 0;
        m.annotation =
            options.annotations && random.Percent(25) ? RandomAnnotation(random, options.anyBytes) : 0;
        g.nodes[slot] = m;
        highest = std::max(highest, slot);
        g.header.nodeCount = static_cast<std::uint16_t>(highest);
        if (options.comments && random.Percent(15))
            g.commentBefore[slot] = options.anyBytes ? AnyBytes(random, 40) : ReadableComment(random);
        if (options.comments && random.Percent(20))
            g.commentAfter[slot] = options.anyBytes ? AnyBytes(random, 400) : ReadableComment(random);
        t.boards[slot] = t.boards[parent];
        MakeMove(m, t.boards[slot], variant);
        t.sides[slot] = t.sides[parent] ^ 1;
        inUse.push_back(slot);
        last = slot;
    }
    if (options.header && highest > 0 && random.Percent(20))
        g.header.nodeToShow = static_cast<std::uint16_t>(inUse[random.Below(static_cast<int>(inUse.size()))]);
    return t;
}

bool WriteRandomDatabase(const std::string& fileName, int count, std::uint32_t seed,
                         const TRandomGameOptions& options, std::vector<std::unique_ptr<TGame>>* written,
                         std::string* error, IUserPrompt* prompt) {
    auto fail = [error](const std::string& why) {
        if (error) *error = why;
        return false;
    };
    TGameDatabase db;
    db.prompt = prompt;
    if (!CreateDatabase(fileName, db)) return fail("cannot create " + fileName);
    TRandom random(seed);
    for (int i = 0; i < count; ++i) {
        TRandomGame t = RandomGame(random, options);
        const TDbStatus s = WriteGame(*t.game, 0, db, false);
        if (s != TDbStatus::Ok) {
            CloseDatabase(db);
            return fail("game " + std::to_string(i + 1) + ": " + DbStatusText(s));
        }
        ++db.gameCount;
        if (written) written->push_back(std::move(t.game));
    }
    const bool saved = SaveDatabase(db);
    CloseDatabase(db);
    return saved ? true : fail("cannot write the name file of " + fileName);
}

} // namespace test_support
