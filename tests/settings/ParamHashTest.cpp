// The hash name, its successor, and the folder text comparison: plain functions, no files.
#include <gtest/gtest.h>

#include "KivIconSortHelper.h"
#include "KivParameter.h"
#include "KivWinProperty.h"

TEST(ComputeParamHash, KnownNames) {
    const struct {
        const char* text;
        const char* name;
    } cases[] = {
        {"Default", "QRSNHYGAAAAAAA"},
        {"DEFAULT", "QRSNHYGAAAAAAA"},
        {"default", "QRSNHYGAAAAAAA"},
        {"dEfAuLt", "QRSNHYGAAAAAAA"},
        {"D:\\Data\\IconData\\TopWindow1", "WTCWOIWJVFCJNN"},
        {"d:\\data\\icondata\\topwindow1", "WTCWOIWJVFCJNN"},
        {"", "AAAAAAAAAAAAAA"},
        // Sums wrap at 256 before the letter is taken: 'Z' (90) three times is 270 -> 14 -> O.
        {"Z\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01\x01Z\x01\x01\x01\x01\x01\x01\x01\x01"
         "\x01"
         "\x01\x01\x01\x01Z",
         "OCCCCCCCCCCCCC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComputeParamHash(c.text), c.name) << c.text;
}

TEST(ComputeParamHash, DoubleByteCharactersAreNotFolded) {
    // ッ is 83 62 and ィ is 83 42: the trail bytes look like 'b' and 'B' but are not letters.
    EXPECT_EQ(ComputeParamHash("\x83\x62"), "BUAAAAAAAAAAAA");
    EXPECT_EQ(ComputeParamHash("\x83\x42"), "BOAAAAAAAAAAAA");
    // A single-byte 'b' folds to 'B' (66 -> O).
    EXPECT_EQ(ComputeParamHash("Xb"), ComputeParamHash("XB"));
    // A character keeps counting one position per byte: 表 (95 5C) then 'a' at position 2.
    EXPECT_EQ(ComputeParamHash("\x95\x5C"
                               "a"),
              ComputeParamHash("\x95\x5C"
                               "A"));
    EXPECT_EQ(ComputeParamHash("\x95\x5C"
                               "a")
                  .substr(0, 3),
              "TON");
}

TEST(ComputeParamHash, TrailBytesThatLookLikeSmallLettersKeepTheirValue) {
    // テ is 83 65, ト 83 67, ッ 83 62: trail bytes in the range of a to z, added unchanged.
    const struct {
        const char* text;
        const char* name;
    } cases[] = {
        {"C:\\テスト", "PGOBXBKBZAAAAA"},
        {"c:\\テスト", "PGOBXBKBZAAAAA"},
        {"D:\\ツール\\トップ", "RUOBVZNBJOBZBU"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComputeParamHash(c.text), c.name) << c.text;
    // The same texts compare equal without regard to ASCII case, but a trail byte is exact:
    // テ (83 65) and ウ (83 45) differ only where a folding would make them equal.
    EXPECT_TRUE(SameFolderText("C:\\テスト", "c:\\テスト"));
    EXPECT_FALSE(SameFolderText("C:\\\x83\x65", "C:\\\x83\x45"));
}

TEST(NextHashName, StepsWithCarry) {
    const struct {
        const char* name;
        bool more;
        const char* next;
    } cases[] = {
        {"QRSNHYGAAAAAAA", true, "RRSNHYGAAAAAAA"},
        {"YRSNHYGAAAAAAA", true, "ASSNHYGAAAAAAA"},
        // A Z from the hash itself carries at once.
        {"ZRSNHYGAAAAAAA", true, "ASSNHYGAAAAAAA"},
        {"XAAAAAAAAAAAAA", true, "YAAAAAAAAAAAAA"},
        {"YYYYYYYYYYYYYX", true, "AAAAAAAAAAAAAY"},
        {"YYYYYYYYYYYYYY", false, ""},
        {"ZZZZZZZZZZZZZZ", false, ""},
        {"ZYZYZYZYZYZYZY", false, ""},
    };
    for (const auto& c : cases) {
        std::string name = c.name;
        EXPECT_EQ(NextHashName(name), c.more) << c.name;
        if (c.more) {
            EXPECT_EQ(name, c.next) << c.name;
        }
    }
}

TEST(NextHashName, NeverProducesZ) {
    // From the first name of the walk, the first 25^2 steps run through every pair of the two
    // lowest positions; a carried position holds A to Y only.
    std::string name = "AAAAAAAAAAAAAA";
    for (int step = 0; step < 25 * 25; ++step) {
        ASSERT_TRUE(NextHashName(name));
        ASSERT_EQ(name.find('Z'), std::string::npos) << name;
    }
    EXPECT_EQ(name, "AABAAAAAAAAAAA");
}

TEST(SameFolderText, AsciiCaseOnlyAndCharactersAsUnits) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"C:\\Tools\\Kiv", "c:\\TOOLS\\kiv", true},
        {"C:\\Tools\\Kiv", "C:\\Tools\\Kiv2", false},
        {"C:\\Tools", "C:\\Tool", false},
        {"", "", true},
        {"Default", "dEFAULT", true},
        // ッ vs ィ: the trail bytes differ only as 'b' and 'B' would.
        {"C:\\\x83\x62", "C:\\\x83\x42", false},
        {"C:\\\x83\x62", "C:\\\x83\x62", true},
        // Full-width Ａ and ａ are different characters.
        {"\x82\x60", "\x82\x81", false},
        // 表 ends in 5C; the next byte 'a' is a character of its own and folds.
        {"\x95\x5C"
         "a",
         "\x95\x5C"
         "A",
         true},
        // A lead byte against a single-byte letter.
        {"\x83\x62", "Cb", false},
        // A lone lead byte at the end.
        {"x\x83", "x\x83", true},
        {"x\x83", "X\x83", true},
        {"x\x83", "x", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SameFolderText(c.a, c.b), c.same) << c.a << " / " << c.b;
        EXPECT_EQ(SameFolderText(c.b, c.a), c.same) << c.b << " / " << c.a;
    }
}

