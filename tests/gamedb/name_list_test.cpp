// Name lists: case-insensitive lookup over CP1251, storable names, the name file text.

#include "gamedb/game_database.h"
#include "gamedb/name_list.h"

#include <gtest/gtest.h>

TEST(NameList, LookupIgnoresCp1251LetterCase) {
    TNameList list;
    list.Append("Ivanov");
    list.Append("\xCF\xE5\xF2\xF0\xEE\xE2"); // Петров
    list.Append("\xA8\xEB\xEA\xE8\xED");     // Ёлкин
    list.Append("ivanov");                   // a second spelling: the first one wins
    EXPECT_EQ(list.Find("IVANOV"), 0u);
    EXPECT_EQ(list.Find("\xEF\xC5\xD2\xD0\xCE\xC2"), 1u); // пЕТРОВ
    EXPECT_EQ(list.Find("\xB8\xCB\xCA\xC8\xCD"), 2u);     // ёЛКИН
    EXPECT_EQ(list.Find("Ivanova"), NoName);
    EXPECT_EQ(list.Find(""), NoName);
    list.Append("");
    EXPECT_EQ(list.Find(""), 4u);
}

TEST(NameList, StorableNames) {
    EXPECT_EQ(StorableName(std::string("a\rb\nc\0d", 7)), "a b c d");
    EXPECT_EQ(StorableName(std::string(300, 'n')), std::string(254, 'n'));
    EXPECT_EQ(StorableName("Smith"), "Smith");
}

TEST(NameList, IndicesPast65535AreNeverFound) {
    TNameList list;
    for (int i = 0; i < 65537; ++i)
        list.Append("n" + std::to_string(i));
    EXPECT_TRUE(list.Full());
    EXPECT_EQ(list.Find("n65535"), 65535u);
    EXPECT_EQ(list.Find("n65536"), NoName);
}

TEST(NameFile, ParseAndFormat) {
    TGameDatabase db;
    // Mixed line ends, a skipped line, an empty name, a long line and no final line end.
    const std::string text =
        "^Ivanov\r\n*Cup\n#comment\r\n^\r\n@Moscow\r^" + std::string(300, 'L') + "\n\n@Kiev";
    ParseNameFile(text, db);
    ASSERT_EQ(db.players.Size(), 3u);
    EXPECT_EQ(db.players[0], "Ivanov");
    EXPECT_EQ(db.players[1], "");
    EXPECT_EQ(db.players[2], std::string(254, 'L'));
    ASSERT_EQ(db.tournaments.Size(), 1u);
    EXPECT_EQ(db.tournaments[0], "Cup");
    ASSERT_EQ(db.sites.Size(), 2u);
    EXPECT_EQ(db.sites[1], "Kiev");
    EXPECT_EQ(FormatNameFile(db),
              "^Ivanov\r\n^\r\n^" + std::string(254, 'L') + "\r\n*Cup\r\n@Moscow\r\n@Kiev\r\n");
    ParseNameFile("", db);
    EXPECT_TRUE(db.players.Empty() && db.tournaments.Empty() && db.sites.Empty());
}
