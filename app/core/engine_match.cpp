#include "app/core/engine_match.h"

#include "app/core/engine_requests.h"
#include "app/core/game_clock.h"
#include "app/core/game_end.h"
#include "app/core/game_session.h"
#include "app/core/game_tree_edit.h"
#include "app/core/language.h"
#include "app/core/request_flags.h"
#include "app/core/score_text.h"
#include "rules/movegen.h"

#include <ctime>
#include <filesystem>

namespace {
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ea, eb;
    const auto ca = std::filesystem::weakly_canonical(a, ea);
    const auto cb = std::filesystem::weakly_canonical(b, eb);
    return !ea && !eb && ca == cb;
}

bool Stopped() {
    return EngineRequestStopped();
}
} // namespace

std::string TallyText(const TMatchTally& t) {
    return "+" + std::to_string(t.wins) + "-" + std::to_string(t.losses) + "=" + std::to_string(t.draws);
}

void CountResult(TMatchTally& t, std::uint8_t result, int aSide, TGameType variant) {
    if (result == grDraw) {
        ++t.draws;
        return;
    }
    const bool whiteWon = result == grWhiteWins || result == grWhiteOnTime;
    const bool blackWon = result == grBlackWins || result == grBlackOnTime;
    if (!whiteWon && !blackWon) return; // unfinished: not counted
    const bool aIsWhite = SideIsWhite(aSide, variant);
    if (whiteWon == aIsWhite)
        ++t.wins;
    else
        ++t.losses;
}

TEngineSettings MatchPlayerA() {
    TEngineSettings a;
    a.Kind = ekVantor;
    a.LongName = "Vantor Quillan 2.0";
    a.ShortName = "Vantor 2.0";
    a.Level = 0;
    ApplyLevel(a); // the strongest: depth 98, no margin
    return a;
}

TEngineSettings MatchPlayerB(const std::string& oskeenName) {
    TEngineSettings b;
    b.Kind = ekOskeen;
    b.LongName = b.ShortName = oskeenName;
    return b;
}

void NewAutoPlayGame(TGame& g, TGameType variant, std::int32_t clock) {
    // The source game's result would end the game at once and count for the match.
    g.header.result = grNone;
    g.header.variant = variant;
    g.tournament = PhraseCp1251(58) + " " + std::to_string(clock / 6000) + " min";
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    g.header.year = static_cast<std::uint16_t>(today.tm_year + 1900);
    g.header.month = static_cast<std::uint8_t>(today.tm_mon + 1);
    g.header.day = static_cast<std::uint8_t>(today.tm_mday);
    g.header.nodeToShow = static_cast<std::uint16_t>(MainLineEnd(g));
}

TGameEnd PlayAutoPlayGame(const TEngineSettings& first, const TEngineSettings& second) {
    TGameSession& session = GameSession();
    for (;;) {
        if (CheckGameOver(true)) return TGameEnd::Over;
        const TSessionSnapshot at = session.Snapshot();
        TMoveList legal;
        FindMoves(at.board, at.side, legal, at.variant);
        const TEngineSettings& player = at.side == 0 ? first : second;
        const bool made = ComputeEngineMove(CaptureEngineRequest(player));
        if (made && legal.size() > 1) {
            const TEngineInfo info = EngineInfo.Snapshot();
            const std::string comment =
                ScoreRangeText(info.Score, info.Bound, player.Kind) + "/" + info.Depth + " - " + info.Time;
            TGameLock lock = session.Lock();
            session.EditGame(lock).commentAfter[session.CurrentNode()] = comment;
            RequestPanelRefresh();
        }
        // A stop between moves stays: the next move would end at once anyway.
        if (Stopped()) return TGameEnd::Stopped;
        // An engine that gives no move would hand its turn to the other engine.
        if (!made) return TGameEnd::NoMove;
    }
}

TEngineMatch::~TEngineMatch() {
    CloseDatabase(m_source);
    CloseDatabase(m_destination);
}

bool TEngineMatch::Prepare(const std::string& source, const std::string& destination, std::string* why,
                           const TGameDatabase* open) {
    const auto fail = [&](const std::string& text) {
        if (why) *why = text;
        CloseDatabase(m_source);
        return false;
    };
    const std::string destinationIndex = destination + ".vqb";
    if (SameFile(source + ".vqb", destinationIndex)) return fail("the destination is the source");
    if (open && open->open && SameFile(open->indexFileName, destinationIndex))
        return fail("the destination is the open database");
    OpenDatabase(source, m_source, TOpenMode::ReadOnly);
    if (!m_source.open) return fail("cannot open " + source);
    if (!CreateDatabase(destination, m_destination)) return fail("cannot create " + destination);
    return true;
}

void TEngineMatch::Run(const TEngineSettings& a, const TEngineSettings& b, const TMatchOptions& options) {
    AutoPlayActive = 1;
    TGameSession& session = GameSession();
    const TGameType variant = session.CurrentVariant();
    const int games = std::min(options.games, static_cast<int>(IndexRecordCount(m_source)));
    auto game = std::make_unique<TGame>();
    bool end = false;
    for (int n = 1; n <= games && !end; ++n) {
        for (int pair = 0; pair < 2 && !end; ++pair) {
            if (ReadGame(m_source, n, false, *game) != TDbStatus::Ok) break;
            // A game of the other board size cannot be continued in this variant.
            if (!IsValidVariant(game->header.variant) ||
                SquaresOf(static_cast<TGameType>(game->header.variant)) != SquaresOf(variant))
                break;
            NewAutoPlayGame(*game, variant, options.clock);
            {
                TGameLock lock = session.Lock();
                SetClocks(options.clock, options.clock);
                if (!session.LoadGame(*game)) break;
            }
            RequestRedraw(1);
            RequestPanelRefresh();
            StartClock();
            const int aSide = pair == 0 ? 0 : 1;
            const TGameEnd how = pair == 0 ? PlayAutoPlayGame(a, b) : PlayAutoPlayGame(b, a);
            ClockRunning = 0;
            const std::shared_ptr<const TGame> played = session.SnapshotWithGame().game;
            CountResult(m_tally, played->header.result, aSide, variant);
            PostGameMessage(TallyText(m_tally), 1);
            auto stored = std::make_unique<TGame>(*played);
            if (WriteGame(*stored, 0, m_destination, true) != TDbStatus::Ok) {
                PostGameMessage(std::string(Phrase(61)), 1);
                end = true;
            } else {
                ++m_stored;
                ++m_destination.gameCount;
            }
            if (how != TGameEnd::Over || Stopped()) end = true;
        }
    }
    CloseDatabase(m_source);
    CloseDatabase(m_destination);
    AutoPlayActive = 0;
}
