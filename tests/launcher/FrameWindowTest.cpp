#include <gtest/gtest.h>

#include "KivFrameWindow.h"
#include "KivWinProperty.h"
#include "TestSupport.h"

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

// Counts the frame's timer ticks; the frame itself ignores them.
class TickingFrame : public KivFrameWindow {
public:
    using KivFrameWindow::KivFrameWindow;
    int ticks = 0;
    void OnTimer(WPARAM id, LPARAM) override {
        if (id == timerId)
            ++ticks;
    }
};

class FrameWindow : public ::testing::Test {
protected:
    kivtest::TempDir dir{"kivframe"};
    NApp app{GetModuleHandleA(nullptr)};
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);

    void TearDown() override {
        CloseHandle(event);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // Pumps messages for the given time.
    static void Pump(DWORD milliseconds) {
        const DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < milliseconds) {
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            Sleep(5);
        }
    }
};

TEST_F(FrameWindow, TimerPeriodComesFromTheDefaultRecord) {
    KivWinProperty defaults(dir.Path().c_str());
    defaults.LoadParam(nullptr);
    defaults.TimerTimeOut = 400;
    defaults.SaveParam(nullptr);

    TickingFrame frame(&app, event, dir.Path().c_str());
    frame.CreateWindow();
    Pump(1300);
    // 400 ms gives three ticks; the built-in 100 ms would give a dozen. A slow machine only
    // gives fewer.
    EXPECT_GE(frame.ticks, 1);
    EXPECT_LE(frame.ticks, 4);
}

TEST_F(FrameWindow, IdleHookHonoursTheCloseRequest) {
    KivFrameWindow frame(&app, event, dir.Path().c_str());
    frame.CreateWindow();
    const HWND handle = frame.GetHandle();
    EXPECT_EQ(frame.OnIdle(), 0);
    EXPECT_TRUE(IsWindow(handle));
    SetEvent(event);
    EXPECT_EQ(frame.OnIdle(), 0);
    EXPECT_FALSE(IsWindow(handle));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    // The auto-reset event was consumed by the test.
    EXPECT_EQ(WaitForSingleObject(event, 0), DWORD(WAIT_TIMEOUT));
}

TEST_F(FrameWindow, IsAnInvisibleTopmostToolWindowTitledKiv) {
    KivFrameWindow frame(&app, event, dir.Path().c_str());
    frame.CreateWindow();
    char title[16];
    GetWindowTextA(frame.GetHandle(), title, sizeof(title));
    EXPECT_STREQ(title, "Kiv");
    const LONG_PTR style = GetWindowLongPtrA(frame.GetHandle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    RECT r;
    GetWindowRect(frame.GetHandle(), &r);
    EXPECT_EQ(r.right - r.left, 0);
    SendMessageA(frame.GetHandle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(frame.GetHandle()));
}

} // namespace
