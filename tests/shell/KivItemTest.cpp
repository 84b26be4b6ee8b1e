#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <functional>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "CodeTrans.h"
#include "DummyDataObject.h"
#include "DummyDropTarget.h"
#include "FakeShell.h"
#include "KivItem.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"

using kivtest::TempDir;

// Blocks of the C++ heap that are alive: the placeholders and everything an item holds besides
// its shell objects come from here, so a leak of them shows as a count that does not return.
namespace {
volatile LONG liveBlocks = 0;
}

void* operator new(size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block)
        throw std::bad_alloc();
    InterlockedIncrement(&liveBlocks);
    return block;
}
void* operator new[](size_t size) {
    return operator new(size);
}
void operator delete(void* block) noexcept {
    if (block) {
        InterlockedDecrement(&liveBlocks);
        std::free(block);
    }
}
void operator delete[](void* block) noexcept {
    operator delete(block);
}
void operator delete(void* block, size_t) noexcept {
    operator delete(block);
}
void operator delete[](void* block, size_t) noexcept {
    operator delete(block);
}

namespace {

KivItem ItemOf(const std::string& path) {
    KivItem item;
    item.SetPathId(KivPidl(path.c_str()));
    return item;
}

ULONG AttributesOf(const KivPidl& list) {
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(reinterpret_cast<LPCSTR>(list.Get()), 0, &info, sizeof(info),
                        SHGFI_PIDL | SHGFI_ATTRIBUTES))
        return 0;
    return info.dwAttributes;
}

// The items of a folder item, built the way a window builds them.
KivItemList ChildrenOf(const KivItem& parent, DWORD flags) {
    KivItemList items;
    OleWrapper<IEnumIDList> children = parent.GetEnumIDList(nullptr, flags);
    if (!children)
        return items;
    LPITEMIDLIST child = nullptr;
    while (children->Next(1, &child, nullptr) == S_OK) {
        const KivPidl relative = KivPidl::Attach(child);
        KivItem item;
        item.SetPathId(parent, relative);
        items.push_back(item);
    }
    return items;
}

std::set<std::string> ParsingNames(const KivItemList& items) {
    std::set<std::string> names;
    for (const KivItem& item : items)
        names.insert(item.parsingName);
    return names;
}

ULONG CountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// Whether a COM object is one of our placeholders. Every interface pointer points at its
// table of methods, so comparing those is valid for any object; a dynamic_cast is not, since
// the shell's own objects carry no C++ type information.
template <class Placeholder> bool IsPlaceholder(IUnknown* object) {
    Placeholder* sample = new Placeholder;
    sample->AddRef();
    const bool same = object && *reinterpret_cast<void**>(object) ==
                                    *reinterpret_cast<void**>(static_cast<IUnknown*>(sample));
    sample->Release();
    return same;
}

bool WaitForFile(const std::string& path, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        if (kivtest::Exists(path))
            return true;
        Sleep(50);
    }
    return kivtest::Exists(path);
}

// A folder of real files and shortcuts for the type cases.
class ShellFolderFixture : public ::testing::Test {
protected:
    TempDir dir{"kivitem"};
};

} // namespace

