// Menus: building, freeing through the popup, the sub-menu's own Destroy, the failure message,
// and TrackPopupMenu on a real window (the menu is closed by a timer inside its modal loop).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KivWinBaseException.h"
#include "NMenu.h"
#include "NWnd.h"

namespace {

std::string Hex8(UINT_PTR value) {
    char text[16];
    wsprintfA(text, "%08x", static_cast<unsigned>(value));
    return text;
}

std::string ItemText(HMENU menu, int position) {
    char text[256] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

TEST(Menu, APopupWithASubMenuIsFreedWhole) {
    HMENU popupHandle = nullptr, subHandle = nullptr;
    {
        NPopupMenu popup;
        NSubMenu sub;
        popupHandle = popup.GetHandle();
        subHandle = sub.GetHandle();
        ASSERT_TRUE(IsMenu(popupHandle));
        ASSERT_TRUE(IsMenu(subHandle));
        EXPECT_NE(sub.AppendMenu(MF_STRING, 65014, "先頭へ"), 0);
        EXPECT_NE(sub.AppendMenu(MF_STRING, 65015, "末尾へ"), 0);
        EXPECT_NE(popup.AppendMenu(MF_STRING, 65010, "名前の変更"), 0);
        EXPECT_NE(popup.AppendSubMenu(MF_POPUP, sub, "アイコンの移動"), 0);
        EXPECT_EQ(popup.GetMenuItemCount(), 2);
        EXPECT_EQ(sub.GetMenuItemCount(), 2);
        EXPECT_EQ(GetSubMenu(popupHandle, 1), subHandle);
        EXPECT_EQ(ItemText(popupHandle, 1), "アイコンの移動");
        EXPECT_EQ(ItemText(subHandle, 0), "先頭へ");
        EXPECT_EQ(GetMenuItemID(subHandle, 1), 65015u);
    }
    EXPECT_FALSE(IsMenu(popupHandle));
    EXPECT_FALSE(IsMenu(subHandle));
}

TEST(Menu, ASubMenuThatWasNotAppendedIsFreedByDestroyOnce) {
    NSubMenu sub;
    const HMENU handle = sub.GetHandle();
    sub.AppendMenu(MF_STRING, 1, "項目");
    EXPECT_NE(sub.Destroy(), 0);
    EXPECT_FALSE(IsMenu(handle));
    EXPECT_EQ(sub.GetHandle(), nullptr);
    EXPECT_EQ(sub.Destroy(), 0);
}

TEST(Menu, ASeparatorAppends) {
    NPopupMenu popup;
    popup.AppendMenu(MF_STRING, 65012, "ウィンドウのプロパティ");
    EXPECT_NE(popup.AppendMenu(MF_SEPARATOR, 0, nullptr), 0);
    ASSERT_EQ(popup.GetMenuItemCount(), 2);
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoA(popup.GetHandle(), 1, TRUE, &info));
    EXPECT_TRUE(info.fType & MFT_SEPARATOR);
}

// The message is built whole, without a fixed buffer, however long the text.
TEST(Menu, FailureMessageFormatsNumbersAndAnyText) {
    const std::string longText(5000, 'x');
    const std::string japanese = "新規作成";
    struct Case {
        HMENU menu;
        UINT flags;
        UINT_PTR id;
        const char* text;
        std::string expected;
    } cases[] = {
        {reinterpret_cast<HMENU>(0x1a2b), MF_STRING, 65001, "開く",
         "Error NMenuBase::AppendMenu(00001a2b, 00000000, 0000fde9, 開く)"},
        {nullptr, MF_SEPARATOR, 0, nullptr,
         "Error NMenuBase::AppendMenu(00000000, 00000800, 00000000, )"},
        {reinterpret_cast<HMENU>(0xfedcba98), MF_POPUP | MF_GRAYED, 0x12345678, japanese.c_str(),
         "Error NMenuBase::AppendMenu(fedcba98, 00000011, 12345678, 新規作成)"},
        {reinterpret_cast<HMENU>(0x10), MF_STRING, 7, longText.c_str(),
         "Error NMenuBase::AppendMenu(00000010, 00000000, 00000007, " + longText + ")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.substr(0, 80));
        EXPECT_EQ(AppendMenuFailure(c.menu, c.flags, c.id, c.text), c.expected);
    }
}

// Real failures: a sub-menu freed behind the object's back (it keeps the stale handle), and one
// freed with Destroy (it holds no handle).
TEST(Menu, AFailingAppendThrowsTheWholeMessage) {
    const std::string longText(3000, 'y');
    NSubMenu stale;
    const HMENU staleHandle = stale.GetHandle();
    ASSERT_TRUE(DestroyMenu(staleHandle));
    NSubMenu gone;
    gone.Destroy();
    struct Case {
        NMenuBase* menu;
        UINT flags;
        UINT_PTR id;
        const char* text;
        std::string expected;
    };
    const Case cases[] = {
        {&stale, MF_STRING, 0x2468, "その他",
         "Error NMenuBase::AppendMenu(" + Hex8(reinterpret_cast<UINT_PTR>(staleHandle)) +
             ", 00000000, 00002468, その他)"},
        {&stale, MF_STRING, 65003, longText.c_str(),
         "Error NMenuBase::AppendMenu(" + Hex8(reinterpret_cast<UINT_PTR>(staleHandle)) +
             ", 00000000, 0000fdeb, " + longText + ")"},
        {&gone, MF_SEPARATOR, 0, nullptr,
         "Error NMenuBase::AppendMenu(00000000, 00000800, 00000000, )"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.substr(0, 80));
        try {
            c.menu->AppendMenu(c.flags, c.id, c.text);
            ADD_FAILURE() << "nothing thrown";
        } catch (const KivWinBaseException& e) {
            EXPECT_EQ(std::string(e.what()), c.expected);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// TrackPopupMenu: a thread timer fires inside the menu's modal loop and either presses keys or
// closes the menu.

class MenuOwner : public NWnd {
public:
    using NWnd::NWnd;
    std::vector<WORD> commands;
    void OnCommand(WORD id, WORD) override { commands.push_back(id); }
};

enum class MenuAction { Dismiss, ChooseSecond };
MenuAction pendingAction;
HWND menuOwner;

void CALLBACK ActInMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (pendingAction == MenuAction::Dismiss) {
        EndMenu();
        return;
    }
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
        PostMessageA(menuOwner, WM_KEYDOWN, key, 1);
        PostMessageA(menuOwner, WM_KEYUP, key, 0xC0000001);
    }
}

class TrackTest : public ::testing::Test {
protected:
    NApp app{GetModuleHandleA(nullptr)};
    MenuOwner owner{&app};
    NPopupMenu popup;

    void SetUp() override {
        owner.SetStyle(WS_POPUP);
        owner.SetWindowRect(RECT{100, 100, 300, 200}, 0, nullptr);
        owner.CreateWindow();
        SetForegroundWindow(owner.GetHandle());
        menuOwner = owner.GetHandle();
        popup.AppendMenu(MF_STRING, 65001, "開く");
        popup.AppendMenu(MF_STRING, 65002, "削除");
    }
    void Track(MenuAction action, UINT flags, BOOL* result, std::string* error) {
        pendingAction = action;
        SetTimer(nullptr, 0, 300, ActInMenu);
        try {
            *result = popup.TrackPopupMenu(flags, 120, 120, owner.GetHandle());
        } catch (const KivWinBaseException& e) {
            *error = e.what();
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
};

TEST_F(TrackTest, DismissingWithoutReturnCmdThrowsNothing) {
    BOOL result = 0;
    std::string error;
    Track(MenuAction::Dismiss, TPM_RIGHTBUTTON, &result, &error);
    EXPECT_EQ(error, "");
    EXPECT_NE(result, 0);
    EXPECT_TRUE(owner.commands.empty());
}

TEST_F(TrackTest, DismissingWithReturnCmdThrows) {
    BOOL result = 0;
    std::string error;
    Track(MenuAction::Dismiss, TPM_RIGHTBUTTON | TPM_RETURNCMD, &result, &error);
    EXPECT_EQ(error, "Error NPopupMenu::TrackPopupMenu");
}

TEST_F(TrackTest, AChosenItemComesBackAsACommand) {
    BOOL result = 0;
    std::string error;
    Track(MenuAction::ChooseSecond, TPM_RIGHTBUTTON, &result, &error);
    EXPECT_EQ(error, "");
    EXPECT_NE(result, 0);
    ASSERT_EQ(owner.commands.size(), 1u);
    EXPECT_EQ(owner.commands[0], 65002);
}

} // namespace
