#pragma once
// Reading the plug-in engines' progress lines into the engine information.
// The parsers are plain functions of the line; a line that lacks a marker leaves the fields that
// follow it as they were and never fails. Any thread.

#include "app/core/engine_state.h"
#include "rules/board.h"

#include <array>
#include <string>
#include <string_view>

constexpr std::size_t StatusTextSize = 1024;
using TStatusText = std::array<char, StatusTextSize>;

// The line of a status buffer: up to its first zero byte, at most 255 characters.
std::string StatusLine(const TStatusText& text);

// Keeps the buffer last parsed; Changed is true (and keeps the new one) when the bytes differ.
class TSavedStatusText {
  public:
    bool Changed(const TStatusText& text);

  private:
    TStatusText m_saved{};
};

// "value<mark><v>,  depth <d>,  <t>s,  <n> kN/s,  <best line>" (the Marrak engines). The score is
// turned to the program's view in Italian with side 0 to move and in English with side 1.
// Returns false, changing nothing, when the line does not begin with "value".
bool ParseMarrakStatus(std::string_view line, TGameType variant, int side, TEngineInfo& info);

// "depth a/b/..." with "time", "value", "nodes" and "pv" markers (the Trevalo engine).
// Returns false, changing nothing, when the line does not begin with "d".
bool ParseTrevaloStatus(std::string_view line, TEngineInfo& info);