TEST(KivItemTypeRules, SeparatorNames) {
    const struct {
        const char* name;
        bool separator;
    } cases[] = {
        {"C:\\x\\a.sep.kiv", true},
        {"C:\\x\\A.SEP.KIV", true},
        {"C:\\x\\a.Sep.Kiv", true},
        {".sep.kiv", true},
        {"C:\\x\\.sep.kiv", true},
        {"sep.kiv", false},
        {"C:\\x\\a.sep.kiv.txt", false},
        {"C:\\x\\a.sepXkiv", false},
        {"", false},
        {"C:\\表\\ソ.sep.kiv", true},
        {"C:\\x\\a.sep.ki", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KivItem::IsSeparatorName(c.name), c.separator) << c.name;
}

TEST(KivItemTypeRules, TypesFromAttributes) {
    const ULONG fs = SFGAO_FILESYSTEM, folder = SFGAO_FOLDER, link = SFGAO_LINK,
                ghosted = SFGAO_GHOSTED;
    const struct {
        ULONG attributes;
        unsigned char type;
    } cases[] = {
        {fs, KivItem::ItemFile},
        {fs | folder, KivItem::ItemFolder},
        {0, KivItem::ItemVirtual},
        {folder, KivItem::ItemVirtualFolder},
        {fs | link, KivItem::ItemLink},
        {fs | link | folder, KivItem::ItemLink},
        // dimmed items are plain files whatever else they are
        {fs | folder | ghosted, KivItem::ItemFile},
        {fs | link | ghosted, KivItem::ItemFile},
        {folder | ghosted, KivItem::ItemFile},
        // a link outside the file system is not read as a shortcut
        {link, KivItem::ItemVirtual},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KivItem::TypeOfAttributes(c.attributes), c.type) << std::hex << c.attributes;
    EXPECT_EQ(KivItem::TypeOfLinkTarget(fs | folder), KivItem::ItemFolderLink);
    EXPECT_EQ(KivItem::TypeOfLinkTarget(folder), KivItem::ItemFolderLink);
    EXPECT_EQ(KivItem::TypeOfLinkTarget(fs), KivItem::ItemLink);
    EXPECT_EQ(KivItem::TypeOfLinkTarget(fs | folder | ghosted), KivItem::ItemLink);
}

TEST(KivItemFields, EmptyItem) {
    const KivItem item;
    EXPECT_EQ(item.x, -1);
    EXPECT_EQ(item.y, -1);
    EXPECT_EQ(item.type, KivItem::ItemNone);
    EXPECT_TRUE(item.displayName.empty());
    EXPECT_TRUE(item.parsingName.empty());
    EXPECT_TRUE(item.folderPath.empty());
    EXPECT_TRUE(item.pidl.IsNull());
    EXPECT_TRUE(item.parentPidl.IsNull());
    EXPECT_TRUE(item.relativePidl.IsNull());
    EXPECT_TRUE(item.folderPidl.IsNull());
    EXPECT_FALSE(item.parentFolder);
    EXPECT_FALSE(item.folderParent);
    EXPECT_FALSE(item.folder);
}

TEST_F(ShellFolderFixture, TypesOfRealItems) {
    kivtest::WriteTextFile(dir / "plain.txt", "plain");
    kivtest::MakeDir(dir / "folder");
    kivtest::WriteTextFile(dir / "gone.txt", "soon deleted");
    kivtest::MakeShortcut(dir / "to file.lnk", dir / "plain.txt");
    kivtest::MakeShortcut(dir / "to folder.lnk", dir / "folder");
    kivtest::MakeShortcut(dir / "broken.lnk", dir / "gone.txt");
    ASSERT_TRUE(DeleteFileA((dir / "gone.txt").c_str()));
    kivtest::WriteTextFile(dir / "garbage.lnk", "this is not a shell link at all");
    kivtest::WriteTextFile(dir / "a.sep.kiv", "");
    kivtest::WriteTextFile(dir / "B.SEP.KIV", "");
    kivtest::WriteTextFile(dir / "c.Sep.Kiv", "");
    kivtest::WriteTextFile(dir / ".sep.kiv", "");
    kivtest::MakeDir(dir / "folder.sep.kiv");
    kivtest::MakeShortcut(dir / "link.sep.kiv.lnk", dir / "folder"); // suffix must be at the end
    kivtest::WriteTextFile(dir / "sep.kiv", "");

    const struct {
        const char* name;
        unsigned char type;
        const char* folderTarget; // name of the folder it opens, or null
    } cases[] = {
        {"plain.txt", KivItem::ItemFile, nullptr},
        {"folder", KivItem::ItemFolder, "folder"},
        {"to file.lnk", KivItem::ItemLink, nullptr},
        {"to folder.lnk", KivItem::ItemFolderLink, "folder"},
        {"broken.lnk", KivItem::ItemLink, nullptr},
        {"garbage.lnk", KivItem::ItemLink, nullptr},
        {"a.sep.kiv", KivItem::ItemSeparator, nullptr},
        {"B.SEP.KIV", KivItem::ItemSeparator, nullptr},
        {"c.Sep.Kiv", KivItem::ItemSeparator, nullptr},
        {".sep.kiv", KivItem::ItemSeparator, nullptr},
        {"folder.sep.kiv", KivItem::ItemSeparator, nullptr},
        {"link.sep.kiv.lnk", KivItem::ItemFolderLink, "folder"},
        {"sep.kiv", KivItem::ItemFile, nullptr},
    };
    const KivPidl folderList((dir / "folder").c_str());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / c.name;
        const KivItem item = ItemOf(path);
        EXPECT_EQ(item.type, c.type);
        EXPECT_EQ(item.parsingName, path);
        EXPECT_FALSE(item.displayName.empty());
        EXPECT_TRUE(item.pidl == KivPidl(path.c_str()));
        EXPECT_TRUE(item.parentPidl == KivPidl(dir.Path().c_str()));
        EXPECT_EQ(item.relativePidl.GetCount(), 1u);
        ASSERT_TRUE(item.parentFolder);
        ASSERT_TRUE(item.folder);
        ASSERT_TRUE(item.folderParent);
        if (c.folderTarget) {
            const std::string target = dir / c.folderTarget;
            ASSERT_FALSE(item.folderPidl.IsNull());
            EXPECT_TRUE(item.folderPidl == folderList);
            EXPECT_EQ(item.folderPath, target);
            EXPECT_EQ(item.GetFolderIdName(), c.folderTarget);
            // folder is the bound target folder: it parses names inside the target
            kivtest::WriteTextFile(target + "\\inside.txt", "x");
            KivPidl inside;
            ULONG eaten = 0;
            EXPECT_TRUE(SUCCEEDED(item.folder->ParseDisplayName(nullptr, nullptr,
                                                                const_cast<wchar_t*>(L"inside.txt"),
                                                                &eaten, inside.Put(), nullptr)));
            DeleteFileA((target + "\\inside.txt").c_str());
        } else {
            EXPECT_TRUE(item.folderPidl.IsNull());
            EXPECT_TRUE(item.folderPath.empty());
        }
    }
}

TEST_F(ShellFolderFixture, HiddenItemShownDimmedIsAFile) {
    kivtest::MakeDir(dir / "hidden folder");
    kivtest::MakeDir(dir / "target");
    kivtest::MakeShortcut(dir / "hidden link.lnk", dir / "target");
    kivtest::WriteTextFile(dir / "hidden.txt", "x");
    for (const char* name : {"hidden folder", "hidden link.lnk", "hidden.txt"})
        ASSERT_TRUE(SetFileAttributesA((dir / name).c_str(), FILE_ATTRIBUTE_HIDDEN));
    if (!(AttributesOf(KivPidl((dir / "hidden folder").c_str())) & SFGAO_GHOSTED))
        GTEST_SKIP() << "this shell does not report hidden items as dimmed (SFGAO_GHOSTED); the "
                        "rule is covered by KivItemTypeRules.TypesFromAttributes";
    for (const char* name : {"hidden folder", "hidden link.lnk", "hidden.txt"}) {
        const KivItem item = ItemOf(dir / name);
        EXPECT_EQ(item.type, KivItem::ItemFile) << name;
        EXPECT_TRUE(item.folderPidl.IsNull()) << name;
    }
}

