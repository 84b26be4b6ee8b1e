#include <gtest/gtest.h>

#include "DummyDataObject.h"
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

std::string TopFolder(const kivtest::TempDir& dir, int n) {
    return dir / ("TopWindow" + std::to_string(n));
}

TEST_F(FrameWindow, FirstIdleBuildsOneTopWindowPerFolderUpToTheFirstGap) {
    for (int n : {1, 2, 4})
        kivtest::MakeDir(TopFolder(dir, n));
    KivFrameWindow frame(&app, event, dir.Path().c_str());
    frame.CreateWindow();
    EXPECT_TRUE(frame.IsReloadPending());
    EXPECT_TRUE(frame.GetTopWindows().empty());
    frame.OnIdle();
    EXPECT_FALSE(frame.IsReloadPending());
    ASSERT_EQ(frame.GetTopWindows().size(), 2u);
    for (const auto& top : frame.GetTopWindows()) {
        EXPECT_TRUE(IsWindow(top->GetHandle()));
        EXPECT_EQ(top->GetPopState(), KivTopWindow::Docked);
        // Owned by the frame.
        EXPECT_EQ(GetWindow(top->GetHandle(), GW_OWNER), frame.GetHandle());
    }
    // Adding a top window makes the folder after the windows there are.
    frame.SendMessage(UM_ADDTOPWINDOW, 0, 0);
    EXPECT_TRUE(kivtest::Exists(TopFolder(dir, 3)));
}

TEST_F(FrameWindow, WithoutTopWindow1ItIsMadeAndTheNextChangeBuildsIt) {
    KivFrameWindow frame(&app, event, dir.Path().c_str());
    frame.CreateWindow();
    frame.OnIdle();
    EXPECT_TRUE(kivtest::Exists(TopFolder(dir, 1)));
    // The new folder wakes the change notification armed by the rebuild (already at the end of
    // the same idle pass, when the notice is quick).
    const DWORD start = GetTickCount();
    while (frame.GetTopWindows().empty() && GetTickCount() - start < 10000) {
        Pump(50);
        frame.OnIdle();
    }
    EXPECT_EQ(frame.GetTopWindows().size(), 1u);
}

TEST_F(FrameWindow, HoldFlagsStopRebuildsButNotTheCloseRequest) {
    kivtest::MakeDir(TopFolder(dir, 1));
    struct Case {
        const char* name;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        DWORD flags;
        UINT releaseMessage; // 0: the flag is never cleared
        WPARAM releaseWParam;
        LPARAM releaseLParam;
    } cases[] = {
        {"menu loop", UM_MENULOOP, 0, 1, KivFrameWindow::HoldMenuLoop, UM_MENULOOP, 0, 0},
        {"suspend", WM_POWERBROADCAST, PBT_APMSUSPEND, 0, KivFrameWindow::HoldSuspended,
         WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0},
        {"suspend, critical resume", WM_POWERBROADCAST, PBT_APMSUSPEND, 0,
         KivFrameWindow::HoldSuspended, WM_POWERBROADCAST, PBT_APMRESUMECRITICAL, 0},
        {"session end", WM_ENDSESSION, 1, 0, KivFrameWindow::HoldSessionEnd, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        KivFrameWindow frame(&app, event, dir.Path().c_str());
        frame.CreateWindow();
        frame.SendMessage(c.message, c.wParam, c.lParam);
        EXPECT_EQ(frame.GetHoldFlags(), c.flags);
        frame.OnIdle();
        EXPECT_TRUE(frame.IsReloadPending()) << "rebuilt while held";
        EXPECT_TRUE(frame.GetTopWindows().empty());
        // A resume that does not belong to the flag leaves it.
        frame.SendMessage(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0);
        EXPECT_EQ(frame.GetHoldFlags(), c.flags);
        if (c.releaseMessage) {
            frame.SendMessage(c.releaseMessage, c.releaseWParam, c.releaseLParam);
            EXPECT_EQ(frame.GetHoldFlags(), 0u);
            frame.OnIdle();
            EXPECT_EQ(frame.GetTopWindows().size(), 1u);
        } else {
            const HWND handle = frame.GetHandle();
            SetEvent(event);
            frame.OnIdle();
            EXPECT_FALSE(IsWindow(handle)) << "the close request was not honoured";
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
}

TEST_F(FrameWindow, SystemChangesAskForARebuild) {
    for (UINT message : {WM_SYSCOLORCHANGE, WM_WININICHANGE, WM_DISPLAYCHANGE}) {
        SCOPED_TRACE(message);
        KivFrameWindow frame(&app, event, dir.Path().c_str());
        frame.CreateWindow();
        frame.OnIdle();
        ASSERT_FALSE(frame.IsReloadPending());
        frame.SendMessage(message, 0, 0);
        EXPECT_TRUE(frame.IsReloadPending());
    }
}

TEST_F(FrameWindow, StartDragReleasesTheHandedOverDataObject) {
    KivFrameWindow frame(&app, event, dir.Path().c_str());
    frame.CreateWindow();
    auto* data = new DummyDataObject;
    data->AddRef(); // the test's own reference
    data->AddRef(); // the one handed over with the message
    frame.SendMessage(UM_STARTDRAG, reinterpret_cast<WPARAM>(static_cast<IDataObject*>(data)), 1);
    EXPECT_EQ(data->Release(), 0u) << "the frame kept its reference";
}

TEST_F(FrameWindow, HideAllDocksEveryTopWindow) {
    kivtest::MakeDir(TopFolder(dir, 1));
    kivtest::MakeDir(TopFolder(dir, 2));
    KivFrameWindow frame(&app, event, dir.Path().c_str());
    frame.CreateWindow();
    frame.OnIdle();
    ASSERT_EQ(frame.GetTopWindows().size(), 2u);
    for (const auto& top : frame.GetTopWindows())
        top->Show(false);
    frame.SendMessage(UM_HIDEALL, 0, 0);
    for (const auto& top : frame.GetTopWindows()) {
        EXPECT_EQ(top->GetPopState(), KivTopWindow::Docked);
        RECT r;
        GetWindowRect(top->GetHandle(), &r);
        EXPECT_EQ(r.bottom, top->GetHiddenRect().bottom);
    }
}

} // namespace
