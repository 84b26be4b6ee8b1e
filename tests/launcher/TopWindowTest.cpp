// KivTopWindow in this process over real folders: where it docks and shows, its states, and the
// full-screen test against real foreground windows.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "KivTopWindow.h"
#include "KivWinProperty.h"
#include "TestSupport.h"

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

RECT WindowRectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

class TopWindow : public ::testing::Test {
protected:
    kivtest::TempDir data{"kivtopdata"};
    std::string folder = data / "TopWindow1";
    NApp app{GetModuleHandleA(nullptr)};
    NWnd frame{&app};

    void SetUp() override {
        kivtest::MakeDir(folder);
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            kivtest::WriteTextFile(folder + "\\" + name, "x");
    }

    KivItem FolderItem() const {
        KivItem item;
        item.SetPathId(KivPidl(folder.c_str()));
        return item;
    }

    void SetProperty(const std::function<void(KivWinProperty&)>& change) {
        KivWinProperty property(data.Path().c_str());
        property.LoadParam(FolderItem().folderPath.c_str());
        change(property);
        property.SaveParam(FolderItem().folderPath.c_str());
    }

    std::unique_ptr<KivTopWindow> Create() {
        auto w = std::make_unique<KivTopWindow>(&frame, data.Path().c_str(), FolderItem());
        w->CreateWindow();
        return w;
    }

    // The window rectangle of a client rectangle, with the frame the top window really has.
    static RECT Framed(HWND w, RECT client) {
        AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrA(w, GWL_EXSTYLE)));
        return client;
    }
};

struct EdgeCase {
    int side;
    int offset;
};

class TopWindowEdges : public TopWindow, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(TopWindowEdges, DocksOnItsStripAndShowsItsWholeClientArea) {
    SetProperty([](KivWinProperty& p) {
        p.WindowSide = static_cast<signed char>(GetParam().side);
        p.WinSideOffset = GetParam().offset;
        p.NeedSize = true;
    });
    auto w = Create();
    EXPECT_EQ(w->GetPopState(), KivTopWindow::Docked);
    const SIZE c = w->GetClientSize();
    ASSERT_GT(c.cx, 0);
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN), s = 3;
    const int off = GetParam().offset;
    RECT shown{}, strip{};
    switch (GetParam().side) {
    case 0:
        shown = {off, 0, off + c.cx, c.cy};
        strip = {off, 0, off + c.cx, s};
        break;
    case 2:
        shown = {W - c.cx, off, W, off + c.cy};
        strip = {W - s, off, W, off + c.cy};
        break;
    case 3:
        shown = {off, H - c.cy, off + c.cx, H};
        strip = {off, H - s, off + c.cx, H};
        break;
    default:
        shown = {0, off, c.cx, off + c.cy};
        strip = {0, off, s, off + c.cy};
        break;
    }
    EXPECT_EQ(RectText(w->GetShownRect()), RectText(Framed(w->GetHandle(), shown)));
    EXPECT_EQ(RectText(w->GetHiddenRect()), RectText(Framed(w->GetHandle(), strip)));
    EXPECT_EQ(RectText(WindowRectOf(w->GetHandle())), RectText(w->GetHiddenRect()));

    w->Show(false);
    EXPECT_EQ(w->GetPopState(), KivTopWindow::Shown);
    EXPECT_EQ(RectText(WindowRectOf(w->GetHandle())), RectText(w->GetShownRect()));
    // The frame taken off is exactly the client area the layout asked for.
    RECT client{};
    GetClientRect(w->GetHandle(), &client);
    EXPECT_EQ(client.right, c.cx);
    EXPECT_EQ(client.bottom, c.cy);
    // The client area's docked side lies on the screen's edge.
    POINT origin{0, 0};
    ClientToScreen(w->GetHandle(), &origin);
    if (GetParam().side == 0)
        EXPECT_EQ(origin.y, 0);
    else if (GetParam().side == 3)
        EXPECT_EQ(origin.y + c.cy, H);
    else if (GetParam().side == 2)
        EXPECT_EQ(origin.x + c.cx, W);
    else
        EXPECT_EQ(origin.x, 0);

    w->Hide(false, true);
    EXPECT_EQ(w->GetPopState(), KivTopWindow::DockedLocked);
    EXPECT_EQ(RectText(WindowRectOf(w->GetHandle())), RectText(w->GetHiddenRect()));
}

