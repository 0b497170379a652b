#include "app/core/engine_state.h"
#include "app/core/score_text.h"

#include <gtest/gtest.h>

TEST(ScoreText, ScoresAndWinsOfEachEngineScale) {
    struct Row {
        int score, kind;
        const char* text;
    } rows[] = {
        {0, ekVantor, "0.00"},      {7, ekVantor, "0.07"},       {5, ekVantor, "0.05"},
        {125, ekVantor, "1.25"},    {-1250, ekVantor, "-12.50"}, {1899, ekVantor, "18.99"},
        {-7, ekVantor, "-0.07"},    {1900, ekVantor, "x50"},     {1999, ekVantor, "x1"},
        {-1996, ekVantor, "-x2"},   {2000, ekVantor, "x0"},      {32000, ekVantor, "x0"},
        {1950, ekTrevalo, "x25"},   {3990, ekMarrak, "x5"},      {3990, ekMarrakItalian, "x5"},
        {-3800, ekMarrak, "-x100"}, {4100, ekMarrak, "x0"},      {3799, ekMarrak, "x0"},
        {1899, ekMarrak, "18.99"},  {9990, ekOskeen, "x5"},      {4900, ekOskeen, "xN"},
        {5000, ekOskeen, "xN"},     {5002, ekOskeen, "x2499"},   {20000, ekOskeen, "x0"},
        {-9999, ekOskeen, "-x1"},   {4899, ekOskeen, "x0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.score << " kind " << r.kind);
        EXPECT_EQ(ScoreToText(r.score, r.kind), r.text);
    }
}

TEST(ScoreText, RangesShowWhichEndIsKnown) {
    struct Row {
        int score, bound;
        const char* text;
    } rows[] = {
        {125, 125, "1.25"},     {125, 32000, ">1.25"},   {-32000, -30, "<-0.30"},
        {10, 20, "0.10..0.20"}, {-32000, 32000, ">-x0"}, {1999, 1999, "x1"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.score << ", " << r.bound);
        EXPECT_EQ(ScoreRangeText(r.score, r.bound, ekVantor), r.text);
    }
}
