// The tooltip control of a real toolkit window: creation, tools read back from the control, relay.
#include <gtest/gtest.h>

#include <string>

#include "NToolTip.h"
#include "NWnd.h"

#include <commctrl.h>

namespace {

class ToolTipTest : public ::testing::Test {
protected:
    NApp app{GetModuleHandleA(nullptr)};
    NWnd owner{&app};

    void SetUp() override {
        owner.SetStyle(WS_POPUP);
        owner.SetWindowRect(RECT{50, 50, 350, 250}, 0, nullptr);
        owner.CreateWindow();
    }

    // The tool as the control stored it, read back with the same size of structure.
    static bool ReadTool(HWND tip, HWND toolOwner, UINT_PTR id, RECT* rect, std::string* text) {
        char buffer[256] = {};
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V2_SIZE;
        info.hwnd = toolOwner;
        info.uId = id;
        info.lpszText = buffer;
        if (!SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)))
            return false;
        *rect = info.rect;
        // TTM_GETTEXTA fills the buffer the structure points to.
        info.lpszText = buffer;
        SendMessageA(tip, TTM_GETTEXTA, sizeof(buffer), reinterpret_cast<LPARAM>(&info));
        *text = buffer;
        return true;
    }
};

TEST_F(ToolTipTest, IsATooltipControlOwnedByTheWindow) {
    NToolTip tip(&owner);
    const HWND handle = tip.GetHandle();
    ASSERT_TRUE(IsWindow(handle));
    char className[64] = {};
    GetClassNameA(handle, className, sizeof(className));
    EXPECT_STREQ(className, "tooltips_class32");
    EXPECT_EQ(GetWindow(handle, GW_OWNER), owner.GetHandle());
    EXPECT_TRUE(GetWindowLongA(handle, GWL_STYLE) & TTS_ALWAYSTIP);
    EXPECT_EQ(tip.GetParent(), &owner);
    EXPECT_EQ(GetWindowLongPtrA(handle, GWLP_USERDATA), 0); // never bound to the object
    EXPECT_EQ(SendMessageA(handle, TTM_GETTOOLCOUNT, 0, 0), 0);
}

TEST_F(ToolTipTest, DestroyingTheObjectDestroysTheControl) {
    auto* tip = new NToolTip(&owner);
    const HWND handle = tip->GetHandle();
    delete tip;
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_TRUE(IsWindow(owner.GetHandle()));
}

TEST_F(ToolTipTest, ToolsAreAddedWithRectangleIdAndText) {
    NToolTip tip(&owner);
    struct Tool {
        RECT rect;
        UINT_PTR id;
        std::string text;
    } tools[] = {
        {RECT{0, 0, 40, 40}, 0, "マイ ドキュメント"},
        {RECT{40, 0, 80, 40}, 1, "readme.txt"},
        // The control hands back at most 80 bytes of text; the tool keeps a 79-byte name whole.
        {RECT{0, 48, 40, 88}, 3, std::string(79, 'n')},
    };
    for (const Tool& t : tools) {
        std::string text = t.text; // the control keeps its own copy
        EXPECT_NE(tip.AddTool(t.rect, t.id, text.c_str()), 0);
        text.assign(text.size(), '#');
    }
    EXPECT_EQ(SendMessageA(tip.GetHandle(), TTM_GETTOOLCOUNT, 0, 0), 3);
    for (const Tool& t : tools) {
        SCOPED_TRACE(t.id);
        RECT rect{};
        std::string text;
        ASSERT_TRUE(ReadTool(tip.GetHandle(), owner.GetHandle(), t.id, &rect, &text));
        EXPECT_EQ(rect.left, t.rect.left);
        EXPECT_EQ(rect.top, t.rect.top);
        EXPECT_EQ(rect.right, t.rect.right);
        EXPECT_EQ(rect.bottom, t.rect.bottom);
        EXPECT_EQ(text, t.text);
    }
    RECT rect{};
    std::string text;
    EXPECT_FALSE(ReadTool(tip.GetHandle(), owner.GetHandle(), 2, &rect, &text));
}

TEST_F(ToolTipTest, RelayingMouseMessagesWorksWithAndWithoutTools) {
    const UINT messages[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                             WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP};
    NToolTip tip(&owner);
    for (const UINT message : messages)
        tip.RelayEvent(message, 0, MAKELPARAM(10, 10));
    tip.AddTool(RECT{0, 0, 40, 40}, 0, "項目");
    for (int x : {10, 20, 100, 10}) {
        for (const UINT message : messages)
            tip.RelayEvent(message, 0, MAKELPARAM(x, 10));
    }
    // Let the control run whatever timers the relayed moves started.
    const DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < 300) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        Sleep(10);
    }
    EXPECT_TRUE(IsWindow(tip.GetHandle()));
    EXPECT_EQ(SendMessageA(tip.GetHandle(), TTM_GETTOOLCOUNT, 0, 0), 1);
}

} // namespace
