// Sub-folder windows and the poll over real windows and folders, with the real cursor: resting on a
// folder item opens its window beside it after the sub-folder's own ShowTime, a folder inside
// cascades a third window, a file item hides it, another folder replaces it; a window from which
// a drag runs is parked instead of deleted; a vanished folder and absurd times do no harm; the
// sub-folder's record is read once while its item stays hovered; a window taller than the screen
// scrolls at the screen edge.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "Layout.h"
#include "SubFolderPlacement.h"
#include "WindowFixture.h"

using kivtest::IconWindowFixture;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

class SubFolderWindows : public IconWindowFixture {
protected:
    std::unique_ptr<kivtest::OpenKivWindow> w;
    POINT origin{200, 150};

    // a.txt, sub1 (inner.txt and the folder deeper with x.txt), sub2 (two.txt).
    void SetUp() override {
        MakeFiles({"a.txt"});
        kivtest::MakeDir(folder / "sub1");
        kivtest::WriteTextFile(folder / "sub1\\inner.txt", "x");
        kivtest::MakeDir(folder / "sub1\\deeper");
        kivtest::WriteTextFile(folder / "sub1\\deeper\\x.txt", "x");
        kivtest::MakeDir(folder / "sub2");
        kivtest::WriteTextFile(folder / "sub2\\two.txt", "x");
        for (const char* sub : {"sub1", "sub2", "sub1\\deeper"})
            SetSubProperty(sub, [](KivWinProperty& p) { p.ShowTime = 0; });
    }

    void TearDown() override { SetCursorPos(0, 0); }

    std::string FolderPathOf(const std::string& path) const {
        KivItem item;
        item.SetPathId(KivPidl(path.c_str()));
        return item.folderPath;
    }

    void SetSubProperty(const char* name, const std::function<void(KivWinProperty&)>& change) {
        const std::string path = FolderPathOf(folder / name);
        KivWinProperty property(data.Path().c_str());
        property.LoadParam(path.c_str());
        change(property);
        property.SaveParam(path.c_str());
    }

    void Open() {
        w = MakeWindow();
        w->LoadAndLayout(KivWindow::neverAbort);
        const SIZE size = w->GetClientSize();
        w->SetWindowRect(
            w->AdjustWindowRectEx(RECT{origin.x, origin.y, origin.x + size.cx, origin.y + size.cy},
                                  false),
            0, nullptr);
        w->CreateWindow();
    }

    static int IndexOf(const KivWindow& window, const std::string& name) {
        const KivItemList& items = window.GetItems();
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].displayName == name)
                return static_cast<int>(i);
        return -1;
    }

    // Puts the cursor on the middle of an item of a window.
    static void RestOn(KivWindow& window, int index) {
        const RECT r = window.ClientToScreen(window.GetItemRect(index));
        SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    // Polls (as the frame does) until the condition holds.
    bool PollUntil(const std::function<bool()>& done, DWORD milliseconds = 10000) {
        const DWORD start = GetTickCount();
        for (;;) {
            w->Poll();
            if (done())
                return true;
            if (GetTickCount() - start > milliseconds)
                return false;
            Sleep(10);
        }
    }

    static bool Visible(const KivWindow* window) {
        return window && IsWindowVisible(window->GetHandle());
    }
};

TEST_F(SubFolderWindows, CreatedBesideTheItemAsThePlacementSays) {
    Open();
    const int index = IndexOf(*w, "sub1");
    ASSERT_GE(index, 0);
    w->SetOpenDirection(KivSubFolder::OpenRight);
    w->CreateSubFolderWindow(index, false);
    KivWindow* sub = w->GetSubWindow();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(w->GetSubWindowIndex(), index);
    EXPECT_TRUE(Visible(sub));
    EXPECT_EQ(sub->GetItems().size(), 2u);

    const KivLayout::LayoutProperties layout =
        KivLayout::SanitizeLayoutProperties(KivLayout::LayoutPropertiesOf(w->GetProperty()));
    const KivSubFolder::Placement expected = KivSubFolder::PlaceSubFolderWindow(
        KivLayout::ResolveItemArrange(layout.itemArrange, layout.windowSide),
        KivSubFolder::OpenRight, w->ClientToScreen(w->GetItemRect(index)), sub->GetClientSize(),
        SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
        w->GetProperty().WindowBorder);
    RECT client;
    GetClientRect(sub->GetHandle(), &client);
    POINT topLeft{0, 0};
    ClientToScreen(sub->GetHandle(), &topLeft);
    EXPECT_EQ(topLeft.x, expected.position.x);
    EXPECT_EQ(topLeft.y, expected.position.y);
    EXPECT_EQ(client.right, sub->GetClientSize().cx);
    EXPECT_EQ(client.bottom, sub->GetClientSize().cy);
    if (expected.openDirection != KivSubFolder::OpenNone)
        EXPECT_EQ(sub->GetOpenDirection(), expected.openDirection);
    // Owned by its parent, so never in the task bar.
    EXPECT_EQ(GetWindow(sub->GetHandle(), GW_OWNER), w->GetHandle());

    // Hidden and shown again without reloading.
    w->HideSubFolderWindow();
    EXPECT_FALSE(Visible(sub));
    w->ShowSubFolderWindow();
    EXPECT_TRUE(Visible(sub));
    EXPECT_EQ(w->GetSubWindow(), sub);

    EXPECT_TRUE(w->DeleteSubFolderWindow());
    EXPECT_EQ(w->GetSubWindow(), nullptr);
    EXPECT_EQ(w->GetSubWindowIndex(), -1);
}

