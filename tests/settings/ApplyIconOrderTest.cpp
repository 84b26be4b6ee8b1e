// ApplyIconOrder over real items of a temp folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "IconOrder.h"
#include "SettingsFixture.h"

using settingstest::DataDirTest;
using settingstest::FilesEndingWith;

using NameList = std::vector<std::string>;

namespace {

NameList LoadNames(const std::string& data, const std::string& folder) {
    KivIconSortHelper<std::string> order(data.c_str());
    order.LoadParam(folder.c_str());
    return order.names;
}

} // namespace

namespace {

struct ApplyCase {
    const char* title;
    std::vector<const char*> files;    // letters; each is the file <letter>.txt
    std::optional<std::string> record; // the "Sort" section as written, <X> standing for
                                       // the path of X.txt; none: no record file
    std::vector<std::pair<const char*, const char*>> renames;
    std::vector<const char*> result;                   // the items afterwards, by letter
    std::optional<std::vector<const char*>> rewritten; // the record afterwards; none: untouched
};

} // namespace

class IconOrderApply : public DataDirTest {
protected:
    std::string folder;

    void SetUp() override {
        DataDirTest::SetUp();
        folder = MakeFolder("Items");
    }

    std::string PathOf(const std::string& letter) const { return folder + "\\" + letter + ".txt"; }

    // <X> becomes the path of X.txt.
    std::string Expand(const std::string& text) const {
        std::string out;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '<' && i + 2 < text.size() && text[i + 2] == '>') {
                out += PathOf(text.substr(i + 1, 1));
                i += 2;
            } else {
                out += text[i];
            }
        }
        return out;
    }

    // The folder's items built as a window builds them, in reverse shell order so that the sort
    // has something to do.
    KivItemList LoadItems() const {
        KivItem parent;
        parent.SetPathId(KivPidl(folder.c_str()));
        KivItemList items;
        OleWrapper<IEnumIDList> children =
            parent.GetEnumIDList(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
        LPITEMIDLIST child = nullptr;
        while (children && children->Next(1, &child, nullptr) == S_OK) {
            KivItem item;
            item.SetPathId(parent, KivPidl::Attach(child));
            items.push_back(item);
        }
        std::sort(items.begin(), items.end(),
                  [](const KivItem& a, const KivItem& b) { return a.parsingName > b.parsingName; });
        return items;
    }

    std::string OrderFile() const {
        KivIconSortHelper<std::string> order(data.c_str());
        order.MakeParamHash(folder.c_str(), true);
        return order.GetParamFileName();
    }
};

