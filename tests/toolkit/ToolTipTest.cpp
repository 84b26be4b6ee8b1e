// The tooltip control of a real toolkit window: creation, tools read back from the control, relay.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// What reaches the control: a test subclass records every TTM_RELAYEVENT with its message.
struct RelayRecorder {
    std::vector<MSG> relayed;

    static LRESULT CALLBACK Proc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR self) {
        if (message == TTM_RELAYEVENT && lParam)
            reinterpret_cast<RelayRecorder*>(self)->relayed.push_back(
                *reinterpret_cast<const MSG*>(lParam));
        return DefSubclassProc(control, message, wParam, lParam);
    }
};

TEST_F(ToolTipTest, RelayEventHandsTheOwnersMessageToTheControl) {
    const UINT messages[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                             WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONUP};
    NToolTip tip(&owner);
    RelayRecorder recorder;
    ASSERT_TRUE(SetWindowSubclass(tip.GetHandle(), &RelayRecorder::Proc, 77,
                                  reinterpret_cast<DWORD_PTR>(&recorder)));
    tip.AddTool(RECT{0, 0, 40, 40}, 0, "項目");
    struct Sent {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Sent> sent;
    for (int x : {10, 20, 100, 10}) {
        for (const UINT message : messages) {
            const Sent s{message, static_cast<WPARAM>(MK_LBUTTON), MAKELPARAM(x, 10)};
            tip.RelayEvent(s.message, s.wParam, s.lParam);
            sent.push_back(s);
        }
    }
    ASSERT_EQ(recorder.relayed.size(), sent.size());
    for (size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(recorder.relayed[i].hwnd, owner.GetHandle());
        EXPECT_EQ(recorder.relayed[i].message, sent[i].message);
        EXPECT_EQ(recorder.relayed[i].wParam, sent[i].wParam);
        EXPECT_EQ(recorder.relayed[i].lParam, sent[i].lParam);
    }
    RemoveWindowSubclass(tip.GetHandle(), &RelayRecorder::Proc, 77);
    EXPECT_EQ(SendMessageA(tip.GetHandle(), TTM_GETTOOLCOUNT, 0, 0), 1);
}

// Lets a test point the object at a handle value, as a recycled value would.
class RepointedToolTip : public NToolTip {
public:
    using NToolTip::NToolTip;
    void Repoint(HWND handle) { window = handle; }
};

TEST_F(ToolTipTest, AControlDestroyedWithItsOwnerIsNotOwnedAnyMore) {
    NWnd victim(&app);
    victim.CreateWindow();
    {
        NWnd shortLived(&app);
        shortLived.CreateWindow();
        RepointedToolTip tip(&shortLived);
        const HWND control = tip.GetHandle();
        EXPECT_TRUE(tip.OwnsWindow());
        shortLived.DestroyWindow(); // takes the owned control with it
        EXPECT_FALSE(IsWindow(control));
        EXPECT_FALSE(tip.OwnsWindow());
        tip.Repoint(victim.GetHandle());
    }
    EXPECT_TRUE(IsWindow(victim.GetHandle())) << "another object's window was destroyed";
}

} // namespace