TEST_F(ShellFolderFixture, ShortcutToADimmedFolderIsAShortcut) {
    kivtest::MakeDir(dir / "target");
    kivtest::MakeShortcut(dir / "link.lnk", dir / "target");
    ASSERT_TRUE(SetFileAttributesA((dir / "target").c_str(), FILE_ATTRIBUTE_HIDDEN));
    if (!(AttributesOf(KivPidl((dir / "target").c_str())) & SFGAO_GHOSTED))
        GTEST_SKIP() << "this shell does not report hidden items as dimmed (SFGAO_GHOSTED)";
    const KivItem item = ItemOf(dir / "link.lnk");
    EXPECT_EQ(item.type, KivItem::ItemLink);
    EXPECT_TRUE(item.folderPidl.IsNull());
}

TEST(KivItemDesktop, ItemsDirectlyBelowTheDesktop) {
    OleWrapper<IShellFolder> desktop = KivPidl::GetDesktopFolder();
    const KivPidl drives(nullptr, CSIDL_DRIVES);
    ASSERT_EQ(drives.GetCount(), 1u);
    KivItem computer;
    computer.SetPathId(drives);
    EXPECT_EQ(computer.type, KivItem::ItemVirtualFolder);
    EXPECT_TRUE(computer.parentPidl.IsNull());
    EXPECT_EQ(computer.parentFolder.Get(), desktop.Get());
    EXPECT_EQ(computer.folderParent.Get(), desktop.Get());
    EXPECT_TRUE(computer.folderPidl == drives);
    EXPECT_NE(computer.folder.Get(), desktop.Get());
    EXPECT_FALSE(computer.displayName.empty());
    EXPECT_EQ(computer.GetFolderIdName(), computer.displayName);
    // The drives below it are folders of the file system, found by enumeration.
    const KivItemList children = ChildrenOf(computer, SHCONTF_FOLDERS);
    bool sawC = false;
    for (const KivItem& child : children) {
        if (child.parsingName == "C:\\") {
            sawC = true;
            EXPECT_EQ(child.type, KivItem::ItemFolder);
            EXPECT_EQ(child.parentFolder.Get(), computer.folder.Get());
            EXPECT_TRUE(child.pidl == KivPidl("C:\\"));
            EXPECT_TRUE(child.parentPidl == drives);
        }
    }
    EXPECT_TRUE(sawC);

    // A file in the desktop's directory is an item of the desktop itself.
    char desktopDirectory[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktopDirectory, CSIDL_DESKTOPDIRECTORY, FALSE));
    char name[64];
    wsprintfA(name, "kiv-desktop-item-%lu.txt", GetCurrentProcessId());
    const std::string path = std::string(desktopDirectory) + "\\" + name;
    kivtest::WriteTextFile(path, "x");
    KivItem desktopItem;
    desktopItem.SetPathId(KivPidl(nullptr, CSIDL_DESKTOP));
    const KivItemList onDesktop = ChildrenOf(desktopItem, SHCONTF_NONFOLDERS);
    DeleteFileA(path.c_str());
    bool sawFile = false;
    for (const KivItem& item : onDesktop) {
        if (item.parsingName == path) {
            sawFile = true;
            EXPECT_EQ(item.type, KivItem::ItemFile);
            EXPECT_EQ(item.pidl.GetCount(), 1u);
            // Found through the desktop item: the parent is the desktop's (empty) list.
            ASSERT_FALSE(item.parentPidl.IsNull());
            EXPECT_EQ(item.parentPidl.GetCount(), 0u);
            // Built from its own one-element list: no parent list, the desktop holds it.
            KivItem direct;
            direct.SetPathId(item.pidl);
            EXPECT_EQ(direct.type, KivItem::ItemFile);
            EXPECT_EQ(direct.parsingName, path);
            EXPECT_TRUE(direct.parentPidl.IsNull());
            EXPECT_EQ(direct.parentFolder.Get(), desktop.Get());
            EXPECT_EQ(direct.folderParent.Get(), desktop.Get());
            EXPECT_EQ(direct.folder.Get(), desktop.Get());
        }
    }
    if (!sawFile)
        GTEST_SKIP() << "this shell's desktop folder does not list the files of its directory";
}

TEST_F(ShellFolderFixture, ShiftJisNames) {
    // 表, ソ and 能 have the trail byte 0x5C.
    const std::string folder = dir / "ソフト表";
    kivtest::MakeDir(folder);
    kivtest::WriteTextFile(folder + "\\予定表.txt", "x");
    kivtest::WriteTextFile(folder + "\\能力.sep.kiv", "");
    kivtest::MakeShortcut(dir / "表示.lnk", folder);

    const KivItem folderItem = ItemOf(folder);
    EXPECT_EQ(folderItem.type, KivItem::ItemFolder);
    EXPECT_EQ(folderItem.displayName, "ソフト表");
    EXPECT_EQ(folderItem.parsingName, folder);
    EXPECT_EQ(folderItem.folderPath, folder);
    EXPECT_EQ(folderItem.GetFolderIdName(), "ソフト表");

    const KivItem link = ItemOf(dir / "表示.lnk");
    EXPECT_EQ(link.type, KivItem::ItemFolderLink);
    EXPECT_EQ(link.folderPath, folder);
    EXPECT_EQ(link.GetFolderIdName(), "ソフト表");
    EXPECT_EQ(link.displayName.rfind("表示", 0), 0u) << link.displayName;

    const KivItemList children = ChildrenOf(folderItem, SHCONTF_NONFOLDERS);
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(ParsingNames(children),
              (std::set<std::string>{folder + "\\予定表.txt", folder + "\\能力.sep.kiv"}));
    for (const KivItem& child : children) {
        if (child.parsingName == folder + "\\予定表.txt") {
            EXPECT_EQ(child.type, KivItem::ItemFile);
            EXPECT_EQ(child.displayName.rfind("予定表", 0), 0u) << child.displayName;
        } else {
            EXPECT_EQ(child.type, KivItem::ItemSeparator);
        }
    }
}

