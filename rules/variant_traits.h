#pragma once
// The facts of the seven variants in one table: board, squares, who moves first, promotion,
// kings, capture rules, the PDN game-type number and the name. Every layer asks this table instead
// of testing variant numbers of its own. Constant data; any thread.

#include <cstdint>

// The variant number, as stored in games and settings.
using TGameType = std::uint8_t;
enum : TGameType {
    gtRussian = 1,
    gtEnglish = 2,
    gtBrazilian = 3,
    gtPool = 4,
    gtItalian = 5,
    gtInternational = 6,
    gtCzech = 7,
};
constexpr bool IsValidVariant(int v) {
    return v >= 1 && v <= 7;
}

enum class TPieceColour : std::uint8_t { White, Black };

// Which captures a side may choose when it has several.
enum class TCaptureChoice : std::uint8_t {
    Any,               // any capture (Russian, English, Pool)
    Majority,          // the most pieces (Brazilian, International)
    MajorityThenKings, // the most pieces, then with a king, then the most kings, then kings first (Italian)
    KingsFirst,        // a king's capture when a king can capture (Czech)
};

struct TVariantTraits {
    TGameType variant;
    const char* name;  // "Russian" .. "Czech", as the settings file names the variant
    int boardSize;     // cells per row and column: 8 or 10
    int squares;       // playable squares: 32 or 50
    int geometry;      // the neighbour tables: 1 for 8x8, 2 for 10x10
    int piecesPerSide; // at the standard start: 12 or 20
    // Side 0 moves first and starts on the low squares; it is White except in English and Pool.
    TPieceColour side0Colour;
    bool flyingKings;          // kings move and capture over any distance
    bool menCaptureBackward;   // men may capture backwards
    bool menTakeKings;         // men may capture kings (not in Italian)
    bool promoteDuringCapture; // a man crossing the far row mid-capture goes on as a king (Russian)
    TCaptureChoice captureChoice;
    int pdnGameType; // the PDN "GameType" number
};

inline constexpr TVariantTraits VariantTable[8] = {
    // Entry 0 answers for a number outside 1..7 with the 8x8 board, so a damaged variant byte
    // never indexes past a table sized for the board.
    {0, "", 8, 32, 1, 12, TPieceColour::White, true, true, true, false, TCaptureChoice::Any, 0},
    {gtRussian, "Russian", 8, 32, 1, 12, TPieceColour::White, true, true, true, true, TCaptureChoice::Any,
     25},
    {gtEnglish, "English", 8, 32, 1, 12, TPieceColour::Black, false, false, true, false, TCaptureChoice::Any,
     21},
    {gtBrazilian, "Brazilian", 8, 32, 1, 12, TPieceColour::White, true, true, true, false,
     TCaptureChoice::Majority, 26},
    {gtPool, "Pool", 8, 32, 1, 12, TPieceColour::Black, true, true, true, false, TCaptureChoice::Any, 23},
    {gtItalian, "Italian", 8, 32, 1, 12, TPieceColour::White, false, false, false, false,
     TCaptureChoice::MajorityThenKings, 22},
    {gtInternational, "International", 10, 50, 2, 20, TPieceColour::White, true, true, true, false,
     TCaptureChoice::Majority, 20},
    {gtCzech, "Czech", 8, 32, 1, 12, TPieceColour::White, true, false, true, false,
     TCaptureChoice::KingsFirst, 29},
};

constexpr const TVariantTraits& VariantTraits(int v) {
    return VariantTable[IsValidVariant(v) ? v : 0];
}

// The facts asked most often.
constexpr int SquaresOf(TGameType v) {
    return VariantTraits(v).squares;
}
constexpr int GeometryOf(TGameType v) {
    return VariantTraits(v).geometry;
}
constexpr bool HasFlyingKings(TGameType v) {
    return VariantTraits(v).flyingKings;
}
// Playable squares in one row: the first and the last of them are the promotion rows (side 1
// crowns on squares 1..perRow, side 0 on the last perRow squares).
constexpr int SquaresPerRow(TGameType v) {
    return VariantTraits(v).boardSize / 2;
}
// The colour the user sees for a side (0 or 1).
constexpr TPieceColour ColourOfSide(int side, TGameType v) {
    const TPieceColour first = VariantTraits(v).side0Colour;
    return side == 0 ? first : (first == TPieceColour::White ? TPieceColour::Black : TPieceColour::White);
}
constexpr bool SideIsWhite(int side, TGameType v) {
    return ColourOfSide(side, v) == TPieceColour::White;
}
