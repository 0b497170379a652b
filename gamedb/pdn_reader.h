#pragma once
// Splits the bytes of a PDN file into the texts of its games: the tag lines of each game and its
// move text on one line. Knows the layouts other programs write: a UTF-8 byte-order mark; CR LF, LF
// or CR line ends; lines of any length; blank lines and a note before the first tag (skipped); a tag
// and move text on one line, or several tags on one; escape lines beginning with "%" (skipped);
// ";" comments to the end of the line (kept as comments); lines inside an open "{" comment, which
// are never tags. A game ends at a tag line after its move text, at a tag key it already has, or at
// its result token ("1-0", "2-0", "1/2-1/2", "*", ...), as the standard's game termination marker:
// move text that follows a result token before the next tag section is a game of its own, and a
// tag that follows it on its line, even with no blank ("0-1[Event ...]"), begins the next game.
// One reader on one thread; the bytes must outlive it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TPdnGameText {
    std::vector<std::string> tags; // tag texts as written, "[" .. "]"
    std::string moveText;          // the move text, lines joined by one blank
    std::int64_t firstLine = 0;    // the line (from 1) where the game begins
    std::string firstLineText;     // that line, cut to 200 characters
};

class TPdnTextReader {
  public:
    explicit TPdnTextReader(std::string_view bytes);

    // The next game; false at the end of the bytes.
    bool Next(TPdnGameText& game);
    // Bytes consumed so far.
    std::int64_t Offset() const { return static_cast<std::int64_t>(m_pos); }

  private:
    enum class TEnd { Tag, Result, Eof };

    bool ReadLine(std::string_view& line);
    // `line` (a part of the bytes) is read next, as line `lineNo`.
    void PushBack(std::string_view line, std::int64_t lineNo);
    // Adds one line of move text; TEnd::Result when a result token ended the game, with the rest
    // of the line in m_carry.
    bool AddMoveLine(std::string_view line, std::string& moveText, bool& hasToken);
    void BeginGame(TPdnGameText& game, std::int64_t line, std::string_view text);

    std::string_view m_bytes;
    std::size_t m_pos = 0;
    std::int64_t m_line = 0;
    std::int64_t m_braceDepth = 0; // inside an open comment across lines (a count of bytes: never wraps)
    bool m_pending = false;        // m_pendingLine is a line read but not used yet
    std::string_view m_pendingLine;
    std::int64_t m_pendingLineNo = 0;
    std::int64_t m_lineNo = 0; // the number of the line ReadLine returned last
    bool m_sawTag = false;
    bool m_afterResult = false; // the last game ended at its result token
    // The rest of a line after a result token, in the bytes: never copied, so a line of many
    // games costs no more than its length.
    std::string_view m_carry;
    std::int64_t m_carryLine = 0;
};