TEST_F(SubFolderWindows, RestingOnFoldersCascadesHidesAndReplaces) {
    Open();
    const int sub1 = IndexOf(*w, "sub1"), sub2 = IndexOf(*w, "sub2"), file = IndexOf(*w, "a.txt");
    ASSERT_GE(sub1, 0);
    ASSERT_GE(sub2, 0);
    ASSERT_GE(file, 0);

    RestOn(*w, sub1);
    ASSERT_TRUE(PollUntil([&] { return Visible(w->GetSubWindow()); }));
    KivWindow* first = w->GetSubWindow();
    EXPECT_EQ(w->GetSubWindowIndex(), sub1);
    EXPECT_FALSE(w->IsSubOpenedByClick());

    // A folder inside the sub-folder window opens a third window.
    const int deeper = IndexOf(*first, "deeper");
    ASSERT_GE(deeper, 0);
    RestOn(*first, deeper);
    ASSERT_TRUE(PollUntil([&] { return Visible(first->GetSubWindow()); }));
    EXPECT_EQ(first->GetSubWindow()->GetItems().size(), 1u);
    EXPECT_EQ(w->GetSubWindow(), first) << "the chain was not kept";

    // Back on a file item of the top: the whole chain below hides.
    RestOn(*w, file);
    ASSERT_TRUE(PollUntil([&] { return !Visible(w->GetSubWindow()); }));
    EXPECT_EQ(w->GetSubWindow(), first) << "hidden, not deleted";
    EXPECT_FALSE(Visible(first->GetSubWindow()));

    // Back on the same folder: the same window shows again without reloading.
    RestOn(*w, sub1);
    ASSERT_TRUE(PollUntil([&] { return Visible(w->GetSubWindow()); }));
    EXPECT_EQ(w->GetSubWindow(), first);

    // Another folder replaces it.
    RestOn(*w, sub2);
    ASSERT_TRUE(PollUntil([&] { return w->GetSubWindowIndex() == sub2; }));
    ASSERT_TRUE(Visible(w->GetSubWindow()));
    EXPECT_EQ(IndexOf(*w->GetSubWindow(), "two.txt"), 0);
}

TEST_F(SubFolderWindows, TheSubFoldersOwnShowTimeIsHonoured) {
    SetSubProperty("sub1", [](KivWinProperty& p) { p.ShowTime = 800; });
    SetProperty([](KivWinProperty& p) { p.ShowTime = 0; });
    Open();
    const int sub1 = IndexOf(*w, "sub1");
    ASSERT_GE(sub1, 0);
    RestOn(*w, sub1);
    const DWORD start = GetTickCount();
    ASSERT_TRUE(PollUntil([&] { return w->GetSubWindow() != nullptr; }));
    EXPECT_GE(GetTickCount() - start, 800u);
}

TEST_F(SubFolderWindows, AbsurdTimesInTheSubFoldersRecordDoNoHarm) {
    SetSubProperty("sub1", [](KivWinProperty& p) {
        p.ShowTime = -5;
        p.HideTime = INT_MAX;
    });
    Open();
    const int sub1 = IndexOf(*w, "sub1");
    RestOn(*w, sub1);
    // A negative wait counts as none.
    ASSERT_TRUE(PollUntil([&] { return Visible(w->GetSubWindow()); }, 3000));
}