INSTANTIATE_TEST_SUITE_P(Edges, TopWindowEdges,
                         ::testing::Values(EdgeCase{0, 100}, EdgeCase{1, 50}, EdgeCase{2, 200},
                                           EdgeCase{3, 300}, EdgeCase{7, 20}));

TEST_F(TopWindow, TrueHideHidesToNothingAndShowStillShows) {
    SetProperty([](KivWinProperty& p) { p.TrueHide = true; });
    auto w = Create();
    EXPECT_EQ(w->GetPopState(), KivTopWindow::Hidden);
    EXPECT_EQ(RectText(WindowRectOf(w->GetHandle())), "0,0,0,0");
    w->Show(false);
    EXPECT_EQ(w->GetPopState(), KivTopWindow::Shown);
    EXPECT_EQ(RectText(WindowRectOf(w->GetHandle())), RectText(w->GetShownRect()));
    w->Hide(false, true);
    EXPECT_EQ(w->GetPopState(), KivTopWindow::Hidden);
}

TEST_F(TopWindow, AnimatedShowAndHideEndWhereTheUnanimatedOnesDo) {
    // A negative wait from a hand-edited record is taken as no wait.
    SetProperty([](KivWinProperty& p) { p.AnimateSH = true; });
    {
        KivWinProperty defaults(data.Path().c_str());
        defaults.LoadParam(nullptr);
        defaults.AnimateSHWait = -1;
        defaults.SaveParam(nullptr);
    }
    auto w = Create();
    const DWORD start = GetTickCount();
    w->Show(true);
    EXPECT_EQ(RectText(WindowRectOf(w->GetHandle())), RectText(w->GetShownRect()));
    w->Hide(true, false);
    EXPECT_EQ(RectText(WindowRectOf(w->GetHandle())), RectText(w->GetHiddenRect()));
    EXPECT_EQ(w->GetPopState(), KivTopWindow::Docked);
    EXPECT_LT(GetTickCount() - start, 10000u) << "the slide waited";
}

// A window of a class of the given name placed over the given rectangle, made the foreground.
class Foreground {
public:
    Foreground(const char* className, RECT r, DWORD style) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        RegisterClassA(&wc);
        window =
            CreateWindowExA(0, className, "", style | WS_VISIBLE, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(window);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    ~Foreground() { DestroyWindow(window); }
    bool InFront() const { return GetForegroundWindow() == window; }
    HWND window;
};

TEST_F(TopWindow, FullScreenTestFollowsMaxLockAndTheForegroundWindow) {
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const char* className;
        RECT rect;
        DWORD style;
        bool maxLock;
        bool expected;
    } cases[] = {
        {"KivTestSmall", {100, 100, 300, 300}, WS_POPUP, true, false},
        {"KivTestCover", {0, 0, W, H}, WS_POPUP, true, true},
        {"KivTestCover", {0, 0, W, H}, WS_POPUP, false, false},
        {"KivTestAlmost", {0, 0, W - 2, H}, WS_POPUP, true, false},
        {"KivTestZoomed", {100, 100, 300, 300}, WS_OVERLAPPEDWINDOW | WS_MAXIMIZE, true, true},
        {"Progman", {0, 0, W, H}, WS_POPUP, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        SetProperty([&](KivWinProperty& p) { p.MaxLock = c.maxLock; });
        auto w = Create();
        Foreground front(c.className, c.rect, c.style);
        if (!front.InFront())
            GTEST_SKIP() << "the window system did not bring the test's window to the front";
        EXPECT_EQ(w->IsForegroundFullScreen(), c.expected);
        // A full-screen window in front hides the top window to nothing.
        w->Hide(false, false);
        EXPECT_EQ(w->GetPopState(), c.expected ? KivTopWindow::Hidden : KivTopWindow::Docked);
    }
}

} // namespace