TEST(GetDisplayNameOf, EveryKindOfReturnedName) {
    ASSERT_TRUE(kivtest::TaskAllocations::Install());
    // A list whose element carries a name at byte offset 4.
    BYTE bytes[] = {12, 0, 'x', 'y', 'n', 'a', 'm', 'e', 0x95, 0x5C, 0, 0, 0, 0};
    void* memory = KivPidl::IMallocAlloc(sizeof(bytes));
    memcpy(memory, bytes, sizeof(bytes));
    const KivPidl list = KivPidl::Attach(static_cast<LPITEMIDLIST>(memory));

    kivtest::FakeShellFolder folder;
    OleWrapper<IShellFolder> holder(&folder);
    holder->AddRef(); // the holder's own reference; the object lives on the stack

    folder.nameKind = STRRET_CSTR;
    folder.nameText = "予定表";
    EXPECT_EQ(GetDisplayNameOf(holder, list, SHGDN_INFOLDER), "予定表");

    folder.nameKind = STRRET_OFFSET;
    folder.nameOffset = 4;
    EXPECT_EQ(GetDisplayNameOf(holder, list, SHGDN_INFOLDER), "name表");

    folder.nameKind = STRRET_WSTR;
    folder.nameText = "ソフト\\表";
    const long before = kivtest::TaskAllocations::Live();
    EXPECT_EQ(GetDisplayNameOf(holder, list, SHGDN_FORPARSING), "ソフト\\表");
    EXPECT_EQ(kivtest::TaskAllocations::Live(), before) << "the wide name was not freed";

    folder.nameKind = 7; // no kind this layer knows
    EXPECT_EQ(GetDisplayNameOf(holder, list, SHGDN_INFOLDER), "");

    EXPECT_EQ(folder.calls.back(), "GetDisplayNameOf:" + std::to_string(SHGDN_INFOLDER));
    folder.nameResult = E_FAIL;
    EXPECT_EQ(kivtest::ThrownMessage<KivItemException>(
                  [&] { GetDisplayNameOf(holder, list, SHGDN_INFOLDER); }),
              "Error IshellFolder_GetDisplayNameOf");
    EXPECT_EQ(kivtest::ThrownMessage<KivItemException>(
                  [&] { GetDisplayNameOf(OleWrapper<IShellFolder>(), list, 0); }),
              "Error IshellFolder_GetDisplayNameOf");

    // Every reference taken for a call came back.
    holder.Release();
    EXPECT_EQ(folder.references, 1);
}

