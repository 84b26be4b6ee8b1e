// The context menu of an icon window over real folders: the menu that BuildContextMenu fills, read
// back entry by entry; the popup shown by a right-button release; and each command's effect on
// real files, records, the frame window and the companion programs. The companions beside this
// test program are the stand-in that records its command line, under the three real names.
#include <gtest/gtest.h>

#include <shlobj.h>
#include <string>
#include <thread>
#include <vector>

#include "Companion.h"
#include "ContextMenu.h"
#include "KivFrameWindow.h"
#include "NMenu.h"
#include "PathUtility.h"
#include "WindowFixture.h"

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

// One menu entry as the menu itself holds it.
struct MenuLine {
    bool separator = false;
    UINT id = 0;
    std::string text;
    bool hasSubMenu = false;
    std::vector<MenuLine> sub;
};

std::vector<MenuLine> ReadMenu(HMENU menu) {
    std::vector<MenuLine> lines;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[512] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof(text) - 1;
        EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info));
        MenuLine line;
        line.separator = (info.fType & MFT_SEPARATOR) != 0;
        line.id = info.wID;
        line.hasSubMenu = info.hSubMenu != nullptr;
        if (!(info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW | MFT_BITMAP)))
            line.text = text;
        if (info.hSubMenu)
            line.sub = ReadMenu(info.hSubMenu);
        lines.push_back(std::move(line));
    }
    return lines;
}

// Expected entries of the program's part: a command, a line, or a sub-menu with its commands.
struct Want {
    UINT id;
    const char* text; // null for a separator line
    std::vector<Want> sub;
};

const Want line{0, nullptr, {}};
const std::vector<Want> moves = {
    {65014, "先頭へ", {}}, {65015, "１つ前へ", {}}, {65016, "１つ後へ", {}}, {65017, "最後へ", {}}};
const std::vector<Want> backgroundPart = {
    {65001, "ウィンドウのプロパティ", {}},
    {0,
     "新規作成",
     {{65005, "ショートカット", {}},
      {65006, "フォルダ", {}},
      {65008, "デスクトップ", {}},
      {65007, "セパレーター", {}},
      {65009, "トップウィンドウ", {}}}},
    {0,
     "その他",
     {{65012, "デフォルトのプロパティ", {}},
      line,
      {65002, "ＫＩＶの終了", {}},
      line,
      {65003, "ヘルプ", {}},
      {65004, "バージョン情報", {}}}},
};

std::vector<Want> Join(std::vector<Want> first, const std::vector<Want>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

const std::vector<Want> itemPart = {{65010, "名前の変更...", {}}, {0, "アイコンの移動", moves}};
const std::vector<Want> folderItemPart = Join(itemPart, {{65011, "ウィンドウのプロパティ", {}}});
const std::vector<Want> separatorPart =
    Join({{65013, "セパレーターの削除", {}}, {0, "セパレーターの移動", moves}}, backgroundPart);

void ExpectLines(const std::vector<MenuLine>& lines, size_t from, const std::vector<Want>& want) {
    ASSERT_EQ(lines.size() - from, want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        const MenuLine& got = lines[from + i];
        SCOPED_TRACE(testing::Message() << "entry " << i);
        if (!want[i].text) {
            EXPECT_TRUE(got.separator);
            continue;
        }
        EXPECT_FALSE(got.separator);
        EXPECT_EQ(got.text, want[i].text);
        if (want[i].sub.empty()) {
            EXPECT_EQ(got.id, want[i].id);
            EXPECT_FALSE(got.hasSubMenu);
        } else {
            EXPECT_TRUE(got.hasSubMenu);
            ExpectLines(got.sub, 0, want[i].sub);
        }
    }
}

// Every command of the shell's part lies in 1 to 65000.
void ExpectShellIds(const std::vector<MenuLine>& lines, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (lines[i].separator)
            continue;
        if (lines[i].hasSubMenu) {
            ExpectShellIds(lines[i].sub, lines[i].sub.size());
            continue;
        }
        EXPECT_GE(lines[i].id, 1u) << lines[i].text;
        EXPECT_LE(lines[i].id, 65000u) << lines[i].text;
    }
}

