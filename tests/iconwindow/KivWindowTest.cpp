// KivWindow over real folders: loading, the order operations and their records, the insertion
// index, and a load that the cursor interrupts.
#include <gtest/gtest.h>

#include <climits>

#include "WindowFixture.h"

using kivtest::IconWindowFixture;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

using NameList = std::vector<std::string>;

class IconWindow : public IconWindowFixture {};

TEST_F(IconWindow, LoadsTheFolderInShellOrderWithSeparators) {
    MakeFiles({"c", "a", "b", "line.sep.kiv"});
    kivtest::MakeDir(folder / "sub");
    auto w = MakeWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    ASSERT_EQ(w->GetItems().size(), 5u);
    EXPECT_FALSE(w->IsLoadInterrupted());
    int separators = 0, folders = 0;
    for (const KivItem& item : w->GetItems()) {
        separators += item.type == KivItem::ItemSeparator;
        folders += item.type == KivItem::ItemFolder;
        EXPECT_NE(item.x, -1) << item.displayName << " has no cell";
    }
    EXPECT_EQ(separators, 1);
    EXPECT_EQ(folders, 1);
    EXPECT_GT(w->GetClientSize().cx, 0);
    EXPECT_GT(w->GetClientSize().cy, 0);
    // No record is made by loading alone.
    EXPECT_FALSE(HasStoredOrder());
}

