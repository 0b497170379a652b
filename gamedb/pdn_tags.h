#pragma once
// The tables of PDN tags: results, dates, rounds, game types, numeric annotation glyphs and the text
// conversion of tag values and comments; and the application of one tag to the game being read.
// Re-entrant; any thread. Values are untrusted text.

#include "rules/game.h"

#include <cstdint>
#include <string>
#include <string_view>

// The result code of a Result value or a result token: "1-0", "2-0", "1:0" (with or without blanks
// around the separator) give 1; "1/2-1/2", "1-1", "½-½" 2; "0-1", "0-2" 3; "1-0t" 4; "0-1t" 5;
// "*" and "0-0" 0. -1 for anything else.
int PdnResultCode(std::string_view value);
// A move-text token that ends a game: any value PdnResultCode knows, written without blanks.
bool IsPdnResultToken(std::string_view token);
// The text the export writes for a result code: "1/2-1/2" for the draw, "1-0" and "0-1" also for
// the losses on time (the Termination tag tells those), "*" otherwise.
const char* PdnResultText(int result);

// The variant of a GameType value: 20 International, 21 English, 22 Italian, 23 Pool, 25 Russian,
// 26 Brazilian, 29 Czech, also as the first number of the long form "20,W,10,10,N2,0". 0 for
// anything else.
TGameType PdnGameTypeVariant(std::string_view value);

// A decimal number; 0 when the value is not one. Long digit strings saturate, never overflow.
std::int64_t PdnNumber(std::string_view value);

// Day, month and year of a Date value. Parts are split at "." (at "-" when there is none); "?"
// parts are 0. A first part of four characters is the year ("1999.12.25", "????.05.03"); otherwise
// a first part below 32 is the day ("25.12.1999"), else the year with the day last. No separator:
// the whole value is the year. A year above 2100 becomes 2100; a day above 31 or a month above 12
// is unknown (0).
struct TPdnDate {
    int day = 0, month = 0, year = 0;
};
TPdnDate ParsePdnDate(std::string_view value);
// "r.s": round r and subround s; without "." the round only. A part above 255 is 0.
void ParsePdnRound(std::string_view value, std::uint8_t& round, std::uint8_t& subround);
// The Date value the export writes: "1999.05.??", "????.??.??" (every part in its place).
std::string PdnDateText(int day, int month, int year);

// Numeric annotation glyphs. Move marks: $1 "!" (2), $2 "?" (5), $3 "!!" (1), $4 "??" (6), $5 "!?"
// (3), $6 "?!" (4). Position marks: $10 "=" (3), $13 "~" (7), $14 "+=" (2), $15 "=+" (4), $16 and
// $18 "+-" (1), $17 and $19 "-+" (5). Other numbers change nothing. A later glyph of a kind
// replaces an earlier one.
void ApplyPdnGlyph(std::int64_t glyph, std::uint16_t& annotation);
// The glyph the export writes for a move mark and a position mark, 0 for none ("+-" as $18 and
// "-+" as $19; the position mark 6 has no glyph).
int MoveMarkGlyph(int mark);
int PositionMarkGlyph(int mark);
// The move mark of a strength sign ("!", "?", "!!", "??", "!?", "?!"), 0 for any other text. A run
// of signs ("!?!!!") is read pair by pair from the left; the last mark read counts.
int MoveMarkOfSigns(std::string_view signs);

// A tag value or comment from a file, as CP1251: valid UTF-8 with a byte above 127 is converted
// with the best fit first; then text that looks like CP866 is converted from it.
std::string PdnTextToCp1251(std::string_view text);

// What the tags of one game set beyond the game record.
struct TPdnHeaderState {
    TBoard start{};         // the start position (the variant's standard one until a FEN tag)
    int startSide = 0;      // 0: side 0 moves first
    bool timeLoss = false;  // a Termination tag naming time came before Result
    bool resultTag = false; // a Result tag was read
    bool fenError = false;  // a FEN tag could not be read; fenMessage says why
    std::string fenMessage;
};

// Applies one tag to `g` (whose variant byte is already set): Event, Site, White, Black (colours by
// the variant), Result, Termination, Day, Month, Year, Date, Round and FEN. Keys compare exactly;
// others are ignored. `value` is CP1251 already.
void ParsePdnHeader(const std::string& key, const std::string& value, TGame& g, TPdnHeaderState& state);
// The same for a tag line ("[White \"Anna\"]"), its value converted with PdnTextToCp1251.
void ParsePdnHeader(const std::string& line, TGame& g, TPdnHeaderState& state);
