#pragma once
// The text commands of the export enginecommand: "set", "get" and a few single words, each
// answered in the caller's reply buffer (ENGINE_STATUS_TEXT_SIZE bytes, cut to fit).

#include "context.h"

#include <string>

namespace marrak::inline MARRAK_RULES_NS {

extern const char* const engine_name;    // "Marrak Italian" or "Marrak"
extern const char* const engine_version; // "1.15v"

// 0 off, 1 all-kinds, 2 good, 3 best; "unknown" for any other kind.
const char* book_kind_name(int kind);
// The about text: names, the database, the book, the table, one line each.
std::string format_about_text(engine_context& ctx);
// "S:W..:B.." with square numbers of the library's numbering, K before a king. Squares outside
// 1..32 and digit runs too long for a square are skipped.
engine_position parse_fen_position(const char* text, int& side);

// Runs one command; 1 when the first word is known, else 0. A null command reads as empty; a null
// reply is skipped.
int run_engine_command(engine_context& ctx, const char* command, char* reply);

} // namespace marrak::inline MARRAK_RULES_NS
