#include "rules/board_text.h"

bool SquaresFromText(const std::string& text, int squares, TBoard& b) {
    if (static_cast<int>(text.size()) != squares) return false;
    b = EmptyBoard;
    for (int n = 1; n <= squares; ++n) {
        switch (text[n - 1]) {
        case '.':
            break;
        case 'w':
            b[n] = sqMan0;
            break;
        case 'W':
            b[n] = sqKing0;
            break;
        case 'b':
            b[n] = sqMan1;
            break;
        case 'B':
            b[n] = sqKing1;
            break;
        default:
            return false;
        }
    }
    return true;
}