// A window whose menu state the tests may set and read.
class MenuWindow : public kivtest::OpenKivWindow {
public:
    using OpenKivWindow::OpenKivWindow;
    void SetMenuTarget(int index, POINT point) {
        menuIndex = index;
        menuPoint = point;
    }
    POINT MenuPoint() const { return menuPoint; }
    int MenuIndex() const { return menuIndex; }
    ContextMenuWrapper& ShellMenu() { return contextMenu; }
};

// A real frame window as the application's main window, and the icon window owned by it.
class ContextMenuFixture : public kivtest::IconWindowFixture {
protected:
    HANDLE closeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    std::string dataPath = data.Path();
    std::unique_ptr<KivFrameWindow> frame;

    void SetUp() override {
        frame = std::make_unique<KivFrameWindow>(&app, closeEvent, dataPath.c_str());
        app.mainWindow = frame.get();
        frame->CreateWindow();
        DrainFrameMessages();
    }
    void TearDown() override {
        frame.reset();
        app.mainWindow = nullptr;
        CloseHandle(closeEvent);
        // A destroyed frame posts WM_QUIT; it must not reach the next test's loops.
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    std::unique_ptr<MenuWindow> MakeMenuWindow() {
        auto w = std::make_unique<MenuWindow>(frame.get(), dataPath.c_str(), FolderItem());
        w->LoadItems(KivWindow::neverAbort);
        w->Layout();
        w->CreateWindow();
        return w;
    }

    int IndexOf(const KivWindow& w, const std::string& name) {
        for (size_t i = 0; i < w.GetItems().size(); ++i)
            if (w.GetItems()[i].displayName == name)
                return static_cast<int>(i);
        ADD_FAILURE() << name << " is not shown";
        return -1;
    }

    // The number of UM_HIDEALL messages waiting for the frame, taken out of its queue.
    int TakeHideAll() {
        int count = 0;
        MSG message;
        while (PeekMessageA(&message, frame->GetHandle(), UM_HIDEALL, UM_HIDEALL, PM_REMOVE))
            ++count;
        return count;
    }
    void DrainFrameMessages() { TakeHideAll(); }

    std::vector<MenuLine> MenuFor(MenuWindow& w, int index) {
        NPopupMenu menu;
        w.BuildContextMenu(menu, index);
        return ReadMenu(menu.GetHandle());
    }

    // The shell's part ends with exactly one line before the program's part of size n.
    void ExpectShellPartThenLine(const std::vector<MenuLine>& lines, size_t programCount) {
        ASSERT_GT(lines.size(), programCount + 1) << "the shell added nothing";
        const size_t lineAt = lines.size() - programCount - 1;
        EXPECT_TRUE(lines[lineAt].separator);
        EXPECT_FALSE(lines[lineAt - 1].separator) << "two lines before the program's entries";
        ExpectShellIds(lines, lineAt);
    }
};

using ContextMenu = ContextMenuFixture;

} // namespace