TEST_F(IconWindow, FolderOnlyAndHiddenFilesFollowTheRecord) {
    MakeFiles({"shown", "hidden"});
    SetFileAttributesA((folder / "hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    kivtest::MakeDir(folder / "sub");
    struct Case {
        bool folderOnly, showHidden;
        size_t count;
    } cases[] = {{false, false, 2}, {false, true, 3}, {true, false, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.folderOnly << c.showHidden);
        SetProperty([&](KivWinProperty& p) {
            p.FolderOnly = c.folderOnly;
            p.ShowHiddenFile = c.showHidden;
        });
        auto w = MakeWindow();
        w->LoadAndLayout(KivWindow::neverAbort);
        EXPECT_EQ(w->GetItems().size(), c.count);
    }
}

TEST_F(IconWindow, CursorOutsideTheRectangleStopsTheLoadBeforeTheFirstItem) {
    MakeFiles({"a", "b"});
    auto w = MakeWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    ASSERT_EQ(w->GetItems().size(), 2u);
    ASSERT_NE(w->GetToolTip(), nullptr);
    NToolTip* toolTipBefore = w->GetToolTip();
    const SIZE cellBefore = w->GetCellSize();

    // A rectangle far away from wherever the cursor is.
    const RECT away{INT_MAX - 10, INT_MAX - 10, INT_MAX - 5, INT_MAX - 5};
    EXPECT_FALSE(w->LoadItems(away));
    EXPECT_TRUE(w->GetItems().empty());
    EXPECT_TRUE(w->IsLoadInterrupted());
    EXPECT_EQ(w->GetClientSize().cx, 0);
    EXPECT_EQ(w->GetClientSize().cy, 0);

    // Through LoadAndLayout the layout does not run: cells and tooltips stay as they were.
    w->LoadAndLayout(away);
    EXPECT_TRUE(w->GetItems().empty());
    EXPECT_EQ(w->GetClientSize().cx, 0);
    EXPECT_EQ(w->GetCellSize().cx, cellBefore.cx);
    EXPECT_EQ(w->GetToolTip(), toolTipBefore);

    // The corners of the rectangle may come in any order; a full load clears the flag.
    EXPECT_TRUE(w->LoadItems(RECT{INT_MAX, INT_MAX, INT_MIN, INT_MIN}));
    EXPECT_FALSE(w->IsLoadInterrupted());
    EXPECT_EQ(w->GetItems().size(), 2u);
}

TEST_F(IconWindow, AFolderThatCannotBeListedShowsEmpty) {
    MakeFiles({"a"});
    KivItem shown = FolderItem();
    auto w = std::make_unique<kivtest::OpenKivWindow>(&owner, data.Path().c_str(), shown);
    kivtest::RemoveTree(folder.Path());
    w->LoadAndLayout(KivWindow::neverAbort);
    EXPECT_TRUE(w->GetItems().empty());
    // One empty cell with the window border.
    EXPECT_GT(w->GetClientSize().cx, 0);
    EXPECT_GT(w->GetClientSize().cy, 0);
}

TEST_F(IconWindow, InsertIndexIsAfterTheNearestItemAboveAndLeft) {
    MakeFiles({"a", "b", "c", "d"});
    auto w = MakeWindow();
    w->LoadItems(KivWindow::neverAbort);
    auto& items = w->Items();
    ASSERT_EQ(items.size(), 4u);
    // Positions set by hand: a 2 x 2 grid, the last item without a cell.
    const POINT positions[] = {{10, 10}, {50, 10}, {10, 50}, {-1, -1}};
    for (size_t i = 0; i < 4; ++i) {
        items[i].x = positions[i].x;
        items[i].y = positions[i].y;
    }
    struct Case {
        POINT p;
        int expected;
    } cases[] = {
        {{5, 5}, 4},   // only the unplaced item (-1, -1) lies above and left
        {{0, 0}, 4},   // (-1, -1) still counts
        {{-1, -1}, 0}, // strictly: nothing is above and left of (-1, -1)
        {{11, 11}, 1}, // just inside a: after a
        {{10, 10}, 4}, // on a's corner: a is not strictly above-left
        {{55, 15}, 2}, // after b
        {{15, 55}, 3}, // after c
        {{60, 60}, 2}, // b and c are both 60 away: the lower index wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.p.x << "," << c.p.y);
        EXPECT_EQ(w->GetInsertIndex(c.p), c.expected);
    }
}

TEST_F(IconWindow, InsertIndexAboveOrLeftOfEveryPlacedItemIsZero) {
    MakeFiles({"a", "b"});
    auto w = MakeWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    const RECT first = w->GetItemRect(0);
    EXPECT_EQ(w->GetInsertIndex(POINT{first.left, first.top}), 0);
    EXPECT_EQ(w->GetInsertIndex(POINT{0, 0}), 0);
}

struct MoveCase {
    int insert, index;
    NameList expected;
};

class MoveItem : public IconWindowFixture, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveItem, MovesOneItemAndStoresTheOrder) {
    MakeFiles({"a", "b", "c", "d"});
    auto w = MakeWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    ASSERT_EQ(Names(*w), (NameList{"a", "b", "c", "d"}));
    ASSERT_FALSE(HasStoredOrder());
    w->MoveItem(GetParam().insert, GetParam().index);
    EXPECT_EQ(Names(*w), GetParam().expected);
    // Saved even when nothing moved; the record is the new order.
    EXPECT_TRUE(HasStoredOrder());
    EXPECT_EQ(StoredOrder(), GetParam().expected);
    // A new window over the same folder shows that order.
    auto again = MakeWindow();
    again->LoadAndLayout(KivWindow::neverAbort);
    EXPECT_EQ(Names(*again), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MoveItem,
    ::testing::Values(MoveCase{0, 2, {"c", "a", "b", "d"}},   // to the front
                      MoveCase{4, 0, {"b", "c", "d", "a"}},   // to the end
                      MoveCase{99, 1, {"a", "c", "d", "b"}},  // beyond the end: clamped to n
                      MoveCase{-7, 3, {"d", "a", "b", "c"}},  // below 0: clamped to 0
                      MoveCase{3, 1, {"a", "c", "b", "d"}},   // index + 2: one place later
                      MoveCase{0, 1, {"b", "a", "c", "d"}},   // index - 1: one place earlier
                      MoveCase{2, 2, {"a", "b", "c", "d"}},   // insert = index: no move
                      MoveCase{3, 2, {"a", "b", "c", "d"}})); // insert = index + 1: no move

TEST_F(IconWindow, SwapItemsExchangesAndStores) {
    MakeFiles({"a", "b", "c"});
    auto w = MakeWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    w->SwapItems(0, 2);
    EXPECT_EQ(Names(*w), (NameList{"c", "b", "a"}));
    EXPECT_EQ(StoredOrder(), (NameList{"c", "b", "a"}));
}

TEST_F(IconWindow, ReserveOrderSlotsWithoutARecordDoesNothing) {
    MakeFiles({"a", "b"});
    auto w = MakeWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    w->ReserveOrderSlots(POINT{1000, 1000}, 2, "*");
    EXPECT_FALSE(HasStoredOrder());
    EXPECT_EQ(Names(*w), (NameList{"a", "b"}));
}

TEST_F(IconWindow, ReserveOrderSlotsInsertsAtThePoint) {
    MakeFiles({"a", "b", "c"});
    auto w = MakeWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    w->SaveIconOrder();
    const RECT second = w->GetItemRect(1);
    // Just below and right of b's corner: after b.
    w->ReserveOrderSlots(POINT{second.left + 1, second.top + 1}, 2, "*");
    EXPECT_EQ(StoredOrder(), (NameList{"a", "b", "*", "*", "c"}));
    // The items in memory are not changed.
    EXPECT_EQ(Names(*w), (NameList{"a", "b", "c"}));

    // The next load puts a new item in the first reserved place.
    MakeFiles({"z"});
    auto again = MakeWindow();
    again->LoadAndLayout(KivWindow::neverAbort);
    EXPECT_EQ(Names(*again), (NameList{"a", "b", "z", "c"}));
}

TEST_F(IconWindow, ReserveOrderSlotsBeforeEveryItemWithAPath) {
    MakeFiles({"a", "b"});
    auto w = MakeWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    w->SaveIconOrder();
    const std::string newPath = folder / "new";
    w->ReserveOrderSlots(POINT{0, 0}, 1, newPath.c_str());
    EXPECT_EQ(StoredOrder(), (NameList{"new", "a", "b"}));
}

TEST_F(IconWindow, FindItemByPathGivesTheIndexOrMinusOne) {
    MakeFiles({"a", "b", "c"});
    auto w = MakeWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    EXPECT_EQ(w->FindItemByPath((folder / "b").c_str()), 1);
    EXPECT_EQ(w->FindItemByPath((folder / "missing").c_str()), -1);
}

TEST_F(IconWindow, ToolTipsHaveOneToolPerItemThatIsNoSeparator) {
    MakeFiles({"a", "b", "s.sep.kiv"});
    auto w = MakeWindow();
    w->CreateWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    ASSERT_NE(w->GetToolTip(), nullptr);
    EXPECT_EQ(SendMessageA(w->GetToolTip()->GetHandle(), TTM_GETTOOLCOUNT, 0, 0), 2);
}

TEST_F(IconWindow, DeletingTheObjectDestroysItsWindowAndToolTip) {
    MakeFiles({"a"});
    auto w = MakeWindow();
    w->CreateWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    const HWND handle = w->GetHandle();
    const HWND tip = w->GetToolTip()->GetHandle();
    ASSERT_TRUE(IsWindow(handle));
    ASSERT_TRUE(IsWindow(tip));
    w.reset();
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_FALSE(IsWindow(tip));
}

TEST_F(IconWindow, NamesThatCodePage932CannotHoldAreShownAndKeepTheirPlaces) {
    // Korean, an emoji, and Latin letters with accents that code page 932 lacks; two of them
    // convert to the same text.
    const wchar_t* names[] = {L"\uD55C\uAD6D\uC5B4.txt", L"\uC870\uC120\uC5B4.txt",
                              L"\U0001F600.txt", L"caf\u00E9.txt", L"plain.txt"};
    for (const wchar_t* name : names) {
        const std::wstring path =
            std::wstring(folder.Path().begin(), folder.Path().end()) + L"\\" + name;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    auto w = MakeWindow();
    w->CreateWindow();
    w->LoadAndLayout(KivWindow::neverAbort);
    // Every item is there, with whatever the conversion gives, and has a cell.
    ASSERT_EQ(w->GetItems().size(), 5u);
    for (const KivItem& item : w->GetItems()) {
        EXPECT_FALSE(item.displayName.empty());
        EXPECT_NE(item.x, -1);
    }
    // A paint draws them all.
    const SIZE client = w->GetClientSize();
    w->SetWindowRect(w->AdjustWindowRectEx(RECT{20, 20, 20 + client.cx, 20 + client.cy}, false),
                     SWP_NOACTIVATE | SWP_SHOWWINDOW, HWND_TOPMOST);
    w->InvalidateRect(nullptr, true);
    w->UpdateWindow();
    EXPECT_EQ(w->GetCachedIconCount(), 5);
    // Moving and storing the order keeps every item, also those whose names collide.
    w->MoveItem(0, 4);
    w->MoveItem(5, 0);
    auto again = MakeWindow();
    again->LoadAndLayout(KivWindow::neverAbort);
    EXPECT_EQ(again->GetItems().size(), 5u);
}

} // namespace