TEST_F(ShellFolderFixture, ParentAndChildItems) {
    kivtest::WriteTextFile(dir / "b.txt", "b");
    kivtest::WriteTextFile(dir / "a.txt", "a");
    kivtest::MakeDir(dir / "sub");
    kivtest::WriteTextFile(dir / "hidden.txt", "h");
    ASSERT_TRUE(SetFileAttributesA((dir / "hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    const KivItem parent = ItemOf(dir.Path());
    ASSERT_EQ(parent.type, KivItem::ItemFolder);

    const struct {
        DWORD flags;
        std::set<std::string> names;
    } cases[] = {
        {SHCONTF_FOLDERS, {"sub"}},
        {SHCONTF_NONFOLDERS, {"a.txt", "b.txt"}},
        {SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, {"a.txt", "b.txt", "sub"}},
        {SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
         {"a.txt", "b.txt", "hidden.txt", "sub"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        std::set<std::string> expected;
        for (const std::string& name : c.names)
            expected.insert(dir / name);
        const KivItemList items = ChildrenOf(parent, c.flags);
        EXPECT_EQ(ParsingNames(items), expected);
        for (const KivItem& item : items) {
            EXPECT_TRUE(item.pidl == KivPidl(item.parsingName.c_str())) << item.parsingName;
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(item.parentPidl.Get()),
                                  item.parentPidl.GetSize()),
                      std::string(reinterpret_cast<const char*>(parent.folderPidl.Get()),
                                  parent.folderPidl.GetSize()));
            EXPECT_EQ(item.parentFolder.Get(), parent.folder.Get());
            EXPECT_EQ(item.relativePidl.GetCount(), 1u);
        }
    }
}

TEST_F(ShellFolderFixture, CompareIDsThroughTheParentAndThroughTheDesktop) {
    kivtest::MakeDir(dir / "x");
    kivtest::MakeDir(dir / "y");
    kivtest::WriteTextFile(dir / "x\\a.txt", "a");
    kivtest::WriteTextFile(dir / "x\\b.txt", "b");
    kivtest::WriteTextFile(dir / "y\\a.txt", "a");

    // Items of one window share their parent folder object.
    const KivItemList siblings = ChildrenOf(ItemOf(dir / "x"), SHCONTF_NONFOLDERS);
    ASSERT_EQ(siblings.size(), 2u);
    const KivItem& a =
        siblings[0].parsingName < siblings[1].parsingName ? siblings[0] : siblings[1];
    const KivItem& b = &a == &siblings[0] ? siblings[1] : siblings[0];
    ASSERT_EQ(a.parentFolder.Get(), b.parentFolder.Get());
    EXPECT_LT(a.CompareIDs(b), 0);
    EXPECT_GT(b.CompareIDs(a), 0);
    EXPECT_EQ(a.CompareIDs(a), 0);

    // Items built separately hold different folder objects and are compared by the desktop.
    const KivItem a2 = ItemOf(dir / "x\\a.txt");
    const KivItem b2 = ItemOf(dir / "x\\b.txt");
    const KivItem ya = ItemOf(dir / "y\\a.txt");
    ASSERT_NE(a2.parentFolder.Get(), b2.parentFolder.Get());
    EXPECT_LT(a2.CompareIDs(b2), 0);
    EXPECT_GT(b2.CompareIDs(a2), 0);
    EXPECT_EQ(a2.CompareIDs(a), 0);
    EXPECT_LT(b2.CompareIDs(ya), 0) << "x sorts before y whatever the names below";
    EXPECT_GT(ya.CompareIDs(a2), 0);

    // Sorting a window's list by it, swapping by copy and assignment as the windows do.
    KivItemList list = {b2, ya, a2};
    std::sort(list.begin(), list.end(),
              [](const KivItem& l, const KivItem& r) { return l.CompareIDs(r) < 0; });
    EXPECT_EQ(list[0].parsingName, dir / "x\\a.txt");
    EXPECT_EQ(list[1].parsingName, dir / "x\\b.txt");
    EXPECT_EQ(list[2].parsingName, dir / "y\\a.txt");
}

TEST(KivItemCompareIDs, FailureAndResultBits) {
    kivtest::FakeShellFolder folder;
    KivItem a, b;
    a.parentFolder.Reset(&folder);
    folder.AddRef();
    b.parentFolder = a.parentFolder;
    folder.compareResult = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0xFFFF); // -1 in the low 16 bits
    EXPECT_EQ(a.CompareIDs(b), -1);
    folder.compareResult = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 2);
    EXPECT_EQ(a.CompareIDs(b), 2);
    folder.compareResult = E_FAIL;
    EXPECT_EQ(kivtest::ThrownMessage<KivItemException>([&] { a.CompareIDs(b); }),
              "Error KivItem::CompareIDs");
    a.parentFolder.Release();
    b.parentFolder.Release();
    EXPECT_EQ(folder.references, 1);
}

TEST(KivItemCopies, CopiesAreIndependent) {
    TempDir dir;
    kivtest::MakeDir(dir / "f");
    const KivItem original = ItemOf(dir / "f");
    const ULONG folderCount = CountOf(original.folder.Get());
    {
        KivItem copy(original);
        EXPECT_EQ(copy.type, original.type);
        EXPECT_EQ(copy.parsingName, original.parsingName);
        EXPECT_EQ(copy.displayName, original.displayName);
        EXPECT_EQ(copy.folderPath, original.folderPath);
        EXPECT_NE(copy.pidl.Get(), original.pidl.Get());
        EXPECT_NE(copy.folderPidl.Get(), original.folderPidl.Get());
        EXPECT_NE(copy.relativePidl.Get(), original.relativePidl.Get());
        EXPECT_NE(copy.parentPidl.Get(), original.parentPidl.Get());
        EXPECT_TRUE(copy.pidl == original.pidl);
        EXPECT_EQ(copy.folder.Get(), original.folder.Get());
        EXPECT_EQ(CountOf(original.folder.Get()), folderCount + 1);
        KivItem assigned;
        assigned = copy;
        assigned.x = 5;
        EXPECT_EQ(CountOf(original.folder.Get()), folderCount + 2);
        EXPECT_EQ(copy.x, -1);
        assigned = assigned;
        EXPECT_EQ(CountOf(original.folder.Get()), folderCount + 2);
        EXPECT_TRUE(assigned.pidl == original.pidl);
    }
    EXPECT_EQ(CountOf(original.folder.Get()), folderCount);
}

static_assert(std::is_nothrow_move_constructible_v<KivItem>);
static_assert(std::is_nothrow_move_assignable_v<KivItem>);

// Growth, sorts and swaps of a window's list move the items: every list stays where it was.
TEST(KivItemMoves, ListsAndReferencesChangeHandsWithoutCopies) {
    TempDir dir;
    for (const char* name : {"d.txt", "b.txt", "e.txt", "a.txt", "c.txt"})
        kivtest::WriteTextFile(dir / name, name);
    const KivItem parent = ItemOf(dir.Path());
    KivItemList items = ChildrenOf(parent, SHCONTF_NONFOLDERS);
    ASSERT_EQ(items.size(), 5u);
    std::set<LPITEMIDLIST> lists;
    for (const KivItem& item : items)
        lists.insert(item.pidl.Get());
    const ULONG folderCount = CountOf(parent.folder.Get());

    items.reserve(items.capacity() * 2 + 1);
    std::stable_sort(items.begin(), items.end(),
                     [](const KivItem& a, const KivItem& b) { return a.CompareIDs(b) < 0; });
    std::swap(items[0], items[4]);
    std::set<LPITEMIDLIST> after;
    for (const KivItem& item : items)
        after.insert(item.pidl.Get());
    EXPECT_EQ(after, lists) << "an item was copied instead of moved";
    EXPECT_EQ(CountOf(parent.folder.Get()), folderCount);
    EXPECT_EQ(items[4].parsingName, dir / "a.txt");

    KivItem moved(std::move(items[1]));
    EXPECT_EQ(moved.parsingName, dir / "b.txt");
    EXPECT_TRUE(items[1].pidl.IsNull());
    EXPECT_FALSE(items[1].parentFolder);
    EXPECT_EQ(items[1].type, KivItem::ItemNone);
    KivItem assigned;
    const LPITEMIDLIST list = moved.pidl.Get();
    assigned = std::move(moved);
    EXPECT_EQ(assigned.pidl.Get(), list);
    EXPECT_TRUE(moved.pidl.IsNull());
    EXPECT_EQ(CountOf(parent.folder.Get()), folderCount);
}

TEST(KivItemMoves, SetPathIdKeepsTheChildListItIsGiven) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "a.txt", "a");
    const KivItem parent = ItemOf(dir.Path());
    KivPidl child = KivPidl((dir / "a.txt").c_str()).GetLast();
    const LPITEMIDLIST list = child.Get();
    KivItem item;
    item.SetPathId(parent, std::move(child));
    EXPECT_EQ(item.relativePidl.Get(), list);
    EXPECT_EQ(item.parsingName, dir / "a.txt");
}