TEST(ContextMenuPlan, MoveInsertIndexes) {
    struct Case {
        UINT command;
        int index, count, insert;
    } cases[] = {
        {65014, 2, 4, 0},  {65015, 2, 4, 1}, {65016, 2, 4, 4},  {65017, 2, 4, 4},
        {65015, 0, 4, -1}, {65016, 3, 4, 5}, {65010, 1, 4, -1}, {65001, 1, 4, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KivMenu::MoveInsertIndex(c.command, c.index, c.count), c.insert)
            << c.command << " " << c.index;
}

TEST(ContextMenuPlan, TargetsOfTheItemTypes) {
    using KivMenu::Target;
    struct Case {
        bool hasItem;
        unsigned char type;
        Target target;
    } cases[] = {
        {false, 1, Target::Background}, {true, 1, Target::Item},       {true, 2, Target::Item},
        {true, 3, Target::FolderItem},  {true, 4, Target::FolderItem}, {true, 5, Target::Item},
        {true, 6, Target::FolderItem},  {true, 7, Target::Separator},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KivMenu::TargetOf(c.hasItem, c.type), c.target) << int(c.type);
}

TEST_F(ContextMenu, EachTargetGetsTheShellEntriesThenOneLineThenTheProgramsEntries) {
    MakeFiles({"memo.txt", "line.sep.kiv"});
    kivtest::MakeDir(folder / "sub");
    auto w = MakeMenuWindow();
    struct Case {
        const char* name; // null: the background
        const std::vector<Want>* part;
    } cases[] = {
        {"memo.txt", &itemPart},
        {"sub", &folderItemPart},
        {"line.sep.kiv", &separatorPart},
        {nullptr, &backgroundPart},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(background)");
        const int index = c.name ? IndexOf(*w, c.name) : -1;
        const std::vector<MenuLine> lines = MenuFor(*w, index);
        ExpectShellPartThenLine(lines, c.part->size());
        ExpectLines(lines, lines.size() - c.part->size(), *c.part);
    }
}

TEST_F(ContextMenu, SeparatorAndBackgroundMenusCarryTheFoldersShellEntries) {
    MakeFiles({"memo.txt", "line.sep.kiv"});
    auto w = MakeMenuWindow();
    auto shellPart = [&](int index, size_t programCount) {
        std::vector<MenuLine> lines = MenuFor(*w, index);
        lines.resize(lines.size() - programCount - 1);
        std::vector<std::string> texts;
        for (const MenuLine& l : lines)
            texts.push_back(l.separator ? "-" : l.text);
        return texts;
    };
    const auto onSeparator = shellPart(IndexOf(*w, "line.sep.kiv"), separatorPart.size());
    const auto onBackground = shellPart(-1, backgroundPart.size());
    EXPECT_EQ(onSeparator, onBackground);
}

TEST_F(ContextMenu, WithoutAShellMenuTheProgramsEntriesComeFirstAndNoLine) {
    MakeFiles({"memo.txt"});
    auto w = MakeMenuWindow();
    ASSERT_EQ(w->GetItems().size(), 1u);
    // An object whose folder offers no context menu: the shell adds nothing.
    w->Items()[0].parentFolder.Release();
    const std::vector<MenuLine> lines = MenuFor(*w, 0);
    ExpectLines(lines, 0, itemPart);
}

TEST_F(ContextMenu, AnItemThatIsNotSetUpHasAnEmptyMenu) {
    MakeFiles({"memo.txt"});
    auto w = MakeMenuWindow();
    w->Items()[0].type = KivItem::ItemNone;
    EXPECT_TRUE(MenuFor(*w, 0).empty());
}

namespace {

// What a timer saw inside the modal loop of the popup menu, before it closed the menu.
struct InsideMenu {
    bool seen = false;
    std::vector<MenuLine> lines;
    DWORD holdFlags = 0;
    bool reloadStillPending = false;
    size_t topWindowsAfterCheck = 0;
};
InsideMenu* insideMenu = nullptr;
KivFrameWindow* insideFrame = nullptr;

void CALLBACK LookIntoMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !insideMenu || insideMenu->seen)
        return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
    if (!menu)
        return;
    KillTimer(nullptr, timer);
    insideMenu->seen = true;
    insideMenu->lines = ReadMenu(menu);
    insideMenu->holdFlags = insideFrame->GetHoldFlags();
    // The periodic work while the menu is open: no rebuild.
    insideFrame->CheckState();
    insideMenu->reloadStillPending = insideFrame->IsReloadPending();
    insideMenu->topWindowsAfterCheck = insideFrame->GetTopWindows().size();
    EndMenu();
}

} // namespace

