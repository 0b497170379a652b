#include "gamedb/book_comments.h"

#include "rules/file_names.h"

std::vector<std::string> ParseBookComments(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < MaxBookCommentLines) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

std::string BookCommentFileName(const std::string& bookFileName) {
    return StripExtension(bookFileName) + ".cbn";
}

const std::string& BookCommentLine(const std::vector<std::string>& lines, std::size_t n) {
    static const std::string empty;
    return n < lines.size() ? lines[n] : empty;
}
