#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "NWnd.h"

namespace {

// Records every handler call as text, e.g. "MouseMove 1 65535 20".
class RecordingWnd : public NWnd {
public:
    using NWnd::NWnd;
    std::vector<std::string> calls;
    void Add(const std::string& s) { calls.push_back(s); }
    static std::string N(unsigned long long v) { return std::to_string(v); }

    void OnCreate() override { Add("Create"); }
    void OnDestroy() override { Add("Destroy"); }
    void OnClose() override { Add("Close"); }
    void OnCommand(WORD id, WORD code) override { Add("Command " + N(id) + " " + N(code)); }
    void OnMouseMove(WPARAM k, int x, int y) override { Mouse("MouseMove", k, x, y); }
    void OnLButtonDown(WPARAM k, int x, int y) override { Mouse("LButtonDown", k, x, y); }
    void OnLButtonUp(WPARAM k, int x, int y) override { Mouse("LButtonUp", k, x, y); }
    void OnLButtonDblClk(WPARAM k, int x, int y) override { Mouse("LButtonDblClk", k, x, y); }
    void OnRButtonDown(WPARAM k, int x, int y) override { Mouse("RButtonDown", k, x, y); }
    void OnRButtonUp(WPARAM k, int x, int y) override { Mouse("RButtonUp", k, x, y); }
    void OnSysColorChange() override { Add("SysColorChange"); }
    void OnSettingChange(WPARAM w, LPARAM l) override { Add("SettingChange " + N(w) + " " + N(l)); }
    void OnDisplayChange(WPARAM b, int w, int h) override {
        Add("DisplayChange " + N(b) + " " + N(w) + " " + N(h));
    }
    void OnEnterMenuLoop(WPARAM p) override { Add("EnterMenuLoop " + N(p)); }
    void OnExitMenuLoop(WPARAM p) override { Add("ExitMenuLoop " + N(p)); }
    void OnTimer(WPARAM id, LPARAM l) override { Add("Timer " + N(id) + " " + N(l)); }
    void OnPowerBroadcast(WPARAM e, LPARAM d) override {
        Add("PowerBroadcast " + N(e) + " " + N(d));
    }
    void OnEndSession(WPARAM e, LPARAM l) override { Add("EndSession " + N(e) + " " + N(l)); }

private:
    void Mouse(const char* name, WPARAM k, int x, int y) {
        Add(std::string(name) + " " + N(k) + " " + std::to_string(x) + " " + std::to_string(y));
    }
};

// Windows of the toolkit class that belong to this thread, top-level and owned alike.
int ToolkitWindowsOfThisThread() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM counter) -> BOOL {
            char className[64] = {};
            GetClassNameA(window, className, sizeof(className));
            if (std::string(className) == "NWindowClass")
                ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}

// Lets a test point an object at a handle value, as a recycled value would.
class RepointedWnd : public RecordingWnd {
public:
    using RecordingWnd::RecordingWnd;
    void Repoint(HWND handle) { window = handle; }
};

class WindowTest : public ::testing::Test {
protected:
    NApp app{GetModuleHandleA(nullptr)};

    static void DrainQuit() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    void TearDown() override { DrainQuit(); }
};

struct DispatchCase {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* expected;
};

class Dispatcher : public WindowTest, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(Dispatcher, UnpacksArgumentsAndAnswersZero) {
    const DispatchCase c = GetParam();
    RecordingWnd w(&app);
    w.SetStyle(WS_POPUP);
    w.CreateWindow();
    w.calls.clear();
    const LRESULT result = SendMessageA(w.GetHandle(), c.message, c.wParam, c.lParam);
    ASSERT_EQ(w.calls.size(), 1u);
    EXPECT_EQ(w.calls[0], c.expected);
    EXPECT_EQ(result, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, Dispatcher,
    ::testing::Values(
        DispatchCase{WM_COMMAND, MAKEWPARAM(1234, 7), 0, "Command 1234 7"},
        DispatchCase{WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, 20), "MouseMove 1 10 20"},
        // x and y are unsigned words: -1 arrives as 65535
        DispatchCase{WM_MOUSEMOVE, 0, MAKELPARAM(-1, 20), "MouseMove 0 65535 20"},
        DispatchCase{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, -2), "LButtonDown 1 3 65534"},
        DispatchCase{WM_LBUTTONUP, 0, MAKELPARAM(4, 5), "LButtonUp 0 4 5"},
        DispatchCase{WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(6, 7), "LButtonDblClk 1 6 7"},
        DispatchCase{WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(8, 9), "RButtonDown 2 8 9"},
        DispatchCase{WM_RBUTTONUP, 0, MAKELPARAM(10, 11), "RButtonUp 0 10 11"},
        DispatchCase{WM_SYSCOLORCHANGE, 0, 0, "SysColorChange"},
        DispatchCase{WM_WININICHANGE, 42, 0, "SettingChange 42 0"},
        DispatchCase{WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768), "DisplayChange 32 1024 768"},
        DispatchCase{WM_ENTERMENULOOP, 1, 0, "EnterMenuLoop 1"},
        DispatchCase{WM_EXITMENULOOP, 0, 0, "ExitMenuLoop 0"},
        DispatchCase{WM_TIMER, 100, 0, "Timer 100 0"},
        DispatchCase{WM_ENDSESSION, 1, 0x80000000, "EndSession 1 2147483648"},
        DispatchCase{WM_CLOSE, 0, 0, "Close"}));