TEST_F(ContextMenu, RightButtonReleaseShowsTheMenuAndHoldsTheFrameMeanwhile) {
    MakeFiles({"memo.txt"});
    kivtest::MakeDir(dataPath + "\\TopWindow1");
    auto w = MakeMenuWindow();
    const int index = IndexOf(*w, "memo.txt");
    const POINT at{w->GetItems()[index].x + 3, w->GetItems()[index].y + 4};
    struct Case {
        WPARAM keys;
        const std::vector<Want>* part;
        int menuIndex;
    } cases[] = {
        {0, &itemPart, index},
        {MK_SHIFT, &itemPart, index},
        {MK_CONTROL, &itemPart, index},
        // Ctrl+Shift over an icon gives the background menu.
        {MK_CONTROL | MK_SHIFT, &backgroundPart, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "keys " << c.keys);
        InsideMenu seen;
        insideMenu = &seen;
        insideFrame = frame.get();
        ASSERT_TRUE(frame->IsReloadPending());
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, LookIntoMenu);
        w->OnItemRButtonUp(c.keys, at, index);
        KillTimer(nullptr, timer);
        insideMenu = nullptr;
        ASSERT_TRUE(seen.seen) << "no menu was shown";
        ExpectShellPartThenLine(seen.lines, c.part->size());
        ExpectLines(seen.lines, seen.lines.size() - c.part->size(), *c.part);
        EXPECT_EQ(seen.holdFlags & KivFrameWindow::HoldMenuLoop, KivFrameWindow::HoldMenuLoop);
        EXPECT_TRUE(seen.reloadStillPending);
        EXPECT_EQ(seen.topWindowsAfterCheck, 0u);
        EXPECT_EQ(frame->GetHoldFlags() & KivFrameWindow::HoldMenuLoop, 0u);
        EXPECT_EQ(w->MenuPoint().x, at.x);
        EXPECT_EQ(w->MenuPoint().y, at.y);
        EXPECT_EQ(w->MenuIndex(), c.menuIndex);
        // A dismissed menu runs no command.
        EXPECT_EQ(TakeHideAll(), 0);
    }
}

namespace {

using NameList = std::vector<std::string>;

// The point just inside the cell of item index: a new item reserved there goes after it.
POINT InsideCellOf(const KivWindow& w, int index) {
    const KivItem& item = w.GetItems()[static_cast<size_t>(index)];
    return POINT{item.x + 1, item.y + 1};
}

DWORD FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0xFFFFFFFF;
    return data.nFileSizeLow;
}

} // namespace

TEST_F(ContextMenu, NewSeparatorLandsAtThePointWithARecordAndTheSecondIsNumbered) {
    MakeFiles({"a", "b", "c", "d"});
    auto w = MakeMenuWindow();
    w->SaveIconOrder(); // the folder has an icon-order record
    w->SetMenuTarget(-1, InsideCellOf(*w, 1));
    w->OnCommand(65007, 0);
    EXPECT_EQ(TakeHideAll(), 1);
    const std::string first = folder / "KIV Separator.sep.kiv";
    ASSERT_TRUE(kivtest::Exists(first));
    EXPECT_EQ(FileSize(first), 0u);
    EXPECT_NE(GetFileAttributesA(first.c_str()) & FILE_ATTRIBUTE_ARCHIVE, 0u);
    EXPECT_EQ(StoredOrder(), (NameList{"a", "b", "KIV Separator.sep.kiv", "c", "d"}));
    // Not laid out again: the window shows the new item only when it is built anew.
    EXPECT_EQ(w->GetItems().size(), 4u);

    auto rebuilt = MakeMenuWindow();
    EXPECT_EQ(Names(*rebuilt), (NameList{"a", "b", "KIV Separator.sep.kiv", "c", "d"}));
    EXPECT_EQ(rebuilt->GetItems()[2].type, KivItem::ItemSeparator);

    // The second one, at the start.
    rebuilt->SetMenuTarget(-1, POINT{0, 0});
    rebuilt->OnCommand(65007, 0);
    EXPECT_EQ(TakeHideAll(), 1);
    EXPECT_TRUE(kivtest::Exists(folder / "KIV Separator(2).sep.kiv"));
    EXPECT_EQ(StoredOrder(),
              (NameList{"KIV Separator(2).sep.kiv", "a", "b", "KIV Separator.sep.kiv", "c", "d"}));
}