TEST(KivItemFailures, ListsBelowAPlainFile) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "file.txt", "x");
    kivtest::WriteTextFile(dir / "other.txt", "y");
    const KivPidl file((dir / "file.txt").c_str());
    const KivPidl child = KivPidl((dir / "other.txt").c_str()).GetLast();
    // The holder of an absolute list must be bound.
    EXPECT_EQ(kivtest::ThrownMessage<KivItemException>([&] {
                  KivItem item;
                  item.SetPathId(KivPidl::Concat(file, child));
              }),
              "Error KivItem::SetPathId");
    // Names given by the holder, but the shell cannot tell the attributes of such a list.
    kivtest::FakeShellFolder folder;
    folder.nameText = "name";
    KivItem parent;
    parent.folderPidl = file.Clone();
    parent.folder.Reset(&folder);
    folder.AddRef();
    EXPECT_EQ(kivtest::ThrownMessage<KivItemException>([&] {
                  KivItem item;
                  item.SetPathId(parent, child);
              }),
              "Error SHGetFileInfo");
    parent.folder.Release();
    EXPECT_EQ(folder.references, 1);
}

TEST(KivItemFailures, Messages) {
    kivtest::FakeShellFolder folder;
    KivItem item;
    item.parentFolder.Reset(&folder);
    folder.AddRef();
    item.folder = item.parentFolder;
    EXPECT_EQ(kivtest::ThrownMessage<KivItemException>([&] { item.GetContextMenu(nullptr); }),
              "Error IContextMenu");
    EXPECT_EQ(
        kivtest::ThrownMessage<KivItemException>([&] { item.InvokeDefault(nullptr, "C:\\"); }),
        "Error IContextMenu");
    folder.enumResult = E_FAIL;
    EXPECT_EQ(kivtest::ThrownMessage<KivItemException>(
                  [&] { item.GetEnumIDList(nullptr, SHCONTF_FOLDERS); }),
              "Error KivItem::GetEnumIDList");
    folder.enumResult = S_FALSE; // success without an enumerator
    EXPECT_FALSE(item.GetEnumIDList(nullptr, SHCONTF_FOLDERS));
    item.parentFolder.Release();
    item.folder.Release();
    EXPECT_EQ(folder.references, 1);
}

TEST(KivItemUIObjects, PlaceholdersWhenTheShellHasNone) {
    kivtest::FakeShellFolder folder; // GetUIObjectOf fails
    KivItem item;
    item.parentFolder.Reset(&folder);
    folder.AddRef();
    item.type = KivItem::ItemFile;
    {
        OleWrapper<IDataObject> data = item.GetDataObject(nullptr);
        ASSERT_TRUE(data);
        EXPECT_TRUE(IsPlaceholder<DummyDataObject>(data.Get()));
        EXPECT_EQ(CountOf(data.Get()), 1u);
        OleWrapper<IDropTarget> target = item.GetDropTarget(nullptr);
        ASSERT_TRUE(target);
        EXPECT_TRUE(IsPlaceholder<DummyDropTarget>(target.Get()));
        EXPECT_EQ(CountOf(target.Get()), 1u);
    }
    item.parentFolder.Release();
    EXPECT_EQ(folder.references, 1);
}

TEST_F(ShellFolderFixture, RealDataObjectCarriesTheFile) {
    kivtest::WriteTextFile(dir / "予定表.txt", "x");
    const KivItem item = ItemOf(dir / "予定表.txt");
    OleWrapper<IDataObject> data = item.GetDataObject(nullptr);
    ASSERT_TRUE(data);
    ASSERT_FALSE(IsPlaceholder<DummyDataObject>(data.Get()))
        << "the shell offered no data object for a plain file";
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&format, &medium), S_OK);
    char name[MAX_PATH];
    ASSERT_EQ(DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0), 1u);
    DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0, name, sizeof(name));
    ReleaseStgMedium(&medium);
    EXPECT_EQ(std::string(name), dir / "予定表.txt");
}

TEST_F(ShellFolderFixture, DropTargets) {
    kivtest::MakeDir(dir / "folder");
    const KivItem folderItem = ItemOf(dir / "folder");
    OleWrapper<IDropTarget> target = folderItem.GetDropTarget(nullptr);
    ASSERT_TRUE(target);
    EXPECT_FALSE(IsPlaceholder<DummyDropTarget>(target.Get()))
        << "a file-system folder takes drops through the shell's own target";

    // A shortcut to the desktop drops into the desktop's directory: the target handed out is
    // the same kind of object as that directory's own.
    KivPidl desktop(nullptr, CSIDL_DESKTOP);
    {
        IShellLinkA* link = nullptr;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IShellLinkA, reinterpret_cast<void**>(&link))));
        OleWrapper<IShellLinkA> holder(link);
        link->SetIDList(desktop.Get());
        OleWrapper<IPersistFile> file;
        ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid())));
        MultiByteToWideCharWrapper wide((dir / "desktop.lnk").c_str());
        ASSERT_TRUE(SUCCEEDED(file->Save(wide, TRUE)));
    }
    const KivItem desktopLink = ItemOf(dir / "desktop.lnk");
    if (desktopLink.type != KivItem::ItemFolderLink)
        GTEST_SKIP() << "this shell does not read a shortcut to the desktop as a folder (type "
                     << int(desktopLink.type) << ")";
    EXPECT_TRUE(desktopLink.folderPidl == desktop);
    OleWrapper<IDropTarget> desktopTarget = desktopLink.GetDropTarget(nullptr);
    ASSERT_TRUE(desktopTarget);
    KivItem desktopDirectory;
    desktopDirectory.SetPathId(KivPidl(nullptr, CSIDL_DESKTOPDIRECTORY));
    OleWrapper<IDropTarget> direct = desktopDirectory.GetDropTarget(nullptr);
    EXPECT_EQ(IsPlaceholder<DummyDropTarget>(desktopTarget.Get()),
              IsPlaceholder<DummyDropTarget>(direct.Get()));
}

