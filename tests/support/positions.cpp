#include "tests/support/positions.h"

#include <sstream>
#include <stdexcept>

namespace test_support {

TBoard BoardFromSquares(const std::string& squares) {
    TBoard b;
    std::istringstream in(squares);
    std::string token;
    while (in >> token) {
        const std::string digits = token.substr(1);
        int square = 0;
        for (char c : digits) {
            if (c < '0' || c > '9' || square > MaxSquares)
                throw std::invalid_argument("bad square in \"" + token + "\"");
            square = square * 10 + (c - '0');
        }
        if (digits.empty() || square < 1 || square > MaxSquares)
            throw std::invalid_argument("bad square in \"" + token + "\"");
        if (b[square] != sqEmpty) throw std::invalid_argument("square " + digits + " is named twice");
        switch (token[0]) {
        case 'w':
            b[square] = sqMan0;
            break;
        case 'W':
            b[square] = sqKing0;
            break;
        case 'b':
            b[square] = sqMan1;
            break;
        case 'B':
            b[square] = sqKing1;
            break;
        default:
            throw std::invalid_argument("unknown piece in \"" + token + "\"");
        }
    }
    return b;
}

std::string SquaresOf(const TBoard& board) {
    std::string out;
    for (int s = 1; s <= MaxSquares; ++s) {
        const char* letter = board[s] == sqMan0    ? "w"
                             : board[s] == sqKing0 ? "W"
                             : board[s] == sqMan1  ? "b"
                             : board[s] == sqKing1 ? "B"
                                                   : nullptr;
        if (!letter) continue;
        if (!out.empty()) out += ' ';
        out += letter + std::to_string(s);
    }
    return out;
}

TBoard BoardOf(std::initializer_list<std::pair<int, int>> pieces) {
    return BoardOf(std::vector<std::pair<int, int>>(pieces));
}

TBoard BoardOf(const std::vector<std::pair<int, int>>& pieces) {
    TBoard b;
    for (auto [square, value] : pieces) {
        if (square < 1 || square > MaxSquares || value < -2 || value > 2)
            throw std::invalid_argument("bad piece " + std::to_string(value) + " on " +
                                        std::to_string(square));
        b[square] = static_cast<std::int8_t>(value);
    }
    return b;
}

std::vector<TDiagramCell> ParseDiagram(const std::vector<std::string>& rows) {
    const int size = static_cast<int>(rows.size());
    if (size != 8 && size != 10) throw std::invalid_argument("a diagram has 8 or 10 rows");
    std::vector<TDiagramCell> cells;
    for (int r = 0; r < size; ++r) {
        const int y = size - 1 - r;
        if (static_cast<int>(rows[r].size()) != size)
            throw std::invalid_argument("diagram row " + std::to_string(r + 1) + " needs " +
                                        std::to_string(size) + " cells");
        for (int x = 0; x < size; ++x) {
            const char c = rows[r][x];
            if (c == '.') continue;
            if ((x + y) % 2)
                throw std::invalid_argument("piece on a light cell in row " + std::to_string(r + 1));
            cells.push_back({x, y, c});
        }
    }
    return cells;
}

} // namespace test_support