TEST_F(SubFolderWindows, TheSubFoldersRecordIsReadOnceWhileItsItemStaysHovered) {
    SetSubProperty("sub1", [](KivWinProperty& p) {
        p.ShowTime = 60000;
        p.FontSize = 11;
    });
    Open();
    const int sub1 = IndexOf(*w, "sub1");
    RestOn(*w, sub1);
    for (int i = 0; i < 20; ++i)
        w->Poll();
    EXPECT_EQ(w->GetSubFolderRecordLoads(), 1);
    EXPECT_EQ(w->GetSubWindow(), nullptr);
    // A changed record is read again on the next poll and counts at once.
    SetSubProperty("sub1", [](KivWinProperty& p) { p.ShowTime = 0; });
    ASSERT_TRUE(PollUntil([&] { return Visible(w->GetSubWindow()); }, 3000));
    EXPECT_EQ(w->SubFolderProperty(sub1).FontSize, 11);
    EXPECT_EQ(w->GetSubFolderRecordLoads(), 2);
    // A change of the default record counts too.
    KivWinProperty defaults(data.Path().c_str());
    defaults.LoadParam(nullptr);
    defaults.NotShowWin = true;
    defaults.SaveParam(nullptr);
    EXPECT_EQ(w->SubFolderProperty(sub1).ShowTime, 0);
    EXPECT_EQ(w->GetSubFolderRecordLoads(), 3);
}

TEST_F(SubFolderWindows, AWindowFromWhichADragRunsIsParkedAndDeletedAfterTheDrag) {
    Open();
    const int sub1 = IndexOf(*w, "sub1"), sub2 = IndexOf(*w, "sub2");
    w->CreateSubFolderWindow(sub1, false);
    KivWindow* dragging = w->GetSubWindow();
    ASSERT_NE(dragging, nullptr);
    dragging->SetDragSourceActive(true);
    // The parent opens another folder while the drag runs.
    w->CreateSubFolderWindow(sub2, false);
    EXPECT_EQ(w->GetPendingDelete(), dragging);
    EXPECT_NE(w->GetSubWindow(), dragging);
    EXPECT_FALSE(Visible(dragging));
    EXPECT_TRUE(IsWindow(dragging->GetHandle()));
    SetCursorPos(0, 0);
    w->Poll();
    EXPECT_EQ(w->GetPendingDelete(), dragging) << "deleted while its drag runs";
    // The drag ends: the next poll deletes it.
    const HWND handle = dragging->GetHandle();
    dragging->SetDragSourceActive(false);
    w->Poll();
    EXPECT_EQ(w->GetPendingDelete(), nullptr);
    EXPECT_FALSE(IsWindow(handle));
}

TEST_F(SubFolderWindows, AFolderThatVanishesWhileItsWindowIsOpenDoesNoHarm) {
    Open();
    const int sub1 = IndexOf(*w, "sub1");
    RestOn(*w, sub1);
    ASSERT_TRUE(PollUntil([&] { return Visible(w->GetSubWindow()); }));
    KivWindow* sub = w->GetSubWindow();
    kivtest::RemoveTree(folder / "sub1");
    ASSERT_FALSE(kivtest::Exists(folder / "sub1"));
    // Its items are still shown; hovering them and opening the vanished folder anew is harmless.
    const int deeper = IndexOf(*sub, "deeper");
    ASSERT_GE(deeper, 0);
    RestOn(*sub, deeper);
    for (int i = 0; i < 20; ++i) {
        w->Poll();
        Sleep(5);
    }
    w->CreateSubFolderWindow(sub1, false);
    ASSERT_NE(w->GetSubWindow(), nullptr);
    EXPECT_TRUE(w->GetSubWindow()->GetItems().empty());
    // NoEmptySubFolder (the default): nothing is seen.
    const RECT r = w->GetSubWindow()->GetPlannedWindowRect();
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
}

TEST_F(SubFolderWindows, AWindowTallerThanTheScreenScrollsBy16AtTheScreenEdge) {
    SetProperty([](KivWinProperty& p) { p.ItemArrange = 1; });
    Open();
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int border = w->GetProperty().WindowBorder;
    const RECT tall{origin.x, -500, origin.x + 200, screenHeight + 500};
    w->SetWindowRect(tall, SWP_NOOWNERZORDER, nullptr);
    SetCursorPos(origin.x + 20, 5);
    w->Poll();
    EXPECT_EQ(w->GetWindowRect(true).top, -484);
    EXPECT_EQ(w->GetWindowRect(true).bottom, screenHeight + 516);
    // It stops with its border just off the screen.
    for (int i = 0; i < 40; ++i)
        w->Poll();
    EXPECT_EQ(w->GetWindowRect(true).top, -border);
    // At the bottom edge it scrolls back up.
    SetCursorPos(origin.x + 20, screenHeight - 5);
    w->Poll();
    EXPECT_EQ(w->GetWindowRect(true).top, -border - 16);
    // Away from the edges nothing moves.
    SetCursorPos(origin.x + 20, screenHeight / 2);
    w->Poll();
    EXPECT_EQ(w->GetWindowRect(true).top, -border - 16);
}

} // namespace