TEST_F(ShellFolderFixture, Icons) {
    kivtest::WriteTextFile(dir / "a.txt", "a");
    kivtest::MakeDir(dir / "folder");
    const KivItem file = ItemOf(dir / "a.txt");
    const KivItem folder = ItemOf(dir / "folder");
    HIMAGELIST large = nullptr, small = nullptr;
    const int fileIcon = file.GetIconImage(large, false);
    const int smallFileIcon = file.GetIconImage(small, true);
    ASSERT_NE(large, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_NE(large, small);
    EXPECT_GE(fileIcon, 0);
    EXPECT_LT(fileIcon, ImageList_GetImageCount(large));
    EXPECT_EQ(fileIcon, smallFileIcon);
    int cx = 0, cy = 0, smallCx = 0, smallCy = 0;
    ImageList_GetIconSize(large, &cx, &cy);
    ImageList_GetIconSize(small, &smallCx, &smallCy);
    EXPECT_GT(cx, smallCx);
    HIMAGELIST folderList = nullptr;
    EXPECT_NE(folder.GetIconImage(folderList, false), fileIcon);
    EXPECT_EQ(folderList, large);

    const KivItem none;
    HIMAGELIST missing = reinterpret_cast<HIMAGELIST>(1);
    none.GetIconImage(missing, true);
    EXPECT_EQ(missing, nullptr);
}

TEST(ContextMenuWrapper, CallsGoToTheRichestInterface) {
    const struct {
        bool offer2, offer3;
        int queryLevel, handleLevel, handle2Level; // 0: not forwarded
    } cases[] = {
        {false, false, 1, 0, 0},
        {true, false, 2, 2, 0},
        {true, true, 3, 3, 3},
        // IContextMenu3 is asked for only when IContextMenu2 is there
        {false, true, 1, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.offer2) + "/" + std::to_string(c.offer3));
        std::vector<std::string> log;
        kivtest::FakeContextMenu m1(1, log), m2(2, log), m3(3, log);
        if (c.offer2)
            m1.level2 = &m2;
        if (c.offer3) {
            m1.level3 = &m3;
            m2.level3 = &m3;
        }
        {
            OleWrapper<IContextMenu> menu(&m1);
            m1.AddRef();
            ContextMenuWrapper wrapper;
            wrapper.SetContextMenu(menu);
            EXPECT_EQ(m1.references, 3); // the test, its holder, the wrapper
            EXPECT_EQ(bool(wrapper.contextMenu2), c.offer2);
            EXPECT_EQ(bool(wrapper.contextMenu3), c.offer2 && c.offer3);

            HMENU popup = CreatePopupMenu();
            EXPECT_EQ(wrapper.QueryContextMenu(popup, 0, 1, 65000, CMF_DEFAULTONLY), S_OK);
            DestroyMenu(popup);
            CMINVOKECOMMANDINFO info{};
            info.cbSize = sizeof(info);
            wrapper.InvokeCommand(&info);
            wrapper.HandleMenuMsg(WM_INITMENUPOPUP, 0, 0);
            LRESULT result = 5;
            EXPECT_EQ(wrapper.HandleMenuMsg2(WM_MENUCHAR, 0, 0, &result), S_OK);
            EXPECT_EQ(result, c.handle2Level ? 77 : 0);

            std::vector<std::string> expected = {
                std::to_string(c.queryLevel) +
                    ":QueryContextMenu:0:1:65000:" + std::to_string(CMF_DEFAULTONLY),
                std::to_string(c.queryLevel) + ":InvokeCommand"};
            if (c.handleLevel)
                expected.push_back(std::to_string(c.handleLevel) + ":HandleMenuMsg");
            if (c.handle2Level)
                expected.push_back(std::to_string(c.handle2Level) + ":HandleMenuMsg2");
            EXPECT_EQ(log, expected);

            // Setting a menu again first lets go of the old interfaces.
            wrapper.SetContextMenu(menu);
            EXPECT_EQ(m1.references, 3);
            wrapper.ReleaseAll();
            EXPECT_FALSE(wrapper.contextMenu);
            EXPECT_FALSE(wrapper.contextMenu2);
            EXPECT_FALSE(wrapper.contextMenu3);
            EXPECT_EQ(m2.references, 1);
            EXPECT_EQ(m3.references, 1);
        }
        EXPECT_EQ(m1.references, 1);
    }
    ContextMenuWrapper empty;
    EXPECT_EQ(empty.QueryContextMenu(nullptr, 0, 1, 2, 0), 0);
    EXPECT_EQ(empty.InvokeCommand(nullptr), 0);
    EXPECT_EQ(empty.HandleMenuMsg(0, 0, 0), 0);
    LRESULT result = 9;
    EXPECT_EQ(empty.HandleMenuMsg2(0, 0, 0, &result), 0);
    EXPECT_EQ(result, 0);
}

TEST(KivItemInvokeDefault, DefaultCommandIsInvokedByNumber) {
    std::vector<std::string> log;
    kivtest::FakeContextMenu menu(1, log);
    menu.defaultOffset = 4; // command id 5
    kivtest::FakeShellFolder folder;
    folder.uiObject = &menu;
    KivItem item;
    item.parentFolder.Reset(&folder);
    folder.AddRef();
    HWND owner = GetDesktopWindow();
    item.InvokeDefault(owner, "C:\\作業");
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], "1:InvokeCommand");
    EXPECT_EQ(menu.lastInvoke.cbSize, sizeof(CMINVOKECOMMANDINFO));
    EXPECT_EQ(menu.lastInvoke.fMask, 0u);
    EXPECT_EQ(menu.lastInvoke.hwnd, owner);
    EXPECT_EQ(reinterpret_cast<UINT_PTR>(menu.lastInvoke.lpVerb), 4u);
    EXPECT_EQ(menu.lastInvoke.lpParameters, nullptr);
    EXPECT_EQ(menu.lastDirectory, "C:\\作業");
    EXPECT_EQ(menu.lastInvoke.nShow, SW_SHOWNORMAL);
    item.parentFolder.Release();
    EXPECT_EQ(menu.references, 1);
    EXPECT_EQ(folder.references, 1);
}