TEST_F(ContextMenu, NewSeparatorWithoutARecordTakesItsSortedPlace) {
    MakeFiles({"a", "z"});
    auto w = MakeMenuWindow();
    w->SetMenuTarget(-1, InsideCellOf(*w, 1));
    w->OnCommand(65007, 0);
    EXPECT_EQ(TakeHideAll(), 1);
    EXPECT_TRUE(kivtest::Exists(folder / "KIV Separator.sep.kiv"));
    EXPECT_FALSE(HasStoredOrder());
    auto rebuilt = MakeMenuWindow();
    EXPECT_EQ(Names(*rebuilt), (NameList{"a", "KIV Separator.sep.kiv", "z"}));
}

TEST_F(ContextMenu, DeletingASeparatorRemovesOnlyASeparatorFile) {
    MakeFiles({"a", "line.sep.kiv"});
    auto w = MakeMenuWindow();
    // On an item that is no separator the command deletes nothing.
    w->SetMenuTarget(IndexOf(*w, "a"), POINT{0, 0});
    w->OnCommand(65013, 0);
    EXPECT_EQ(TakeHideAll(), 1);
    EXPECT_TRUE(kivtest::Exists(folder / "a"));

    w->SetMenuTarget(IndexOf(*w, "line.sep.kiv"), POINT{0, 0});
    w->OnCommand(65013, 0);
    EXPECT_EQ(TakeHideAll(), 1);
    EXPECT_FALSE(kivtest::Exists(folder / "line.sep.kiv"));
    EXPECT_TRUE(kivtest::Exists(folder / "a"));
    // Already gone: nothing is shown, the windows still hide.
    w->OnCommand(65013, 0);
    EXPECT_EQ(TakeHideAll(), 1);
}

