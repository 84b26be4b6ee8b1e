// The icon-order record: section "Sort" of a folder's "srt" file.
#include <gtest/gtest.h>

#include <optional>

#include "KivIconSortHelper.h"
#include "SettingsFixture.h"

using settingstest::DataDirTest;
using settingstest::FilesEndingWith;
using settingstest::SectionKeys;

using IconOrderRecord = DataDirTest;
using NameList = std::vector<std::string>;

namespace {

NameList LoadNames(const std::string& data, const std::string& folder) {
    KivIconSortHelper<std::string> order(data.c_str());
    order.LoadParam(folder.c_str());
    return order.names;
}

void SaveNames(const std::string& data, const std::string& folder, const NameList& names) {
    KivIconSortHelper<std::string> order(data.c_str());
    order.names = names;
    order.SaveParam(folder.c_str());
}

} // namespace

TEST_F(IconOrderRecord, NamesAreStoredUnderConsecutiveKeys) {
    const std::string folder = MakeFolder("Order");
    const NameList names = {folder + "\\b.txt", "*", folder + "\\\x95\x5C.txt", folder + "\\A.txt"};
    SaveNames(data, folder, names);
    KivIconSortHelper<std::string> order(data.c_str());
    ASSERT_TRUE(order.ExistsParam(folder.c_str()));
    EXPECT_EQ(SectionKeys(order.GetParamFileName(), "Sort"), (NameList{"0", "1", "2", "3"}));
    EXPECT_EQ(LoadNames(data, folder), names);

    // A shorter list replaces the longer one whole.
    SaveNames(data, folder, {"x"});
    EXPECT_EQ(SectionKeys(order.GetParamFileName(), "Sort"), NameList{"0"});
    EXPECT_EQ(LoadNames(data, folder), NameList{"x"});

    // No names, no file.
    SaveNames(data, folder, {});
    EXPECT_FALSE(order.ExistsParam(folder.c_str()));
    EXPECT_TRUE(FilesEndingWith(data, ".srt.kiv").empty());
    EXPECT_TRUE(LoadNames(data, folder).empty());
}

TEST_F(IconOrderRecord, TheFirstMissingOrEmptyKeyEndsTheList) {
    const std::string folder = MakeFolder("Gaps");
    KivIconSortHelper<std::string> order(data.c_str());
    order.MakeParamHash(folder.c_str(), true);
    const struct {
        const char* content;
        NameList names;
    } cases[] = {
        {"[Sort]\r\n0=P\r\n1=Q\r\n3=S\r\n", {"P", "Q"}},
        {"[Sort]\r\n0=P\r\n1=\r\n2=R\r\n", {"P"}},
        {"[Sort]\r\n1=Q\r\n", {}},
        {"[Sort]\r\n00=P\r\n0=Q\r\n", {"Q"}},
        {"[sort]\r\n0=p\r\n", {"p"}},
        {"\x01\x02\xff garbage\r\n[Sort]\r\n0=P\r\nnoise\r\n1=Q\r\n", {"P", "Q"}},
        {"[Sort]\r\n 0 = P \r\n1=\"Q\"\r\n2=a=b\r\n3='R'\r\n", {"P", "Q", "a=b", "R"}},
        {"[Sort]\r\n0=P\r\n0=Q\r\n1=R\r\n", {"P", "R"}},
        {"[Other]\r\n0=X\r\n[Sort]\r\n1=Q\r\n0=P\r\n[Next]\r\n2=Y\r\n", {"P", "Q"}},
    };
    for (const auto& c : cases) {
        kivtest::WriteTextFile(order.GetParamFileName(), c.content);
        EXPECT_EQ(LoadNames(data, folder), c.names) << c.content;
    }
}

TEST_F(IconOrderRecord, LoadingAppendsToTheNamesHeld) {
    const std::string folder = MakeFolder("Append");
    SaveNames(data, folder, {"P", "Q"});
    KivIconSortHelper<std::string> order(data.c_str());
    order.names = {"held"};
    order.LoadParam(folder.c_str());
    EXPECT_EQ(order.names, (NameList{"held", "P", "Q"}));
    // The default record's list comes first (the programs never write one, but it is read).
    SaveNames(data, "Default", {"D"});
    EXPECT_EQ(LoadNames(data, folder), (NameList{"D", "P", "Q"}));
    EXPECT_EQ(LoadNames(data, "Default"), NameList{"D"});
}

TEST_F(IconOrderRecord, TheFileHoldsOneSectionWithOneLinePerName) {
    const std::string folder = MakeFolder("Format");
    const NameList names = {folder + "\\b.txt", "*", folder + "\\\x95\x5C=.txt", "a b"};
    SaveNames(data, folder, names);
    KivIconSortHelper<std::string> order(data.c_str());
    order.MakeParamHash(folder.c_str(), false);
    EXPECT_EQ(kivtest::ReadTextFile(order.GetParamFileName()),
              "[Sort]\r\n0=" + names[0] + "\r\n1=*\r\n2=" + names[2] + "\r\n3=a b\r\n");
    EXPECT_EQ(LoadNames(data, folder), names);
}