TEST(KivItemInvokeDefault, WithoutADefaultTheShellOpensTheFolderOrTheItem) {
    TempDir dir;
    kivtest::MakeDir(dir / "item");
    kivtest::MakeDir(dir / "folder");
    const std::string probe = kivtest::BuiltProgram("shellprobe.exe");
    ASSERT_TRUE(CopyFileA(probe.c_str(), (dir / "item\\probe.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(probe.c_str(), (dir / "folder\\probe.exe").c_str(), FALSE));

    std::vector<std::string> log;
    kivtest::FakeContextMenu menu(1, log); // no default command
    kivtest::FakeShellFolder folder;
    folder.uiObject = &menu;
    KivItem item;
    item.parentFolder.Reset(&folder);
    folder.AddRef();
    item.pidl = KivPidl((dir / "item\\probe.exe").c_str());
    item.InvokeDefault(nullptr, dir.Path().c_str());
    EXPECT_TRUE(WaitForFile(dir / "item\\started.txt", 10000)) << "the item was not opened";
    EXPECT_EQ(log.size(), 1u) << "no command may be invoked without a default";

    // folderPidl, when present, is what gets opened.
    item.folderPidl = KivPidl((dir / "folder\\probe.exe").c_str());
    item.InvokeDefault(nullptr, dir.Path().c_str());
    EXPECT_TRUE(WaitForFile(dir / "folder\\started.txt", 10000)) << "folderPidl was not opened";
    item.parentFolder.Release();
    Sleep(500); // let the probes end before the folder goes
}

TEST(KivItemInvokeDefault, RealItemsLaunch) {
    TempDir dir;
    const std::string probe = dir / "probe.exe";
    ASSERT_TRUE(CopyFileA(kivtest::BuiltProgram("shellprobe.exe").c_str(), probe.c_str(), FALSE));
    const KivItem program = ItemOf(probe);
    EXPECT_EQ(program.type, KivItem::ItemFile);
    program.InvokeDefault(nullptr, dir.Path().c_str());
    EXPECT_TRUE(WaitForFile(dir / "started.txt", 10000)) << "the program did not start";

    const std::string marker = dir / "マーカー表.txt";
    kivtest::MakeShortcut(dir / "起動.lnk", probe, "marker \"" + marker + "\"");
    const KivItem link = ItemOf(dir / "起動.lnk");
    EXPECT_EQ(link.type, KivItem::ItemLink);
    link.InvokeDefault(nullptr, dir.Path().c_str());
    EXPECT_TRUE(WaitForFile(marker, 10000)) << "the shortcut did not start its program";
    Sleep(500);
}

TEST(KivItemLifetime, ThousandsOfItemsLeakNothing) {
    ASSERT_TRUE(kivtest::TaskAllocations::Install());
    TempDir dir;
    for (int i = 0; i < 8; ++i)
        kivtest::WriteTextFile(dir / ("f" + std::to_string(i) + ".txt"), "x");
    kivtest::MakeDir(dir / "sub");
    kivtest::MakeShortcut(dir / "sub.lnk", dir / "sub");
    kivtest::WriteTextFile(dir / "s.sep.kiv", "");
    const KivItem parent = ItemOf(dir.Path());
    const ULONG folderCount = CountOf(parent.folder.Get());

    kivtest::FakeShellFolder fake; // hands out placeholders
    auto round = [&] {
        KivItemList items = ChildrenOf(parent, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
        if (items.size() != 11u)
            ADD_FAILURE() << items.size() << " items";
        KivItemList copy = items;
        std::sort(copy.begin(), copy.end(),
                  [](const KivItem& l, const KivItem& r) { return l.CompareIDs(r) > 0; });
        for (KivItem& item : copy) {
            OleWrapper<IDataObject> data = item.GetDataObject(nullptr);
            OleWrapper<IDropTarget> target = item.GetDropTarget(nullptr);
            HIMAGELIST list = nullptr;
            item.GetIconImage(list, true);
            if (item.type == KivItem::ItemFolder || item.type == KivItem::ItemFolderLink)
                item.GetFolderIdName();
            KivItem placeholder = item;
            placeholder.parentFolder.Reset(&fake);
            fake.AddRef();
            placeholder.GetDataObject(nullptr);
            placeholder.GetDropTarget(nullptr);
        }
        items.erase(items.begin());
    };
    for (int i = 0; i < 10; ++i)
        round(); // the shell's own caches settle
    const long before = kivtest::TaskAllocations::Live();
    const long blocksBefore = liveBlocks;
    for (int i = 0; i < 300; ++i) // 3300 items, 6600 with the copies
        round();
    EXPECT_LE(kivtest::TaskAllocations::Live() - before, 10);
    EXPECT_EQ(liveBlocks - blocksBefore, 0) << "placeholders or item data were not freed";
    EXPECT_EQ(CountOf(parent.folder.Get()), folderCount);
    EXPECT_EQ(fake.references, 1);
}

TEST(KivItemLifetime, ShellObjectsAreTornDownSafelyAtExit) {
    // The probe uses lists and items between OleInitialize and OleUninitialize and keeps one list
    // in a static object that outlives the process-wide allocator and desktop folder.
    TempDir dir;
    kivtest::ChildProcess probe("\"" + kivtest::BuiltProgram("shellprobe.exe") + "\" teardown",
                                dir.Path());
    EXPECT_EQ(probe.Wait(20000), 0u);
}
