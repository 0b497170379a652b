#include "gamedb/game_search.h"

#include "gamedb/game_index_record.h"
#include "gamedb/search_tree.h"
#include "platform/codepage.h"

#include <algorithm>
#include <memory>
#include <string_view>

TSearchCriteria SearchCriteria;

namespace {

bool Contains(std::string_view lowerName, std::string_view text) {
    return text.empty() || lowerName.find(text) != std::string_view::npos;
}

// The result code as the list shows it: a byte outside 0..5 reads as "*".
int ResultCode(std::uint8_t result) {
    return result <= 5 ? result : 0;
}

// The result the other side's player would have: wins swap, "*" and "=" stay.
int SwappedResult(int result) {
    static constexpr int swapped[6] = {0, 3, 2, 1, 5, 4};
    return swapped[result];
}

struct TLowerTexts {
    std::string white, black, tournament;
    explicit TLowerTexts(const TSearchCriteria& c)
        : white(Cp1251LowerString(c.whiteText)), black(Cp1251LowerString(c.blackText)),
          tournament(Cp1251LowerString(c.tournamentText)) {}
};

// Every header test but the names.
bool MatchPlainFields(const TSearchCriteria& c, const TGameIndexRecord& r) {
    if (c.deleted && !(r.flags & gfDeleted)) return false;
    if (r.year < c.yearFrom || r.year > c.yearTo) return false;
    const int moves = r.fullMoves & 0xFF;
    if (moves < c.movesFrom || moves > c.movesTo) return false;
    if (c.comments && !(r.flags & (gfFewComments | gfManyComments))) return false;
    if (c.variations && !(r.flags & (gfFewVariations | gfManyVariations))) return false;
    return true;
}

// Names and result, as stored and then, with ignore colours, with the colours swapped. `whiteHas` says
// whether White's name holds the White text (and so on).
bool MatchNamesAndResult(const TSearchCriteria& c, int result, bool whiteHasWhite, bool blackHasBlack,
                         bool whiteHasBlack, bool blackHasWhite) {
    if (c.results[result] && whiteHasWhite && blackHasBlack) return true;
    return c.ignoreColours && c.results[SwappedResult(result)] && whiteHasBlack && blackHasWhite;
}

} // namespace

bool MatchSearchHeader(const TSearchCriteria& c, const TGameIndexRecord& r, const std::string& white,
                       const std::string& black, const std::string& tournament) {
    const TLowerTexts texts(c);
    if (!MatchPlainFields(c, r)) return false;
    if (!Contains(Cp1251LowerString(tournament), texts.tournament)) return false;
    const std::string w = Cp1251LowerString(white), b = Cp1251LowerString(black);
    return MatchNamesAndResult(c, ResultCode(r.result), Contains(w, texts.white), Contains(b, texts.black),
                               Contains(w, texts.black), Contains(b, texts.white));
}

int SearchPositionInTree(const TGame& g, const TSearchCriteria& criteria) {
    const TGameType variant = g.header.variant;
    if (!IsValidVariant(variant) || SquaresOf(variant) != SearchSquareCount(criteria)) return -1;
    auto tree = std::make_unique<TSearchTree>();
    SearchTreeFromGame(g, *tree);
    return WalkSearchTree(*tree, variant, g.header.startSide ? 1 : 0, MakePositionQuery(criteria));
}

namespace {

// Per name index: which texts it holds. Index Size() stands for every index past the list, whose name
// reads as "ERROR!!!".
std::vector<std::uint8_t> NameAnswers(const TNameList& list, std::string_view a, std::string_view b) {
    std::vector<std::uint8_t> answers(list.Size() + 1);
    auto answer = [&](const std::string& name) {
        if (a.empty() && b.empty()) return std::uint8_t{3};
        const std::string lower = Cp1251LowerString(name);
        return static_cast<std::uint8_t>((Contains(lower, a) ? 1 : 0) | (Contains(lower, b) ? 2 : 0));
    };
    for (std::size_t i = 0; i < list.Size(); ++i)
        answers[i] = answer(list[i]);
    answers[list.Size()] = answer("ERROR!!!");
    return answers;
}

std::uint8_t Answer(const std::vector<std::uint8_t>& answers, std::uint16_t index) {
    return answers[std::min<std::size_t>(index, answers.size() - 1)];
}

// Reads a file in large blocks, keeping the one that holds the last request.
class TBlockReader {
  public:
    TBlockReader(const TDbFile& file, std::int64_t size, std::size_t blockSize)
        : m_file(file), m_size(size), m_blockSize(blockSize) {}

