// The rename with the carrying of records, on real folders and a real data directory; and across
// processes, against a real holder of the settings lock.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "KivIconSortHelper.h"
#include "KivParameter.h"
#include "KivWinProperty.h"
#include "RenameCarry.h"
#include "TestSupport.h"

namespace {

// The store parses paths with the shell, which the programs bring up with OLE.
[[maybe_unused]] ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

using Names = std::vector<std::string>;

TEST(CarriedKey, TheFolderAndWhatLiesBelowItOnly) {
    const std::string oldPath = "D:\\Items\\Tools";
    const std::string newPath = "D:\\Items\\Apps";
    const struct {
        const char* key;
        const char* carried; // null: left alone
    } cases[] = {
        {"D:\\Items\\Tools", "D:\\Items\\Apps"},
        {"D:\\Items\\Tools\\Net", "D:\\Items\\Apps\\Net"},
        {"D:\\Items\\Tools\\Net\\表", "D:\\Items\\Apps\\Net\\表"},
        {"D:\\Items\\Toolbox", nullptr},
        {"D:\\Items\\Tools2\\Net", nullptr},
        {"D:\\Items\\Tools.old", nullptr},
        {"D:\\Items\\tools", nullptr}, // another spelling: byte for byte only
        {"D:\\Items", nullptr},
        {"Default", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const auto carried = CarriedKey(c.key, oldPath, newPath);
        ASSERT_EQ(carried.has_value(), c.carried != nullptr);
        if (carried) {
            EXPECT_EQ(*carried, c.carried);
        }
    }
    // A folder whose name ends in a 0x5C trail byte: its sibling 表x is not below it.
    EXPECT_FALSE(CarriedKey("D:\\表x", "D:\\表", "D:\\A").has_value());
    EXPECT_EQ(CarriedKey("D:\\表\\x", "D:\\表", "D:\\A").value_or(""), "D:\\A\\x");
    // Neither an empty old path nor the default record in any spelling is ever carried.
    EXPECT_FALSE(CarriedKey("D:\\Items", "", "D:\\A").has_value());
    EXPECT_FALSE(CarriedKey("default", "default", "D:\\A").has_value());
}

// A working directory with the data directory IconData and the folder Items beside it.
class RenameCarryTest : public ::testing::Test {
protected:
    kivtest::TempDir root{"kivren"};
    std::string data = root / "IconData";
    std::string items = root / "Items";

    void SetUp() override {
        kivtest::MakeDir(data);
        kivtest::MakeDir(items);
    }

    std::string Folder(const std::string& relative) const {
        const std::string path = items + "\\" + relative;
        kivtest::MakeDir(path);
        return path;
    }

    // Both records of a folder: a window property that shows whose it is, and an icon order.
    void SaveRecords(const std::string& folder, int iconSize, const Names& names) const {
        KivWinProperty properties(data.c_str());
        properties.LoadParam(folder.c_str());
        properties.IconSize = iconSize;
        properties.SaveParam(folder.c_str());
        KivIconSortHelper<std::string> order(data.c_str());
        order.names = names;
        order.SaveParam(folder.c_str());
    }

    void ExpectRecords(const std::string& folder, int iconSize, const Names& names) const {
        SCOPED_TRACE(folder);
        KivWinProperty properties(data.c_str());
        EXPECT_TRUE(properties.ExistsParam(folder.c_str()));
        properties.LoadParam(folder.c_str());
        EXPECT_EQ(properties.IconSize, iconSize);
        KivIconSortHelper<std::string> order(data.c_str());
        EXPECT_TRUE(order.ExistsParam(folder.c_str()));
        order.LoadParam(folder.c_str());
        EXPECT_EQ(order.names, names);
    }

    void ExpectNoRecords(const std::string& folder) const {
        SCOPED_TRACE(folder);
        KivWinProperty properties(data.c_str());
        EXPECT_FALSE(properties.ExistsParam(folder.c_str()));
        KivIconSortHelper<std::string> order(data.c_str());
        EXPECT_FALSE(order.ExistsParam(folder.c_str()));
    }

    std::set<std::string> HashFolders() const {
        const Names folders = GetParamFolders(data.c_str());
        return {folders.begin(), folders.end()};
    }

    // Every file of the data directory with its content: a rename that must touch no record.
    std::map<std::string, std::string> DataFiles() const {
        std::map<std::string, std::string> files;
        WIN32_FIND_DATAA found;
        const HANDLE search = FindFirstFileA((data + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return files;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                files[found.cFileName] = kivtest::ReadTextFile(data + "\\" + found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return files;
    }

    size_t RecordFileCount() const {
        size_t count = 0;
        for (const auto& [name, content] : DataFiles())
            if (name != "KivWinPropertyHash.kiv")
                ++count;
        return count;
    }

    // Tools with Tools\Net below it, both with records; beside it Toolbox and ToolsOld, whose
    // names begin like the old name (ToolsOld with all of it), with their own.
    void MakeToolsTree() {
        SaveRecords(Folder("Tools"), 48, {items + "\\Tools\\a", items + "\\Tools\\b"});
        SaveRecords(Folder("Tools\\Net"), 20, {items + "\\Tools\\Net\\c"});
        SaveRecords(Folder("Toolbox"), 40, {items + "\\Toolbox\\x"});
        SaveRecords(Folder("ToolsOld"), 36, {items + "\\ToolsOld\\y"});
    }

    void ExpectSiblingsUntouched() const {
        ExpectRecords(items + "\\Toolbox", 40, {items + "\\Toolbox\\x"});
        ExpectRecords(items + "\\ToolsOld", 36, {items + "\\ToolsOld\\y"});
    }
};

TEST_F(RenameCarryTest, FolderAndEverythingBelowItKeepTheirRecordsUnderTheNewName) {
    MakeToolsTree();
    ASSERT_EQ(RecordFileCount(), 8u);

    ASSERT_EQ(RenameAndCarry(data, items + "\\Tools", items + "\\Apps", true),
              RenameResult::Renamed);

    EXPECT_FALSE(kivtest::Exists(items + "\\Tools"));
    EXPECT_TRUE(kivtest::Exists(items + "\\Apps\\Net"));
    // The stored names still name the items under the old path: the window places them anew.
    ExpectRecords(items + "\\Apps", 48, {items + "\\Tools\\a", items + "\\Tools\\b"});
    ExpectRecords(items + "\\Apps\\Net", 20, {items + "\\Tools\\Net\\c"});
    ExpectNoRecords(items + "\\Tools");
    ExpectNoRecords(items + "\\Tools\\Net");
    ExpectSiblingsUntouched();
    EXPECT_EQ(HashFolders(), (std::set<std::string>{items + "\\Toolbox", items + "\\ToolsOld",
                                                    items + "\\Apps", items + "\\Apps\\Net"}));
    EXPECT_EQ(RecordFileCount(), 8u) << "records left behind under the old names";
}

TEST_F(RenameCarryTest, TheDefaultRecordAndASiblingWithTheSameBeginningStay) {
    MakeToolsTree();
    KivWinProperty defaults(data.c_str());
    defaults.LoadParam(nullptr);
    defaults.ShowTime = 777;
    defaults.SaveParam(nullptr);
    const std::string sibling =
        kivtest::ReadTextFile(data + "\\" + ComputeParamHash(items + "\\ToolsOld") + ".wpr.kiv");

    ASSERT_EQ(RenameAndCarry(data, items + "\\Tools", items + "\\Apps", true),
              RenameResult::Renamed);

    EXPECT_EQ(
        kivtest::ReadTextFile(data + "\\" + ComputeParamHash(items + "\\ToolsOld") + ".wpr.kiv"),
        sibling);
    ExpectSiblingsUntouched();
    EXPECT_EQ(HashFolders().count("Default"), 1u);
    KivWinProperty after(data.c_str());
    after.LoadParam(nullptr);
    EXPECT_EQ(after.ShowTime, 777);
}

TEST_F(RenameCarryTest, OnlyTheRecordsAFolderHasAreCarried) {
    // Tools has an icon order but no window properties: it follows the default record.
    const std::string tools = Folder("Tools");
    KivIconSortHelper<std::string> order(data.c_str());
    order.names = {tools + "\\a"};
    order.SaveParam(tools.c_str());
    KivWinProperty defaults(data.c_str());
    defaults.LoadParam(nullptr);
    defaults.IconSize = 40;
    defaults.SaveParam(nullptr);

    ASSERT_EQ(RenameAndCarry(data, tools, items + "\\Apps", true), RenameResult::Renamed);

    KivWinProperty properties(data.c_str());
    EXPECT_FALSE(properties.ExistsParam((items + "\\Apps").c_str()))
        << "a record of today's defaults was made";
    KivIconSortHelper<std::string> carried(data.c_str());
    EXPECT_TRUE(carried.ExistsParam((items + "\\Apps").c_str()));
    carried.LoadParam((items + "\\Apps").c_str());
    EXPECT_EQ(carried.names, Names{tools + "\\a"});
    // A later change of the default record still reaches the renamed folder.
    defaults.IconSize = 24;
    defaults.SaveParam(nullptr);
    properties.LoadParam((items + "\\Apps").c_str());
    EXPECT_EQ(properties.IconSize, 24);
}

TEST_F(RenameCarryTest, RecordsLeftUnderTheNewNameByAFolderThatIsGoneAreNotInherited) {
    // Apps is gone but its records are still there; Tools has window properties only.
    SaveRecords(items + "\\Apps", 20, {items + "\\Apps\\old"});
    const std::string tools = Folder("Tools");
    KivWinProperty properties(data.c_str());
    properties.LoadParam(tools.c_str());
    properties.IconSize = 48;
    properties.SaveParam(tools.c_str());

    ASSERT_EQ(RenameAndCarry(data, tools, items + "\\Apps", true), RenameResult::Renamed);

    KivWinProperty carried(data.c_str());
    EXPECT_TRUE(carried.ExistsParam((items + "\\Apps").c_str()));
    carried.LoadParam((items + "\\Apps").c_str());
    EXPECT_EQ(carried.IconSize, 48);
    KivIconSortHelper<std::string> order(data.c_str());
    EXPECT_FALSE(order.ExistsParam((items + "\\Apps").c_str()));
    order.LoadParam((items + "\\Apps").c_str());
    EXPECT_TRUE(order.names.empty());
    ExpectNoRecords(tools);
    EXPECT_EQ(RecordFileCount(), 1u);
}

TEST_F(RenameCarryTest, ALetterCaseOnlyRenameKeepsTheRecords) {
    MakeToolsTree();
    const auto before = DataFiles();

    const RenameResult result = RenameAndCarry(data, items + "\\Tools", items + "\\TOOLS", true);
    if (result == RenameResult::MoveFailed)
        GTEST_SKIP() << "the file system refused a change of letter case only";

    ExpectRecords(items + "\\TOOLS", 48, {items + "\\Tools\\a", items + "\\Tools\\b"});
    ExpectRecords(items + "\\TOOLS\\Net", 20, {items + "\\Tools\\Net\\c"});
    // Same entries, same files; only the stored spelling follows the new name, so that the next
    // rename of TOOLS finds them byte for byte.
    EXPECT_EQ(RecordFileCount(), 8u);
    for (const auto& [name, content] : DataFiles()) {
        if (name != "KivWinPropertyHash.kiv") {
            EXPECT_EQ(content, before.at(name)) << name;
        }
    }
    EXPECT_EQ(HashFolders(), (std::set<std::string>{items + "\\Toolbox", items + "\\ToolsOld",
                                                    items + "\\TOOLS", items + "\\TOOLS\\Net"}));

    ASSERT_EQ(RenameAndCarry(data, items + "\\TOOLS", items + "\\Apps", true),
              RenameResult::Renamed);
    ExpectRecords(items + "\\Apps\\Net", 20, {items + "\\Tools\\Net\\c"});
    ExpectSiblingsUntouched();
    EXPECT_EQ(RecordFileCount(), 8u);
}

TEST_F(RenameCarryTest, AnUnchangedNameKeepsTheRecords) {
    MakeToolsTree();
    const auto before = DataFiles();
    // The system may accept or refuse a rename onto the same name; the records stay either way.
    RenameAndCarry(data, items + "\\Tools", items + "\\Tools", true);
    EXPECT_TRUE(kivtest::Exists(items + "\\Tools\\Net"));
    EXPECT_EQ(DataFiles(), before);
}

TEST_F(RenameCarryTest, AFolderWithoutRecordsOnlyMoves) {
    MakeToolsTree();
    Folder("Plain");
    Folder("Plain\\Inner");
    const auto before = DataFiles();

    ASSERT_EQ(RenameAndCarry(data, items + "\\Plain", items + "\\Plain2", true),
              RenameResult::Renamed);

    EXPECT_TRUE(kivtest::Exists(items + "\\Plain2\\Inner"));
    EXPECT_FALSE(kivtest::Exists(items + "\\Plain"));
    EXPECT_EQ(DataFiles(), before);
}

TEST_F(RenameCarryTest, AFileMovesAndTouchesNoRecord) {
    MakeToolsTree();
    kivtest::WriteTextFile(items + "\\Memo.txt", "memo");
    const auto before = DataFiles();

    ASSERT_EQ(RenameAndCarry(data, items + "\\Memo.txt", items + "\\Note.txt", false),
              RenameResult::Renamed);

    EXPECT_EQ(kivtest::ReadTextFile(items + "\\Note.txt"), "memo");
    EXPECT_FALSE(kivtest::Exists(items + "\\Memo.txt"));
    EXPECT_EQ(DataFiles(), before);
}

TEST_F(RenameCarryTest, AFolderTakenForAFileStillCarriesItsRecords) {
    // The attribute query failed when the dialog opened: the renamed directory itself decides.
    MakeToolsTree();
    ASSERT_EQ(RenameAndCarry(data, items + "\\Tools", items + "\\Apps", false),
              RenameResult::Renamed);
    ExpectRecords(items + "\\Apps\\Net", 20, {items + "\\Tools\\Net\\c"});
    ExpectNoRecords(items + "\\Tools\\Net");
}

TEST_F(RenameCarryTest, RefusedRenamesChangeNothing) {
    MakeToolsTree();
    kivtest::WriteTextFile(items + "\\Memo.txt", "memo");
    const auto before = DataFiles();
    const std::string tools = items + "\\Tools";
    const struct {
        const char* label;
        std::string oldPath;
        std::string newPath;
    } cases[] = {
        {"name taken", tools, items + "\\Toolbox"},
        {"name taken by a file", tools, items + "\\Memo.txt"},
        {"invalid character", tools, items + "\\A?B"},
        {"invalid character *", tools, items + "\\A*B"},
        {"item gone", items + "\\Gone", items + "\\Here"},
        {"into itself", tools, tools + "\\Net\\Inner"},
        {"path ending in a backslash", tools + "\\", tools + "\\Apps"},
        {"too long", items + "\\" + std::string(300, 'x'), items + "\\y"},
        {"too long new name", tools, items + "\\" + std::string(300, 'y')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(RenameAndCarry(data, c.oldPath, c.newPath, true), RenameResult::MoveFailed);
        EXPECT_TRUE(kivtest::Exists(tools + "\\Net"));
        EXPECT_EQ(DataFiles(), before);
    }
}

TEST_F(RenameCarryTest, RenameItemRefusesWhatIsNoName) {
    MakeToolsTree();
    const auto before = DataFiles();
    const RenameNameParts tools{items + "\\", "Tools", ""};
    for (const char* name : {"", "..\\Elsewhere", "Sub/Dir", "\\"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RenameItem(data, tools, name, true), RenameResult::MoveFailed);
        EXPECT_TRUE(kivtest::Exists(items + "\\Tools\\Net"));
        EXPECT_EQ(DataFiles(), before);
    }
    // A path that names no item of a folder (a drive root, a path ending in a backslash) has
    // nothing to rename; the system is not asked to move a drive or a folder into itself.
    for (const std::string& path : {std::string("C:\\"), items + "\\Tools\\"}) {
        SCOPED_TRACE(path);
        const RenameNameParts parts = SplitRenamePath(path, false);
        EXPECT_EQ(RenameItem(data, parts, "Apps", true), RenameResult::MoveFailed);
        EXPECT_TRUE(kivtest::Exists(items + "\\Tools\\Net"));
        EXPECT_FALSE(kivtest::Exists("C:\\Apps"));
        EXPECT_EQ(DataFiles(), before);
    }
}

TEST_F(RenameCarryTest, RenameItemKeepsAShortcutsExtension) {
    kivtest::WriteTextFile(items + "\\Editor.lnk", "link");
    const RenameNameParts editor = SplitRenamePath(items + "\\Editor.lnk", true);
    ASSERT_EQ(RenameItem(data, editor, "Writer", false), RenameResult::Renamed);
    EXPECT_EQ(kivtest::ReadTextFile(items + "\\Writer.lnk"), "link");
}

TEST_F(RenameCarryTest, ANewFolderNamedWithAFinalDotMovesWithoutIt) {
    const std::string made = Folder("新しいフォルダ");
    const RenameNameParts parts = SplitRenamePath(made + ".", false);
    ASSERT_EQ(parts.namePart, "新しいフォルダ");
    ASSERT_EQ(RenameItem(data, parts, "表計算", true), RenameResult::Renamed);
    EXPECT_TRUE(kivtest::Exists(items + "\\表計算"));
    EXPECT_FALSE(kivtest::Exists(made));
}

TEST_F(RenameCarryTest, RecordsFollowTheNameTheSystemReallyGives) {
    // The file system drops a name's trailing dots and spaces.
    MakeToolsTree();
    ASSERT_EQ(RenameItem(data, {items + "\\", "Tools", ""}, "Apps. ", true), RenameResult::Renamed);
    ASSERT_TRUE(kivtest::Exists(items + "\\Apps\\Net"));
    ExpectRecords(items + "\\Apps", 48, {items + "\\Tools\\a", items + "\\Tools\\b"});
    ExpectRecords(items + "\\Apps\\Net", 20, {items + "\\Tools\\Net\\c"});
}

TEST_F(RenameCarryTest, ASettingsFailureLosesNothingAndStopsNoOtherFolder) {
    MakeToolsTree();
    // A directory where the record file of Apps would go: its first value cannot be written.
    // Tools comes first in the hash file, so the failure is met before Net is carried.
    ASSERT_EQ(GetParamFolders(data.c_str()).front(), items + "\\Tools");
    kivtest::MakeDir(data + "\\" + ComputeParamHash(items + "\\Apps") + ".wpr.kiv");

    EXPECT_EQ(kivtest::ThrownMessage<KivParameterException>(
                  [&] { RenameAndCarry(data, items + "\\Tools", items + "\\Apps", true); }),
              "Error KivParameter::WritePrivateProfileString");

    // The item keeps its new name; Tools, which failed, keeps its old records; Net is carried.
    EXPECT_TRUE(kivtest::Exists(items + "\\Apps\\Net"));
    ExpectRecords(items + "\\Tools", 48, {items + "\\Tools\\a", items + "\\Tools\\b"});
    ExpectRecords(items + "\\Apps\\Net", 20, {items + "\\Tools\\Net\\c"});
    ExpectNoRecords(items + "\\Tools\\Net");
    ExpectSiblingsUntouched();
}

TEST_F(RenameCarryTest, TheLockIsFreeOnceARefusedRenameReturns) {
    MakeToolsTree();
    ASSERT_EQ(RenameAndCarry(data, items + "\\Tools", items + "\\A?B", true),
              RenameResult::MoveFailed);
    // Another thread stands for another program: it gets the lock at once.
    auto other = std::async(std::launch::async, [] { KivParameterMutex lock; });
    EXPECT_EQ(other.wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

// A rename while another process holds the settings lock.
class RenameAcrossProcesses : public RenameCarryTest {
protected:
    std::string marker = root / "holding.txt";
    std::string release = root / "release.txt";

    std::unique_ptr<kivtest::ChildProcess> StartHolder() {
        auto holder = std::make_unique<kivtest::ChildProcess>(
            "\"" + kivtest::BuiltProgram("renamelockholder.exe") + "\" \"" + marker + "\" \"" +
                release + "\"",
            "");
        for (int i = 0; i < 400 && !kivtest::Exists(marker); ++i)
            Sleep(50);
        return holder;
    }

    // Starts the rename of Tools on another thread; it must wait for the lock, so nothing moves.
    std::future<RenameResult> StartWaitingRename() {
        auto rename = std::async(std::launch::async, [this] {
            return RenameAndCarry(data, items + "\\Tools", items + "\\Apps", true);
        });
        EXPECT_EQ(rename.wait_for(std::chrono::milliseconds(1500)), std::future_status::timeout);
        EXPECT_TRUE(kivtest::Exists(items + "\\Tools")) << "renamed without the lock";
        return rename;
    }

    void ExpectCarried() {
        ExpectRecords(items + "\\Apps", 48, {items + "\\Tools\\a", items + "\\Tools\\b"});
        ExpectRecords(items + "\\Apps\\Net", 20, {items + "\\Tools\\Net\\c"});
        ExpectNoRecords(items + "\\Tools\\Net");
    }
};

TEST_F(RenameAcrossProcesses, WaitsForTheHolderThenCompletes) {
    MakeToolsTree();
    auto holder = StartHolder();
    ASSERT_TRUE(kivtest::Exists(marker)) << "the holder never took the lock";
    auto rename = StartWaitingRename();

    kivtest::WriteTextFile(release, "");
    EXPECT_EQ(holder->Wait(20000), 0u);
    ASSERT_EQ(rename.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(rename.get(), RenameResult::Renamed);
    ExpectCarried();
}

TEST_F(RenameAcrossProcesses, CompletesWhenTheHolderIsKilled) {
    MakeToolsTree();
    auto holder = StartHolder();
    ASSERT_TRUE(kivtest::Exists(marker)) << "the holder never took the lock";
    auto rename = StartWaitingRename();

    holder->Kill();
    ASSERT_EQ(rename.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(rename.get(), RenameResult::Renamed);
    ExpectCarried();
}

} // namespace
