// The Italian engine's signature: the search of the signature positions to iteration 11. A change
// of the search that changes these numbers says so in its commit message ("Bench: <total>").

#include "signature_cases.h"

TEST(ItalianSignature, NodesMovesAndValuesAtIterationEleven) {
    const signature_cases::expected want[24] = {
        {"10-14", 2, 247270},   {"23-19", -2, 217803},   {"21-18", -2, 148779},  {"8-12", 86, 311941},
        {"27-22", 0, 167178},   {"28-23", -112, 218123}, {"15-20", -240, 76753}, {"26-30", 422, 21061},
        {"27-22", 162, 52535},  {"22-19", 230, 122437},  {"4-8", 12, 58497},     {"12-16", -10, 330456},
        {"11-14", -120, 56342}, {"17-13", 48, 62423},    {"6-10", -88, 37372},   {"11-14", -208, 11898},
        {"14-11", 3, 18028},    {"25-21", 2, 13943},     {"2-25", -640, 843},    {"2-11", -856, 111},
        {"2-27", -22, 75472},   {"24-29", 886, 302},     {"16-20", 844, 109063}, {"17-13", -1388, 49615},
    };
    signature_cases::check(want, 2408245u);
}
