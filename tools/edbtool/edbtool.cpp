// edbtool compress RAW
// edbtool probe FILE --squares S --side 0|1
// edbtool convert SIX
//
// Developer front end of the endgame-database tools. S has one character per square from
// square 1: '.' empty, 'w'/'W' man/king of side 0, 'b'/'B' man/king of side 1.
// Exit status: 0 done, 1 "no value", 2 a usage or file error.

#include "rules/board_text.h"
#include "rules/edb_index.h"
#include "rules/edb_tools.h"
#include "rules/endgame_db.h"
#include "rules/variant_state.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Usage(const char* why) {
    std::fprintf(
        stderr,
        "edbtool: %s\nusage: edbtool compress RAW\n       edbtool probe FILE --squares S --side 0|1\n"
        "       edbtool convert SIX\n",
        why);
    return 2;
}

void ShowTotals(const TCompressTotals& t) {
    std::printf("blocks %u  read %llu  written %llu  largest %u  ratio %d%%\n", t.blocks,
                static_cast<unsigned long long>(t.bytesRead), static_cast<unsigned long long>(t.bytesWritten),
                t.largestBlock, t.Ratio());
    std::fflush(stdout);
}

int Compress(const std::string& raw) {
    const TToolResult r = CompressEdb(raw, CompressedName(raw), EdbBlockCount, ShowTotals);
    if (!r.ok) {
        std::fprintf(stderr, "edbtool: %s\n", r.error.c_str());
        return 2;
    }
    std::printf("ok: %s\n", r.output.c_str());
    return 0;
}

int Convert(const std::string& six) {
    const std::string out = ConvertedName(six);
    const TToolResult r = ConvertEdb(six, out);
    if (!r.ok) {
        std::fprintf(stderr, "edbtool: %s\n", r.error.c_str());
        return 2;
    }
    std::printf("ok: %s\n", r.output.c_str());
    return 0;
}

int Probe(const std::string& file, const TBoard& board, int side) {
    std::string error;
    if (!OpenEndgameDatabaseFile(file, &error)) {
        std::fprintf(stderr, "edbtool: %s\n", error.c_str());
        return 2;
    }
    TBoard turned = board;
    if (side == 1) FlipBoard(turned, EdbSquares);
    const TEdbPositionIndex index = EdbPositionIndex(turned);
    const auto score = ProbeEndgameDatabase(board, static_cast<int>(index.n), side, 1);
    if (!score) {
        std::printf("no value\n");
        return 1;
    }
    if (const auto number = EdbValueNumber(index)) {
        const auto value = ReadEdbBlock(*number);
        std::printf("value %d score %d\n", value ? *value : -1, *score);
    } else {
        std::printf("one piece, not stored: score %d\n", *score);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage("too few arguments");
    const std::string command = argv[1];
    if (command == "compress" && argc == 3) return Compress(argv[2]);
    if (command == "convert" && argc == 3) return Convert(argv[2]);
    if (command != "probe") return Usage(("unknown command or arguments: " + command).c_str());

    const char* squares = nullptr;
    int side = -1;
    for (int i = 3; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--squares" && hasValue)
            squares = argv[++i];
        else if (a == "--side" && hasValue) {
            const std::string s = argv[++i];
            side = s == "0" ? 0 : s == "1" ? 1 : -2;
        } else
            return Usage(("unknown argument " + a).c_str());
    }
    TBoard board;
    if (!squares || !SquaresFromText(squares, EdbSquares, board))
        return Usage("--squares needs 32 characters of . w W b B");
    if (side < 0) return Usage("--side needs 0 or 1");
    return Probe(argv[2], board, side);
}