    // The bytes offset..offset+length (inside the file), or nullptr when they cannot be read.
    const std::uint8_t* Get(std::int64_t offset, std::size_t length) {
        if (offset < m_start || offset + std::int64_t(length) > m_start + std::int64_t(m_bytes.size())) {
            const std::size_t n = std::max<std::size_t>(
                length, std::size_t(std::min<std::int64_t>(std::int64_t(m_blockSize), m_size - offset)));
            m_bytes.resize(n);
            m_start = offset;
            if (!m_file.ReadAt(std::uint64_t(offset), m_bytes.data(), n)) {
                m_bytes.clear();
                return nullptr;
            }
        }
        return m_bytes.data() + (offset - m_start);
    }

  private:
    const TDbFile& m_file;
    std::int64_t m_size;
    std::size_t m_blockSize;
    std::int64_t m_start = 0;
    std::vector<std::uint8_t> m_bytes;
};

constexpr std::int32_t RecordsPerBlock = 8192;
constexpr std::size_t MoveBlockSize = std::size_t{4} << 20;
constexpr std::int32_t ProgressEvery = 1000;

} // namespace

void RunGameSearch(const TGameDatabase& db, TGameList& list, const TSearchCriteria& c, IProgress& progress) {
    list.Clear();
    const std::int32_t games = db.open ? db.gameCount : 0;
    TProgressScope scope(progress, "Search", "Searching...", games, 0);
    if (games <= 0) return;

    const TLowerTexts texts(c);
    const std::vector<std::uint8_t> players = NameAnswers(db.players, texts.white, texts.black);
    const std::vector<std::uint8_t> tournaments = NameAnswers(db.tournaments, texts.tournament, {});
    const int squares = SearchSquareCount(c);
    const TPositionQuery query = MakePositionQuery(c);
    std::unique_ptr<TSearchTree> tree;
    std::unique_ptr<TBlockReader> moves;
    const std::int64_t moveSize = c.position ? db.moveFile.Size() : -1;
    if (c.position) {
        tree = std::make_unique<TSearchTree>();
        moves = std::make_unique<TBlockReader>(db.moveFile, moveSize, MoveBlockSize);
    }

    const std::int32_t records = std::min(games, IndexRecordCount(db));
    std::vector<std::uint8_t> block;
    for (std::int32_t first = 1; first <= records; first += RecordsPerBlock) {
        const std::int32_t count = std::min(RecordsPerBlock, records - first + 1);
        block.resize(std::size_t(count) * IndexRecordSize);
        // A block that cannot be read is read record by record, so one bad place loses only its games.
        const bool whole =
            db.indexFile.ReadAt(std::uint64_t(first - 1) * IndexRecordSize, block.data(), block.size());
        for (std::int32_t i = 0; i < count; ++i) {
            const std::int32_t n = first + i;
            if (n % ProgressEvery == 1) {
                progress.SetProgressText("Searching, found " + std::to_string(list.Count()) + "...");
                progress.StepProgress(n, 0);
            }
            std::uint8_t* bytes = block.data() + std::size_t(i) * IndexRecordSize;
            if (!whole &&
                !db.indexFile.ReadAt(std::uint64_t(n - 1) * IndexRecordSize, bytes, IndexRecordSize))
                continue;
            TGameIndexRecord r;
            DecodeIndexRecord(bytes, r);
            if (!MatchPlainFields(c, r)) continue;
            if (!(Answer(tournaments, r.tournament) & 1)) continue;
            const std::uint8_t w = Answer(players, r.white), b = Answer(players, r.black);
            if (!MatchNamesAndResult(c, ResultCode(r.result), w & 1, b & 2, w & 2, b & 1)) continue;
            int node = 0;
            if (c.position) {
                if (!IsValidVariant(r.variant) || SquaresOf(r.variant) != squares) continue;
                const bool placed = r.offset >= 1 && r.length >= 1 && moveSize >= 0 &&
                                    std::int64_t(r.offset) + std::int64_t(r.length) <= moveSize;
                if (!placed) continue;
                const std::uint8_t* game = moves->Get(r.offset, r.length);
                if (!game || !DecodeSearchTree(game, r.length, r.variant, r.nodeCount, *tree)) continue;
                node = WalkSearchTree(*tree, r.variant, r.startSide ? 1 : 0, query);
                if (node < 0) continue;
            }
            list.Append(n, static_cast<std::uint16_t>(node));
        }
    }
}

void RunGameSearch() {
    RunGameSearch(GameDatabase, GameList, SearchCriteria, Progress());
}