TEST_F(ContextMenu, MoveCommandsStoreTheOrderClampedAtBothEnds) {
    MakeFiles({"a", "b", "c", "d"});
    struct Case {
        UINT command;
        const char* item;
        NameList order;
    } cases[] = {
        {65014, "c", {"c", "a", "b", "d"}}, {65015, "c", {"a", "c", "b", "d"}},
        {65016, "b", {"a", "c", "b", "d"}}, {65017, "b", {"a", "c", "d", "b"}},
        {65015, "a", {"a", "b", "c", "d"}}, {65016, "d", {"a", "b", "c", "d"}},
        {65014, "a", {"a", "b", "c", "d"}}, {65017, "d", {"a", "b", "c", "d"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.command << " on " << c.item);
        kivtest::RemoveTree(data.Path());
        kivtest::MakeDir(data.Path());
        auto w = MakeMenuWindow();
        w->SetMenuTarget(IndexOf(*w, c.item), POINT{0, 0});
        w->OnCommand(static_cast<WORD>(c.command), 0);
        EXPECT_EQ(TakeHideAll(), 1);
        EXPECT_EQ(StoredOrder(), c.order);
        EXPECT_EQ(Names(*w), c.order);
        EXPECT_EQ(Names(*MakeMenuWindow()), c.order);
    }
}

TEST_F(ContextMenu, DesktopShortcutIsAWorkingLinkReservedAtThePoint) {
    MakeFiles({"a", "b", "c"});
    auto w = MakeMenuWindow();
    w->SaveIconOrder();
    w->SetMenuTarget(-1, InsideCellOf(*w, 0));
    w->OnCommand(65008, 0);
    EXPECT_EQ(TakeHideAll(), 1);
    const std::string path = folder / "デスクトップへのショートカット.lnk";
    ASSERT_TRUE(kivtest::Exists(path));
    KivItem link;
    link.SetPathId(KivPidl(path.c_str()));
    EXPECT_EQ(link.type, KivItem::ItemFolderLink);
    EXPECT_TRUE(link.folderPidl == KivPidl(nullptr, CSIDL_DESKTOP));
    auto rebuilt = MakeMenuWindow();
    EXPECT_EQ(Names(*rebuilt)[1], link.displayName);
    EXPECT_EQ(StoredOrder()[1], "デスクトップへのショートカット.lnk");
}

TEST_F(ContextMenu, NewTopWindowCreatesTheNextTopWindowFolder) {
    auto w = MakeMenuWindow();
    w->OnCommand(65009, 0);
    EXPECT_EQ(TakeHideAll(), 1);
    EXPECT_EQ(GetPathType((dataPath + "\\TopWindow1").c_str()), PathFolder);
}

TEST_F(ContextMenu, ExitDestroysTheFrameAndPostsNothing) {
    auto w = MakeMenuWindow();
    HWND frameWindow = frame->GetHandle();
    w->OnCommand(65002, 0);
    EXPECT_FALSE(IsWindow(frameWindow));
    // Everything waiting in the queue: the loop is told to end, and nothing hides.
    bool quit = false, hide = false;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        quit = quit || message.message == WM_QUIT;
        hide = hide || message.message == UM_HIDEALL;
    }
    EXPECT_TRUE(quit);
    EXPECT_FALSE(hide);
}

TEST_F(ContextMenu, OtherIdsDoNothing) {
    MakeFiles({"a"});
    auto w = MakeMenuWindow();
    w->SetMenuTarget(0, POINT{0, 0});
    for (WORD id : {WORD(0), WORD(65018), WORD(65535)}) {
        w->OnCommand(id, 0);
        EXPECT_EQ(TakeHideAll(), 0) << id;
    }
    EXPECT_TRUE(IsWindow(frame->GetHandle()));
}

TEST_F(ContextMenu, HelpWithoutAHelpFileWarnsAndTheProgramGoesOn) {
    auto w = MakeMenuWindow();
    std::string text;
    bool closed = false;
    std::thread answer([&] {
        HWND box = kivtest::WaitForWindow(GetCurrentProcessId(), "KIV - ヘルプ", 30000);
        if (!box)
            return;
        text = kivtest::MessageBoxText(box);
        closed = kivtest::CloseMessageBox(box);
    });
    w->OnCommand(65003, 0);
    answer.join();
    EXPECT_EQ(text, "ヘルプファイルを開くことができませんでした。");
    EXPECT_TRUE(closed);
    EXPECT_EQ(TakeHideAll(), 1);
    EXPECT_TRUE(IsWindow(frame->GetHandle()));
    EXPECT_FALSE(app.HasPendingException());
}

TEST_F(ContextMenu, ShellCommandRunsThroughTheShellMenuAndHides) {
    MakeFiles({"memo.txt"});
    auto w = MakeMenuWindow();
    const int index = IndexOf(*w, "memo.txt");
    w->SetMenuTarget(index, POINT{0, 0});
    NPopupMenu menu;
    w->BuildContextMenu(menu, index);
    // The shell's "copy" entry, found by its verb.
    UINT copyId = 0;
    for (const MenuLine& l : ReadMenu(menu.GetHandle())) {
        if (l.separator || l.hasSubMenu || l.id < 1 || l.id > 65000)
            continue;
        char verb[64] = {};
        if (SUCCEEDED(w->ShellMenu().contextMenu->GetCommandString(l.id - 1, GCS_VERBA, nullptr,
                                                                   verb, sizeof(verb))) &&
            std::string(verb) == "copy")
            copyId = l.id;
    }
    if (!copyId)
        GTEST_SKIP() << "this shell offers no copy verb";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    w->OnCommand(static_cast<WORD>(copyId), 0);
    EXPECT_EQ(TakeHideAll(), 1);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP)) << "the copy verb did not run";
}

