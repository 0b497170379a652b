#include "rules/notation.h"

#include "rules/variant_state.h"

namespace {
bool IsAlgebraic(TGameType v) {
    return v == gtRussian || v == gtBrazilian || v == gtCzech;
}

std::string AlgebraicName(int square) {
    const TSquareXY xy = SquareToXY(square, 1);
    return std::string(1, static_cast<char>('a' + xy.x)) + static_cast<char>('1' + xy.y);
}
} // namespace

int DisplayedSquareNumber(int square, TGameType variant) {
    const int n = square - 1;
    switch (variant) {
    case gtEnglish:
    case gtPool:
        return 4 * (n / 4) + 4 - n % 4;
    case gtItalian:
        return 33 - square;
    case gtInternational:
        return 5 * (9 - n / 5) + n % 5 + 1;
    default:
        return square;
    }
}

std::string SquareToText(int square, TGameType variant, bool full) {
    if (IsAlgebraic(variant)) return AlgebraicName(square);
    const int number = DisplayedSquareNumber(square, variant);
    std::string text = std::to_string(number);
    if (full && number < 10) text = "0" + text;
    return text;
}

std::string MoveToText(const TMove& m, TGameType variant, bool full, const std::string& takeSeparator) {
    std::string sep = m.captures ? takeSeparator : "-";
    if (IsAlgebraic(variant)) {
        if (full) return AlgebraicName(m.from) + sep + AlgebraicName(m.To());
        if (!m.captures) sep.clear();
        return AlgebraicName(m.from).substr(0, 1) + sep + AlgebraicName(m.To());
    }
    return SquareToText(m.from, variant, full) + sep + SquareToText(m.To(), variant, full);
}

std::string MoveToFullText(const TMove& m, TGameType variant, bool full, const std::string& takeSeparator) {
    if (!m.captures) return MoveToText(m, variant, full, takeSeparator);
    auto name = [&](int sq) {
        return IsAlgebraic(variant) ? AlgebraicName(sq) : SquareToText(sq, variant, full);
    };
    std::string text = name(m.from);
    for (int k = 1; k <= m.captures; ++k)
        text += takeSeparator + name(m.Landing(k));
    return text;
}

std::string MoveToCaptureText(const TMove& m, TGameType variant) {
    if (!m.captures) return MoveToText(m, variant, true, "x");
    std::string text = SquareToText(m.from, variant, false) + "x" + SquareToText(m.To(), variant, false);
    for (int k = 1; k <= m.captures; ++k)
        text += "x" + SquareToText(m.Captured(k), variant, false);
    return text;
}

std::string MoveToCaptureText(const TMove& m) {
    return MoveToCaptureText(m, CurrentVariant);
}
