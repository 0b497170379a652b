#include "rules/move.h"

const char* MoveMarkText(int code) {
    static const char* const texts[] = {"", "!!", "!", "!?", "?!", "?", "??"};
    return code >= 0 && code <= 6 ? texts[code] : "";
}

const char* PositionMarkText(int code) {
    static const char* const texts[] = {"", "+-", "+=", "=", "=+", "-+", "x", "~"};
    return code >= 0 && code <= 7 ? texts[code] : "";
}
