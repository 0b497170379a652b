// The English engine's signature: the search of the signature positions to iteration 11. A change
// of the search that changes these numbers says so in its commit message ("Bench: <total>").

#include "signature_cases.h"

TEST(EnglishSignature, NodesMovesAndValuesAtIterationEleven) {
    const signature_cases::expected want[24] = {
        {"11-15", 2, 296569},   {"22-18", -2, 266079},   {"24-19", -2, 163395},  {"5-9", 86, 364120},
        {"26-23", 0, 231348},   {"25-22", -112, 236072}, {"14-17", -262, 79863}, {"27-31", 514, 60277},
        {"26-23", 162, 61987},  {"23-19", 220, 82599},   {"1-5", 22, 72403},     {"9-13", -10, 385416},
        {"10-15", -118, 78936}, {"20-16", 98, 109244},   {"7-10", -126, 39389},  {"10-15", -256, 12671},
        {"15-10", 3, 18072},    {"28-24", 2, 13992},     {"3-28", -674, 73336},  {"3-10", -820, 112},
        {"3-26", -22, 79006},   {"21-32", 852, 353},     {"13-17", 826, 53528},  {"20-16", -1274, 186873},
    };
    signature_cases::check(want, 2965640u);
}