TEST_F(ContextMenu, ANewItemInAFolderThatIsGoneFailsSilentlyAndStillHides) {
    MakeFiles({"a"});
    auto w = MakeMenuWindow();
    w->SaveIconOrder();
    kivtest::RemoveTree(folder.Path());
    for (WORD id : {WORD(65007), WORD(65008), WORD(65006)}) {
        w->SetMenuTarget(-1, POINT{0, 0});
        w->OnCommand(id, 0);
        EXPECT_EQ(TakeHideAll(), 1) << id;
        EXPECT_FALSE(kivtest::Exists(folder.Path())) << id;
    }
    EXPECT_TRUE(IsWindow(frame->GetHandle()));
}

namespace {

// The stand-in companion's record: its command line, read once it is complete.
std::string WaitForCommandLine(const std::string& out, DWORD milliseconds = 20000) {
    const DWORD start = GetTickCount();
    for (;;) {
        try {
            if (kivtest::Exists(out)) {
                const std::string text = kivtest::ReadTextFile(out);
                return text.substr(0, text.find('\n'));
            }
        } catch (const std::runtime_error&) {
        }
        if (GetTickCount() - start > milliseconds)
            return "(not started)";
        Sleep(50);
    }
}

} // namespace

TEST_F(ContextMenu, CompanionCommandsStartTheProgramsWithTheirCommandLines) {
    MakeFiles({"memo file.txt"});
    kivtest::MakeDir(folder / "sub dir");
    auto w = MakeMenuWindow();
    const KivItem& own = w->GetFolderItem();
    const int memo = IndexOf(*w, "memo file.txt");
    const int sub = IndexOf(*w, "sub dir");
    const KivItem& subItem = w->GetItems()[static_cast<size_t>(sub)];
    struct Case {
        WORD id;
        int index;
        std::vector<std::string> texts;
    } cases[] = {
        {65001,
         -1,
         {"KivProp.kxe", "/QpuvaoTgduauaz5579", dataPath, own.folderPath, own.GetFolderIdName()}},
        {65011,
         sub,
         {"KivProp.kxe", "/QpuvaoTgduauaz5579", dataPath, subItem.folderPath,
          subItem.GetFolderIdName()}},
        {65012, -1, {"KivProp.kxe", "/QpuvaoTgduauaz5579", dataPath, "Default", "デフォルト"}},
        {65010,
         memo,
         {"KivRen.kxe", "/HriSywjfw7747", dataPath,
          w->GetItems()[static_cast<size_t>(memo)].parsingName}},
        {65004, -1, {"KivAbout.kxe", "/SyjFetpu9861"}},
    };
    kivtest::TempDir scratch("kivmenuprobe");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const std::string out = scratch / (std::to_string(c.id) + ".txt");
        SetEnvironmentVariableA("KIV_CMDPROBE_OUT", out.c_str());
        w->SetMenuTarget(c.index, POINT{0, 0});
        w->OnCommand(c.id, 0);
        EXPECT_EQ(TakeHideAll(), 1);
        EXPECT_EQ(WaitForCommandLine(out), BuildCommandLine(c.texts));
    }
    SetEnvironmentVariableA("KIV_CMDPROBE_OUT", nullptr);
    EXPECT_EQ(subItem.displayName, "sub dir");
}

