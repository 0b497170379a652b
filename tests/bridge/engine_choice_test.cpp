// Which engine plays a variant, from the options, the checked level and what the libraries offer.

#include "app/core/engine_choice.h"

#include <gtest/gtest.h>

namespace {
TEngineAvailability Everything() {
    TEngineAvailability a;
    a.available = {true, true, true, true, true};
    a.oskeenName = "Oskeen 2.5 test";
    return a;
}
TEngineAvailability Nothing() {
    return TEngineAvailability{};
}
} // namespace

TEST(SelectEngineForVariant, VariantItemAndAvailability) {
    struct Row {
        TGameType variant;
        int item;
        bool available;
        int kind;
        const char* longName;
        const char* shortName;
    } rows[] = {
        {gtRussian, 0, true, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtRussian, 1, true, 1, "Oskeen 2.5 test", "Oskeen 2.5 test"},
        {gtRussian, 1, false, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtEnglish, 1, true, 2, "Trevalo Dunmere 1.09b", "Trevalo D 1.09"},
        {gtEnglish, 2, true, 3, "Marrak 1.15v", "Marrak 1.15"},
        {gtEnglish, 1, false, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtEnglish, 2, false, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtEnglish, 3, true, 0, "Vantor Quillan 2.0", "Vantor 2.0"}, // no such item
        {gtItalian, 1, true, 4, "Marrak Italian 1.15", "Marrak 1.15"},
        {gtItalian, 1, false, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtItalian, 2, true, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtItalian, -1, true, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtBrazilian, 1, true, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtPool, 2, true, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtInternational, 1, true, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
        {gtCzech, 1, true, 0, "Vantor Quillan 2.0", "Vantor 2.0"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.variant) + " item " + std::to_string(r.item) +
                     (r.available ? "" : " absent"));
        TEngineOptionSettings o;
        // Every variant names the same item, so a choice made for one cannot leak into another.
        o.engine.fill(r.item);
        const TEngineChoice c =
            SelectEngineForVariant(o, r.variant, 2, r.available ? Everything() : Nothing());
        EXPECT_EQ(c.settings.Kind, r.kind);
        EXPECT_EQ(c.settings.LongName, r.longName);
        EXPECT_EQ(c.settings.ShortName, r.shortName);
        EXPECT_EQ(c.levelsEnabled, r.kind == 0);
        EXPECT_EQ(c.settings.Level, 2);
        EXPECT_EQ(c.settings.MaxDepth, 255);
    }
}

TEST(SelectEngineForVariant, LevelsAndTheOskeenName) {
    TEngineOptionSettings o;
    for (int level = 0; level <= 4; ++level)
        EXPECT_EQ(SelectEngineForVariant(o, gtBrazilian, level, Everything()).settings.Level, level);
    // A name longer than the record holds is cut to 30 characters.
    TEngineAvailability a = Everything();
    a.oskeenName = std::string(40, 'n');
    o.engine[0] = 1;
    EXPECT_EQ(SelectEngineForVariant(o, gtRussian, 1, a).settings.LongName.size(), 30u);
}

TEST(EngineLists, ItemsOfEachVariant) {
    EXPECT_EQ(EngineListItems(gtRussian, Nothing()).at(1).text, "Oskeen 1.44.U5"); // not named: the default
    EXPECT_EQ(EngineListItems(gtRussian, Everything()).at(1).text, "Oskeen 2.5 test");
    const auto english = EngineListItems(gtEnglish, Nothing());
    ASSERT_EQ(english.size(), 3u);
    EXPECT_EQ(english[0].text, "Vantor Quillan 2.0");
    EXPECT_EQ(english[1].text, "Trevalo Dunmere 1.09");
    EXPECT_EQ(english[2].text, "Marrak 1.15");
    EXPECT_EQ(EngineListItems(gtItalian, Nothing()).at(1).text, "Marrak 1.15");
    for (TGameType v : {gtBrazilian, gtPool, gtInternational, gtCzech})
        EXPECT_EQ(EngineListItems(v, Everything()).size(), 1u);
}

TEST(EngineMemory, HalfThePhysicalMemoryForAllEnginesTogether) {
    EXPECT_EQ(FreeMemoryMB(512ull << 20), 256);
    EXPECT_EQ(FreeMemoryMB(16ull << 30), 8192);
    EXPECT_EQ(FreeMemoryMB(~0ull), 0x7FFFFFFF);
    TEngineOptionSettings o;
    o.vantorMemory = 100;
    o.oskeenMemory = o.trevaloMemory = 1;
    o.marrakMemory = 100;
    o.marrakItalianMemory = 54;
    EXPECT_TRUE(MemoryFits(o, 256));
    o.marrakItalianMemory = 55;
    EXPECT_FALSE(MemoryFits(o, 256));
    o.vantorMemory = o.marrakMemory = 0x7FFFFFFF; // no overflow into a small sum
    EXPECT_FALSE(MemoryFits(o, 256));
}