TEST_F(IconOrderApply, RecordCases) {
    using Letters = std::vector<const char*>;
    const ApplyCase cases[] = {
        {"same names in another order: nothing written",
         {"P", "Q"},
         "0=<Q>\r\n1=<P>\r\n",
         {},
         {"Q", "P"},
         std::nullopt},
        {"renamed item takes its old name's place",
         {"P", "T", "R"},
         "0=<P>\r\n1=<T>\r\n2=<R>\r\n",
         {{"T", "U"}},
         {"P", "U", "R"},
         Letters{"P", "U", "R"}},
        {"fewer names than items",
         {"P", "Q", "R"},
         "0=<P>\r\n",
         {},
         {"P", "Q", "R"},
         Letters{"P", "Q", "R"}},
        {"a name whose item is gone",
         {"P", "Q", "R"},
         "0=<R>\r\n1=<Q>\r\n2=<P>\r\n3=<S>\r\n",
         {},
         {"R", "Q", "P"},
         Letters{"R", "Q", "P"}},
        {"a gone name first",
         {"P", "Q", "R"},
         "0=<T>\r\n1=<P>\r\n2=<Q>\r\n3=<R>\r\n",
         {},
         {"P", "Q", "R"},
         Letters{"P", "Q", "R"}},
        {"a reserved position is filled by the new item",
         {"P", "Q"},
         "0=<P>\r\n1=*\r\n2=<Q>\r\n",
         {{"", "U"}},
         {"P", "U", "Q"},
         Letters{"P", "U", "Q"}},
        {"keys 0, 1 and 3 give two names",
         {"P", "Q", "R"},
         "0=<R>\r\n1=<Q>\r\n3=<P>\r\n",
         {},
         {"R", "Q", "P"},
         Letters{"R", "Q", "P"}},
        {"names in other letter case match nothing",
         {"P", "Q"},
         "0=<q>\r\n1=<p>\r\n",
         {},
         {"P", "Q"},
         Letters{"P", "Q"}},
        {"no record file: shell order, nothing written",
         {"R", "P", "Q"},
         std::nullopt,
         {},
         {"P", "Q", "R"},
         std::nullopt},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.title);
        kivtest::RemoveTree(folder);
        kivtest::RemoveTree(data);
        kivtest::MakeDir(folder);
        kivtest::MakeDir(data);
        for (const char* letter : c.files)
            kivtest::WriteTextFile(PathOf(letter), letter);
        std::string before;
        if (c.record) {
            // A section of its own that a rewrite (which starts from an empty file) would drop.
            before = "[Sort]\r\n" + Expand(*c.record) + "[Mark]\r\nx=1\r\n";
            kivtest::WriteTextFile(OrderFile(), before);
        }
        for (const auto& [from, to] : c.renames) {
            if (*from)
                ASSERT_TRUE(MoveFileA(PathOf(from).c_str(), PathOf(to).c_str()));
            else
                kivtest::WriteTextFile(PathOf(to), to);
        }
        const std::string hashBefore =
            kivtest::Exists(HashFile()) ? kivtest::ReadTextFile(HashFile()) : "";

        KivItemList items = LoadItems();
        ApplyIconOrder(items, folder, data.c_str());

        NameList result, expected;
        for (const KivItem& item : items)
            result.push_back(item.parsingName);
        for (const char* letter : c.result)
            expected.push_back(PathOf(letter));
        EXPECT_EQ(result, expected);

        if (!c.record) {
            EXPECT_FALSE(kivtest::Exists(HashFile()));
            EXPECT_TRUE(FilesEndingWith(data, ".srt.kiv").empty());
        } else if (!c.rewritten) {
            EXPECT_EQ(kivtest::ReadTextFile(OrderFile()), before);
            EXPECT_EQ(kivtest::ReadTextFile(HashFile()), hashBefore);
        } else {
            NameList stored;
            for (const char* letter : *c.rewritten)
                stored.push_back(PathOf(letter));
            EXPECT_EQ(LoadNames(data, folder), stored);
        }
    }
}

TEST_F(IconOrderApply, NoFolderPathOnlySorts) {
    for (const char* letter : {"S", "P", "R"})
        kivtest::WriteTextFile(PathOf(letter), letter);
    kivtest::WriteTextFile(OrderFile(), "[Sort]\r\n0=" + PathOf("S") + "\r\n[Mark]\r\nx=1\r\n");
    const std::string before = kivtest::ReadTextFile(OrderFile());
    KivItemList items = LoadItems();
    ApplyIconOrder(items, "", data.c_str());
    NameList result;
    for (const KivItem& item : items)
        result.push_back(item.parsingName);
    EXPECT_EQ(result, (NameList{PathOf("P"), PathOf("R"), PathOf("S")}));
    EXPECT_EQ(kivtest::ReadTextFile(OrderFile()), before);
}

TEST_F(IconOrderApply, AfterAFolderRenameTheOldNamesMatchNothing) {
    for (const char* letter : {"P", "Q"})
        kivtest::WriteTextFile(PathOf(letter), letter);
    // The record was carried to the new path but still names the items under the old one.
    const std::string oldFolder = root / "OldItems";
    kivtest::WriteTextFile(OrderFile(), "[Sort]\r\n0=" + oldFolder + "\\Q.txt\r\n1=" + oldFolder +
                                            "\\P.txt\r\n");
    KivItemList items = LoadItems();
    ApplyIconOrder(items, folder, data.c_str());
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].parsingName, PathOf("P"));
    EXPECT_EQ(LoadNames(data, folder), (NameList{PathOf("P"), PathOf("Q")}));
}