TEST_F(WindowTest, PowerBroadcastCallsTheHandlerAndAnswersLikeTheDefault) {
    RecordingWnd w(&app);
    w.SetStyle(WS_POPUP);
    w.CreateWindow();
    w.calls.clear();
    const LRESULT expected = DefWindowProcA(w.GetHandle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    EXPECT_EQ(SendMessageA(w.GetHandle(), WM_POWERBROADCAST, PBT_APMSUSPEND, 0), expected);
    ASSERT_EQ(w.calls.size(), 1u);
    EXPECT_EQ(w.calls[0], "PowerBroadcast 4 0");
}

TEST_F(WindowTest, CreateReachesOnCreateBeforeCreateWindowReturns) {
    RecordingWnd w(&app);
    w.SetStyle(WS_POPUP);
    w.CreateWindow();
    ASSERT_FALSE(w.calls.empty());
    EXPECT_EQ(w.calls.front(), "Create");
    char className[64];
    GetClassNameA(w.GetHandle(), className, sizeof(className));
    EXPECT_STREQ(className, "NWindowClass");
    EXPECT_EQ(GetWindowLongPtrA(w.GetHandle(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&w));
}

TEST_F(WindowTest, SecondObjectRegistersAgainAndStillCreates) {
    RecordingWnd a(&app), b(&app);
    a.CreateWindow();
    b.CreateWindow();
    EXPECT_TRUE(IsWindow(a.GetHandle()));
    EXPECT_TRUE(IsWindow(b.GetHandle()));
}

TEST_F(WindowTest, DefaultCloseDestroysTheWindowAndFrameQuits) {
    NFrameWnd frame(&app);
    frame.CreateWindow();
    HWND handle = frame.GetHandle();
    SendMessageA(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(handle));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(WindowTest, DestructorDestroysTheWindowWithoutDerivedHandlers) {
    auto* w = new RecordingWnd(&app);
    w->CreateWindow();
    const HWND handle = w->GetHandle();
    delete w;
    EXPECT_FALSE(IsWindow(handle));
}

TEST_F(WindowTest, ADestroyedWindowKeepsItsHandleButIsNoLongerOwned) {
    RecordingWnd w(&app);
    w.CreateWindow();
    const HWND handle = w.GetHandle();
    EXPECT_TRUE(w.OwnsWindow());
    ::DestroyWindow(handle);
    EXPECT_EQ(w.GetHandle(), handle);
    EXPECT_FALSE(w.OwnsWindow());
}

// The object's window is gone and its old handle value now names a window of someone else.
TEST_F(WindowTest, TheDestructorLeavesAHandleItNoLongerOwnsAlone) {
    RecordingWnd other(&app);
    other.CreateWindow();
    {
        RepointedWnd w(&app);
        w.CreateWindow();
        ::DestroyWindow(w.GetHandle());
        w.Repoint(other.GetHandle());
    }
    EXPECT_TRUE(IsWindow(other.GetHandle())) << "another object's window was destroyed";
}

TEST_F(WindowTest, ASecondCreateWindowThrowsAndLeavesNoOrphan) {
    const int before = ToolkitWindowsOfThisThread();
    {
        RecordingWnd w(&app);
        w.CreateWindow();
        const HWND first = w.GetHandle();
        try {
            w.CreateWindow();
            ADD_FAILURE() << "a second window was created";
        } catch (const KivWinBaseException& e) {
            EXPECT_STREQ(e.what(), "Error NWnd::CreateWindow");
        }
        EXPECT_EQ(w.GetHandle(), first);
        EXPECT_EQ(GetWindowLongPtrA(first, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&w));
        EXPECT_EQ(ToolkitWindowsOfThisThread(), before + 1);
        // After its window is gone the object may create a new one.
        ::DestroyWindow(first);
        w.CreateWindow();
        EXPECT_TRUE(w.OwnsWindow());
    }
    EXPECT_EQ(ToolkitWindowsOfThisThread(), before);
}

TEST_F(WindowTest, ReversedRectangleCreatesAtTheSmallerCorner) {
    RecordingWnd w(&app);
    w.SetStyle(WS_POPUP);
    w.SetWindowRect(RECT{300, 250, 100, 50}, 0, nullptr);
    const RECT cached = w.GetWindowRect(false);
    EXPECT_EQ(cached.left, 100);
    EXPECT_EQ(cached.top, 50);
    EXPECT_EQ(cached.right, 300);
    EXPECT_EQ(cached.bottom, 250);
    w.CreateWindow();
    RECT real;
    GetWindowRect(w.GetHandle(), &real);
    EXPECT_EQ(real.left, 100);
    EXPECT_EQ(real.top, 50);
    EXPECT_EQ(real.right - real.left, 200);
    EXPECT_EQ(real.bottom - real.top, 200);
    w.SetWindowRect(RECT{220, 180, 20, 40}, SWP_NOZORDER, nullptr);
    GetWindowRect(w.GetHandle(), &real);
    EXPECT_EQ(real.left, 20);
    EXPECT_EQ(real.top, 40);
    EXPECT_EQ(real.right, 220);
    EXPECT_EQ(real.bottom, 180);
}

struct CacheCase {
    const char* name;
    RECT given;
    UINT flags;
    RECT expected;
    bool visibleAfter;
};

class CachedRect : public WindowTest, public ::testing::WithParamInterface<CacheCase> {};

TEST_P(CachedRect, FollowsTheFlagsWithAndWithoutAWindow) {
    const CacheCase c = GetParam();
    for (bool withWindow : {false, true}) {
        SCOPED_TRACE(withWindow ? "with a window" : "without a window");
        RecordingWnd w(&app);
        w.SetStyle(WS_POPUP);
        w.SetWindowRect(RECT{10, 20, 110, 70}, 0, nullptr); // 100 x 50 at (10, 20)
        if (withWindow)
            w.CreateWindow();
        w.SetWindowRect(c.given, c.flags | SWP_NOZORDER | SWP_NOACTIVATE, nullptr);
        const RECT r = w.GetWindowRect(false);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
        EXPECT_EQ((w.GetStyle(false) & WS_VISIBLE) != 0, c.visibleAfter);
        if (withWindow) {
            RECT real;
            GetWindowRect(w.GetHandle(), &real);
            EXPECT_EQ(real.left, r.left);
            EXPECT_EQ(real.top, r.top);
            EXPECT_EQ(real.right, r.right);
            EXPECT_EQ(real.bottom, r.bottom);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Flags, CachedRect,
    ::testing::Values(
        CacheCase{"plain", {50, 60, 80, 100}, 0, {50, 60, 80, 100}, false},
        CacheCase{"reversed", {80, 100, 50, 60}, 0, {50, 60, 80, 100}, false},
        CacheCase{"nomove", {500, 500, 530, 540}, SWP_NOMOVE, {10, 20, 40, 60}, false},
        CacheCase{"nosize", {30, 40, 31, 41}, SWP_NOSIZE, {30, 40, 130, 90}, false},
        CacheCase{"neither", {0, 0, 1, 1}, SWP_NOMOVE | SWP_NOSIZE, {10, 20, 110, 70}, false},
        CacheCase{"show",
                  {0, 0, 1, 1},
                  SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW,
                  {10, 20, 110, 70},
                  true},
        CacheCase{"showhide",
                  {50, 60, 80, 100},
                  SWP_SHOWWINDOW | SWP_HIDEWINDOW,
                  {50, 60, 80, 100},
                  true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, OperationsWithoutAWindowChangeOnlyTheCache) {
    RecordingWnd w(&app);
    w.SetStyle(WS_POPUP | WS_BORDER);
    w.ShowWindow(SW_SHOW);
    EXPECT_EQ(w.GetStyle(true), DWORD(WS_POPUP | WS_BORDER | WS_VISIBLE));
    w.ShowWindow(SW_HIDE);
    EXPECT_EQ(w.GetStyle(true), DWORD(WS_POPUP | WS_BORDER));
    w.SetWindowTitle("タイトル");
    EXPECT_EQ(w.GetTitle(), "タイトル");
    EXPECT_NO_THROW(w.InvalidateRect(nullptr, true));
    EXPECT_NO_THROW(w.UpdateWindow());
    EXPECT_EQ(w.SetTimer(1, 100, nullptr), 0u);
    EXPECT_EQ(w.KillTimer(1), FALSE);
    EXPECT_EQ(w.SetCapture(), nullptr);
    EXPECT_EQ(w.RegisterDragDrop(nullptr), E_UNEXPECTED);
    EXPECT_EQ(w.RevokeDragDrop(), E_UNEXPECTED);
    // The cached title and style decide how the window is made.
    w.CreateWindow();
    char text[64];
    GetWindowTextA(w.GetHandle(), text, sizeof(text));
    EXPECT_STREQ(text, "タイトル");
    EXPECT_TRUE(GetWindowLongPtrA(w.GetHandle(), GWL_STYLE) & WS_BORDER);
}

TEST_F(WindowTest, CoordinateConversionsWithoutAWindowThrow) {
    RecordingWnd w(&app);
    struct Expectation {
        std::function<void()> call;
        const char* message;
    };
    const Expectation cases[] = {
        {[&] {
             w.ScreenToClient(POINT{1, 2});
         },
         "Error KivWindow::ScreenToClient"},
        {[&] {
             w.ClientToScreen(POINT{1, 2});
         },
         "Error KivWindow::ClientToScreen"},
        {[&] {
             w.ScreenToClient(RECT{1, 2, 3, 4});
         },
         "Error KivWindow::ScreenToClient"},
        {[&] {
             w.ClientToScreen(RECT{1, 2, 3, 4});
         },
         "Error KivWindow::ClientToScreen"},
    };
    for (const Expectation& e : cases) {
        try {
            e.call();
            ADD_FAILURE() << "no exception for " << e.message;
        } catch (const KivWinBaseException& ex) {
            EXPECT_STREQ(ex.what(), e.message);
        }
    }
}

TEST_F(WindowTest, RectangleConversionNormalisesCorners) {
    RecordingWnd w(&app);
    w.SetStyle(WS_POPUP);
    w.SetWindowRect(RECT{100, 200, 300, 400}, 0, nullptr);
    w.CreateWindow();
    const RECT client = w.ScreenToClient(RECT{150, 260, 110, 210});
    EXPECT_EQ(client.left, 10);
    EXPECT_EQ(client.top, 10);
    EXPECT_EQ(client.right, 50);
    EXPECT_EQ(client.bottom, 60);
    const RECT screen = w.ClientToScreen(client);
    EXPECT_EQ(screen.left, 110);
    EXPECT_EQ(screen.bottom, 260);
}

TEST_F(WindowTest, PostMessageToNoWindowThrows) {
    RecordingWnd w(&app);
    // A null handle posts to the thread; a destroyed window fails.
    w.CreateWindow();
    HWND h = w.GetHandle();
    ::DestroyWindow(h);
    try {
        w.PostMessage(WM_USER, 0, 0);
        FAIL();
    } catch (const KivWinBaseException& e) {
        EXPECT_STREQ(e.what(), "Error KivWindow::PostMessage");
    }
}

TEST_F(WindowTest, SetWindowTitleOnADeadWindowThrows) {
    RecordingWnd w(&app);
    w.CreateWindow();
    ::DestroyWindow(w.GetHandle());
    try {
        w.SetWindowTitle("x");
        FAIL();
    } catch (const KivWinBaseException& e) {
        EXPECT_STREQ(e.what(), "Error NWnd::SetWindowTitle");
    }
    EXPECT_THROW(w.SetWindowRect(RECT{0, 0, 5, 5}, 0, nullptr), KivWinBaseException);
}

TEST_F(WindowTest, AdjustWindowRectExWorksWithoutAWindow) {
    RecordingWnd w(&app);
    w.SetStyle(WS_OVERLAPPEDWINDOW);
    const RECT outer = w.AdjustWindowRectEx(RECT{0, 0, 100, 100}, false);
    EXPECT_LT(outer.left, 0);
    EXPECT_LT(outer.top, 0);
    EXPECT_GT(outer.right, 100);
}

// --- exceptions never unwind through the window procedure -------------------------------------

class ThrowingWnd : public NFrameWnd {
public:
    using NFrameWnd::NFrameWnd;
    bool throwOnCreate = false;
    bool idleSendThrows = false; // the idle hook sends a message whose handler quits and throws
    int idleCalls = 0;
    int idleBusy = 0;
    std::vector<UINT> threadMessages;
    void OnCreate() override {
        if (throwOnCreate)
            throw std::runtime_error("create failed");
    }
    void OnLButtonDown(WPARAM, int, int) override {
        throw KivWinBaseException("Error Test::Click");
    }
    int OnIdle() override {
        ++idleCalls;
        if (idleSendThrows) {
            SendMessageA(window, WM_APP + 8, 0, 0);
            return 0;
        }
        if (idleBusy > 0) {
            --idleBusy;
            return 1;
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    }
    LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override {
        if (m == WM_APP + 7)
            threadMessages.push_back(m);
        if (m == WM_APP + 8) {
            PostQuitMessage(0);
            throw std::runtime_error("idle send failed");
        }
        return NFrameWnd::WindowProc(m, w, l);
    }
};

TEST_F(WindowTest, HandlerExceptionIsRethrownFromTheMessageLoop) {
    ThrowingWnd w(&app);
    w.idleBusy = 1000000; // keep the idle hook from closing the window
    w.CreateWindow();
    app.mainWindow = &w;
    PostMessageA(w.GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
    try {
        app.Run();
        FAIL() << "the loop ended without the handler's exception";
    } catch (const KivWinBaseException& e) {
        EXPECT_STREQ(e.what(), "Error Test::Click");
    }
    EXPECT_FALSE(app.HasPendingException());
    app.mainWindow = nullptr;
}

// An exception parked by a send from the idle hook, whose handler also posted WM_QUIT, leaves
// the loop at once instead of being dropped with the quit.
TEST_F(WindowTest, AnExceptionOfASendFromTheIdleHookLeavesTheLoop) {
    ThrowingWnd w(&app);
    w.idleSendThrows = true;
    w.CreateWindow();
    app.mainWindow = &w;
    try {
        app.Run();
        ADD_FAILURE() << "the loop ended without the handler's exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "idle send failed");
    }
    app.mainWindow = nullptr;
    EXPECT_EQ(w.idleCalls, 1);
    EXPECT_FALSE(app.HasPendingException());
}

TEST_F(WindowTest, CreateExceptionComesOutOfCreateWindowAndLeavesNoHandle) {
    const int before = ToolkitWindowsOfThisThread();
    ThrowingWnd w(&app);
    w.throwOnCreate = true;
    try {
        w.CreateWindow();
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "create failed");
    }
    EXPECT_EQ(w.GetHandle(), nullptr);
    EXPECT_FALSE(w.OwnsWindow());
    EXPECT_EQ(ToolkitWindowsOfThisThread(), before);
    // The object can try again.
    w.throwOnCreate = false;
    w.CreateWindow();
    EXPECT_TRUE(IsWindow(w.GetHandle()));
    EXPECT_TRUE(w.OwnsWindow());
}

TEST_F(WindowTest, LoopCallsIdleUntilItReturnsZeroAndRoutesThreadMessages) {
    ThrowingWnd w(&app);
    w.CreateWindow();
    app.mainWindow = &w;
    w.idleBusy = 3;
    PostThreadMessageA(GetCurrentThreadId(), WM_APP + 7, 0, 0);
    app.Run(); // the last idle call closes the frame

    app.mainWindow = nullptr;
    ASSERT_EQ(w.threadMessages.size(), 1u);
    // Three busy answers each ask for another call at once, then the loop blocks.
    EXPECT_GE(w.idleCalls, 4);
}

TEST(GetCursorPoint, MatchesTheSystemCursor) {
    SetCursorPos(123, 45);
    POINT expected;
    ASSERT_TRUE(GetCursorPos(&expected));
    const POINT p = GetCursorPoint();
    EXPECT_EQ(p.x, expected.x);
    EXPECT_EQ(p.y, expected.y);
}

} // namespace