TEST_F(ContextMenu, NewFolderIsCreatedReservedAndHandedToTheRenameProgram) {
    MakeFiles({"a", "b"});
    auto w = MakeMenuWindow();
    w->SaveIconOrder();
    kivtest::TempDir scratch("kivmenuprobe");
    const std::string out = scratch / "rename.txt";
    SetEnvironmentVariableA("KIV_CMDPROBE_OUT", out.c_str());
    w->SetMenuTarget(-1, InsideCellOf(*w, 0));
    w->OnCommand(65006, 0);
    EXPECT_EQ(TakeHideAll(), 1);
    const std::string created = folder / "新しいフォルダ";
    EXPECT_EQ(GetPathType(created.c_str()), PathFolder);
    EXPECT_EQ(WaitForCommandLine(out),
              BuildCommandLine({"KivRen.kxe", "/HriSywjfw7747", dataPath, created + "."}));
    SetEnvironmentVariableA("KIV_CMDPROBE_OUT", nullptr);
    // The reserved place holds the new folder when the window is built again.
    EXPECT_EQ(Names(*MakeMenuWindow()), (NameList{"a", "新しいフォルダ", "b"}));

    // A second new folder takes the next name of the series.
    w->SetMenuTarget(-1, POINT{0, 0});
    SetEnvironmentVariableA("KIV_CMDPROBE_OUT", (scratch / "second.txt").c_str());
    w->OnCommand(65006, 0);
    SetEnvironmentVariableA("KIV_CMDPROBE_OUT", nullptr);
    EXPECT_EQ(GetPathType((folder / "新しいフォルダ(2)").c_str()), PathFolder);
    TakeHideAll();
}

namespace {

// A shell menu that counts the menu messages handed to it.
class CountingMenu : public IContextMenu3 {
public:
    int handled = 0;
    int handled2 = 0;
    UINT lastMessage = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IContextMenu || iid == IID_IContextMenu2 ||
            iid == IID_IContextMenu3) {
            *out = static_cast<IContextMenu3*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) override { return 0; }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT message, WPARAM, LPARAM) override {
        ++handled;
        lastMessage = message;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg2(UINT message, WPARAM, LPARAM,
                                             LRESULT* result) override {
        ++handled2;
        lastMessage = message;
        if (result)
            *result = MAKELRESULT(3, MNC_EXECUTE);
        return S_OK;
    }
    ULONG references = 1;
};

} // namespace

TEST_F(ContextMenu, MenuMessagesOfTheWindowReachTheShellMenu) {
    auto w = MakeMenuWindow();
    CountingMenu shell;
    shell.AddRef();
    w->ShellMenu().SetContextMenu(OleWrapper<IContextMenu>(&shell));
    HWND window = w->GetHandle();
    HMENU popup = CreatePopupMenu();
    int expected = 0;
    for (UINT message : {UINT(WM_INITMENUPOPUP), UINT(WM_MEASUREITEM), UINT(WM_DRAWITEM)}) {
        MEASUREITEMSTRUCT measure{};
        DRAWITEMSTRUCT draw{};
        const LPARAM lParam = message == WM_MEASUREITEM ? reinterpret_cast<LPARAM>(&measure)
                              : message == WM_DRAWITEM  ? reinterpret_cast<LPARAM>(&draw)
                                                        : 0;
        const WPARAM wParam = message == WM_INITMENUPOPUP ? reinterpret_cast<WPARAM>(popup) : 0;
        EXPECT_EQ(SendMessageA(window, message, wParam, lParam), 0);
        EXPECT_EQ(shell.handled, ++expected);
        EXPECT_EQ(shell.lastMessage, message);
    }
    EXPECT_EQ(SendMessageA(window, WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP),
                           reinterpret_cast<LPARAM>(popup)),
              MAKELRESULT(3, MNC_EXECUTE));
    EXPECT_EQ(shell.handled2, 1);
    DestroyMenu(popup);
    w->ShellMenu().ReleaseAll();
    EXPECT_EQ(shell.references, 1u);
}