TEST(IsDefaultFolder, NullAndDefaultInAnyCase) {
    EXPECT_TRUE(IsDefaultFolder(nullptr));
    EXPECT_TRUE(IsDefaultFolder("Default"));
    EXPECT_TRUE(IsDefaultFolder("DEFAULT"));
    EXPECT_FALSE(IsDefaultFolder("Default2"));
    EXPECT_FALSE(IsDefaultFolder(""));
    EXPECT_FALSE(IsDefaultFolder("C:\\Default"));
}

TEST(ValueSectionName, OneForAllOrOnePerScreenSize) {
    EXPECT_EQ(ValueSectionName(false, 1024, 768), "AllResolution");
    EXPECT_EQ(ValueSectionName(true, 1024, 768), "Resolution(1024,768)");
    EXPECT_EQ(ValueSectionName(true, 1920, 1080), "Resolution(1920,1080)");
}

namespace {

struct ArrangeCase {
    const char* title;
    std::vector<std::string> items; // in shell order
    std::vector<std::string> order;
    std::vector<std::string> result;
    bool changed;
};

} // namespace

TEST(ArrangeByNames, StoredOrderCases) {
    const ArrangeCase cases[] = {
        {"same names, other order", {"P", "Q"}, {"Q", "P"}, {"Q", "P"}, false},
        {"same names, same order", {"P", "Q", "R"}, {"P", "Q", "R"}, {"P", "Q", "R"}, false},
        {"renamed item takes the old name's place",
         {"P", "R", "U"},
         {"P", "T", "R"},
         {"P", "U", "R"},
         true},
        {"fewer names: the rest follow in shell order",
         {"P", "Q", "R"},
         {"P"},
         {"P", "Q", "R"},
         true},
        {"more names: the extra name matches nothing",
         {"P", "Q", "R"},
         {"R", "Q", "P", "S"},
         {"R", "Q", "P"},
         true},
        {"more names: a late match goes to the end",
         {"P", "Q", "R"},
         {"T", "P", "Q", "R"},
         {"P", "Q", "R"},
         true},
        {"a reserved position is filled", {"P", "Q", "U"}, {"P", "*", "Q"}, {"P", "U", "Q"}, true},
        {"letter case matters", {"P", "Q"}, {"q", "p"}, {"P", "Q"}, true},
        {"no names", {"P", "Q"}, {}, {"P", "Q"}, true},
        {"no items", {}, {"P"}, {}, true},
    };
    for (const ArrangeCase& c : cases) {
        std::vector<std::string> items = c.items;
        const bool changed =
            ArrangeByNames(items, c.order, [](const std::string& item) { return item; });
        EXPECT_EQ(items, c.result) << c.title;
        EXPECT_EQ(changed, c.changed) << c.title;
    }
}
