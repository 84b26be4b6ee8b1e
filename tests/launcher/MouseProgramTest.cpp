// Kiv.exe answering the mouse: the cursor is moved and the buttons pressed as a user would (the
// system's own input, seen by every program on the display), and Kiv's windows and files are read
// back. Resting on a strip opens its top window, leaving hides it, a click launches an item and
// hides every top window, folders cascade, Ctrl+Shift clicks exchange items for good, and a top
// window dragged by its background moves to another edge for good.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KivIconSortHelper.h"
#include "KivItem.h"
#include "KivPidl.h"
#include "KivWinProperty.h"
#include "KivWindow.h"
#include "NApp.h"
#include "TestSupport.h"

using kivtest::ChildProcess;
using kivtest::TempDir;
using kivtest::WindowInfo;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

// Generous: the machine running the tests may be slow.
const DWORD timeout = 30000;

SIZE Screen() {
    return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = timeout) {
    return kivtest::WaitFor(done, milliseconds);
}

// The system's input, as from the mouse and the keyboard.
void MoveTo(int x, int y) {
    SetCursorPos(x, y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE; // a move of nothing: the window under it hears of it
    SendInput(1, &input, sizeof(input));
}

void Button(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
    Sleep(30);
}

void Key(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

void Click(POINT p) {
    MoveTo(p.x, p.y);
    Sleep(30);
    Button(MOUSEEVENTF_LEFTDOWN);
    Button(MOUSEEVENTF_LEFTUP);
}

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

class KivMouse : public ::testing::Test {
protected:
    TempDir dir{"kivmouse"};
    std::string data = dir / "IconData";
    std::string top = data + "\\TopWindow1";
    NApp app{GetModuleHandleA(nullptr)};
    NWnd owner{&app};

    // TopWindow1: a launcher (a.exe), b.txt, c.txt and the folder d with e.txt and the folder f.
    void SetUp() override {
        kivtest::MakeDir(data);
        kivtest::MakeDir(top);
        ASSERT_TRUE(CopyFileA(kivtest::BuiltProgram("kivmarker.exe").c_str(),
                              (top + "\\a.exe").c_str(), FALSE));
        kivtest::WriteTextFile(top + "\\b.txt", "b");
        kivtest::WriteTextFile(top + "\\c.txt", "c");
        kivtest::MakeDir(top + "\\d");
        kivtest::WriteTextFile(top + "\\d\\e.txt", "e");
        kivtest::MakeDir(top + "\\d\\f");
        kivtest::WriteTextFile(top + "\\d\\f\\g.txt", "g");
        // A small window along the top edge that opens and hides at once, without sliding.
        SetTopProperty([](KivWinProperty& p) {
            p.WindowSide = 0;
            p.WinSideOffset = 100;
            p.NeedSize = true;
            p.ShowTime = 0;
            p.HideTime = 0;
            p.AnimateSH = false;
        });
        SetFolderProperty(top + "\\d", [](KivWinProperty& p) { p.ShowTime = 0; });
        SetFolderProperty(top + "\\d\\f", [](KivWinProperty& p) { p.ShowTime = 0; });
        SetCursorPos(Screen().cx / 2, Screen().cy / 2);
    }

    void TearDown() override {
        Key(VK_CONTROL, false);
        Key(VK_SHIFT, false);
    }

    static std::string FolderPathOf(const std::string& path) {
        KivItem item;
        item.SetPathId(KivPidl(path.c_str()));
        return item.folderPath;
    }

    void SetFolderProperty(const std::string& path,
                           const std::function<void(KivWinProperty&)>& change) {
        KivWinProperty property(data.c_str());
        property.LoadParam(FolderPathOf(path).c_str());
        change(property);
        property.SaveParam(FolderPathOf(path).c_str());
    }

    void SetTopProperty(const std::function<void(KivWinProperty&)>& change) {
        SetFolderProperty(top, change);
    }

    KivWinProperty TopProperty() {
        KivWinProperty property(data.c_str());
        property.LoadParam(FolderPathOf(top).c_str());
        return property;
    }

    std::unique_ptr<ChildProcess> Start(const std::string& arguments = "") {
        std::string line = "\"" + kivtest::BuiltProgram("Kiv.exe") + "\"";
        if (!arguments.empty())
            line += " " + arguments;
        return std::make_unique<ChildProcess>(line, dir.Path());
    }

    void Stop(ChildProcess& kiv) {
        auto closer = Start("/CloseKiv");
        EXPECT_EQ(closer->Wait(timeout), 0u);
        EXPECT_EQ(kiv.Wait(timeout), 0u) << "the running instance did not end";
    }

    // The icon windows of the process (the top window and any sub-folder windows).
    static std::vector<WindowInfo> IconWindows(const ChildProcess& kiv) {
        std::vector<WindowInfo> found;
        for (const WindowInfo& w : kivtest::TopLevelWindows(kiv.Id()))
            if (w.className == "NWindowClass" && w.title != "Kiv")
                found.push_back(w);
        return found;
    }

    // TopWindow1: the icon window whose left side lies near 100 (its WinSideOffset) and that no
    // other icon window owns.
    static HWND TopWindow(const ChildProcess& kiv) {
        for (const WindowInfo& w : IconWindows(kiv)) {
            const HWND owner = GetWindow(w.handle, GW_OWNER);
            if ((!owner || owner == FindFrame(kiv)) && w.rect.left > 50 && w.rect.left < 150)
                return w.handle;
        }
        return nullptr;
    }

    static HWND FindFrame(const ChildProcess& kiv) {
        for (const WindowInfo& w : kivtest::TopLevelWindows(kiv.Id()))
            if (w.className == "NWindowClass" && w.title == "Kiv")
                return w.handle;
        return nullptr;
    }

    // The visible windows that `owner` owns (its sub-folder window).
    static HWND OwnedVisible(const ChildProcess& kiv, HWND ownerWindow) {
        for (const WindowInfo& w : IconWindows(kiv))
            if (GetWindow(w.handle, GW_OWNER) == ownerWindow && w.visible) {
                RECT r;
                GetWindowRect(w.handle, &r);
                if (r.right > r.left && r.bottom > r.top)
                    return w.handle;
            }
        return nullptr;
    }

    static RECT RectOf(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }

    // The top window docked and ready: visible, a few pixels high at the top edge.
    HWND WaitDocked(const ChildProcess& kiv) {
        HWND window = nullptr;
        WaitFor([&] {
            window = TopWindow(kiv);
            if (!window || !IsWindowVisible(window))
                return false;
            const RECT r = RectOf(window);
            return r.bottom > 0 && r.bottom < 20;
        });
        return window;
    }

    static bool IsShown(HWND window) {
        const RECT r = RectOf(window);
        return r.bottom - r.top > 30;
    }

    // Where item `name` of a window over `path` lies on the screen, laid out as Kiv lays it out.
    POINT ItemCenter(HWND window, const std::string& path, const std::string& name) {
        KivItem folder;
        folder.SetPathId(KivPidl(path.c_str()));
        KivWindow layout(&owner, data.c_str(), folder);
        layout.LoadAndLayout(KivWindow::neverAbort);
        const KivItemList& items = layout.GetItems();
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].displayName != name && items[i].displayName + ".exe" != name)
                continue;
            const RECT r = layout.GetItemRect(static_cast<int>(i));
            POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ClientToScreen(window, &p);
            return p;
        }
        ADD_FAILURE() << "no item " << name;
        return POINT{-1, -1};
    }

    // A point of the window's client area, one pixel in from its lower end (the strip's visible
    // part is client area; the frame answers no clicks).
    static POINT InStrip(HWND window) {
        RECT client;
        GetClientRect(window, &client);
        POINT p{client.right / 2, std::max<LONG>(client.bottom - 2, 0)};
        ClientToScreen(window, &p);
        return p;
    }

    // A client point of the shown window on no item, from the same layout as Kiv's.
    POINT BackgroundPoint(HWND window) {
        KivItem folder;
        folder.SetPathId(KivPidl(top.c_str()));
        KivWindow layout(&owner, data.c_str(), folder);
        layout.LoadAndLayout(KivWindow::neverAbort);
        const SIZE size = layout.GetClientSize();
        for (int y = size.cy - 1; y >= 0; --y)
            for (int x = size.cx - 1; x >= 0; --x)
                if (layout.HitTest(POINT{x, y}) < 0) {
                    POINT p{x, y};
                    ClientToScreen(window, &p);
                    return p;
                }
        ADD_FAILURE() << "the window has no background";
        return POINT{-1, -1};
    }

    // Rests the cursor on the strip until the window is shown.
    bool OpenByResting(HWND window) {
        const POINT p = InStrip(window);
        MoveTo(p.x, p.y);
        return WaitFor([&] { return IsShown(window); });
    }

    std::vector<std::string> StoredOrder() {
        KivIconSortHelper<std::string> order(data.c_str());
        order.LoadParam(FolderPathOf(top).c_str());
        std::vector<std::string> names;
        for (const std::string& name : order.names)
            names.push_back(name.substr(name.find_last_of('\\') + 1));
        return names;
    }
};

TEST_F(KivMouse, RestingOnTheStripOpensTheWindowAndLeavingHidesItAfterHideTime) {
    SetTopProperty([](KivWinProperty& p) { p.HideTime = 1500; });
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    const RECT docked = RectOf(window);
    ASSERT_TRUE(OpenByResting(window)) << RectText(RectOf(window));
    const RECT shown = RectOf(window);
    EXPECT_EQ(shown.left, docked.left);
    EXPECT_EQ(shown.right, docked.right);
    EXPECT_EQ(shown.top, docked.top);
    EXPECT_GT(shown.bottom, docked.bottom);

    // Away from the window, resting: it hides after HideTime, not before.
    MoveTo(Screen().cx / 2, Screen().cy - 100);
    const DWORD left = GetTickCount();
    ASSERT_TRUE(WaitFor([&] { return Same(RectOf(window), docked); })) << RectText(RectOf(window));
    EXPECT_GE(GetTickCount() - left, 1400u);
    Stop(*kiv);
}

TEST_F(KivMouse, WithAnimateSHTheWindowPassesThroughIntermediateRectangles) {
    SetTopProperty([](KivWinProperty& p) {
        p.AnimateSH = true;
        p.AnimateSHWait = 60;
    });
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    const RECT docked = RectOf(window);
    const POINT p = InStrip(window);
    MoveTo(p.x, p.y);
    std::vector<LONG> bottoms;
    WaitFor([&] {
        bottoms.push_back(RectOf(window).bottom);
        return IsShown(window) && bottoms.size() > 1 &&
               bottoms.back() == bottoms[bottoms.size() - 2];
    });
    const LONG shownBottom = RectOf(window).bottom;
    ASSERT_GT(shownBottom, docked.bottom + 30);
    const bool between = std::any_of(bottoms.begin(), bottoms.end(), [&](LONG b) {
        return b > docked.bottom + 1 && b < shownBottom - 1;
    });
    EXPECT_TRUE(between) << "no frame between the strip and the shown window";
    Stop(*kiv);
}

TEST_F(KivMouse, AClickOnAFileLaunchesItAndHidesEveryTopWindow) {
    // A second top window at the bottom edge, which only a click or UM_HIDEALL closes.
    const std::string second = data + "\\TopWindow2";
    kivtest::MakeDir(second);
    kivtest::WriteTextFile(second + "\\z.txt", "z");
    SetFolderProperty(second, [](KivWinProperty& p) {
        p.WindowSide = 3;
        p.WinSideOffset = 300;
        p.NeedSize = true;
        p.ShowTime = 0;
        p.ClickWinClose = true;
        p.AnimateSH = false;
    });
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    const RECT docked = RectOf(window);
    HWND bottom = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (const WindowInfo& w : IconWindows(*kiv))
            if (w.rect.bottom > Screen().cy && w.visible)
                bottom = w.handle;
        return bottom != nullptr;
    }));
    const RECT bottomDocked = RectOf(bottom);
    ASSERT_TRUE(OpenByResting(bottom));
    ASSERT_TRUE(OpenByResting(window));
    EXPECT_TRUE(IsShown(bottom)) << "ClickWinClose keeps it open";
    // HideTime 0 would hide it as soon as the cursor leaves, so the click comes from inside.
    Click(ItemCenter(window, top, "a.exe"));
    EXPECT_TRUE(WaitFor([&] { return kivtest::Exists(top + "\\a.exe.ran"); }))
        << "the item was not launched";
    EXPECT_TRUE(WaitFor([&] { return Same(RectOf(window), docked); }))
        << "still shown: " << RectText(RectOf(window));
    EXPECT_TRUE(WaitFor([&] { return Same(RectOf(bottom), bottomDocked); }))
        << "the other top window is still shown: " << RectText(RectOf(bottom));
    Stop(*kiv);
}

TEST_F(KivMouse, WithNotHideOnIconClickTheWindowStaysAfterALaunch) {
    SetTopProperty([](KivWinProperty& p) { p.NotHideOnIconClick = true; });
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(OpenByResting(window));
    Click(ItemCenter(window, top, "a.exe"));
    ASSERT_TRUE(WaitFor([&] { return kivtest::Exists(top + "\\a.exe.ran"); }));
    // A while after the launch (the cursor still on the item) it is still shown.
    const DWORD start = GetTickCount();
    WaitFor([&] { return GetTickCount() - start > 1500; });
    EXPECT_TRUE(IsShown(window)) << RectText(RectOf(window));
    Stop(*kiv);
}

TEST_F(KivMouse, RestingOnFoldersCascadesAndAFileItemHidesTheSubFolderWindow) {
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(OpenByResting(window));
    MoveTo(ItemCenter(window, top, "d").x, ItemCenter(window, top, "d").y);
    HWND sub = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (sub = OwnedVisible(*kiv, window)) != nullptr; }));
    // Beside the item: a top window along the top edge opens its sub-folder windows below.
    EXPECT_GE(RectOf(sub).top, RectOf(window).bottom - 10);

    const POINT f = ItemCenter(sub, top + "\\d", "f");
    MoveTo(f.x, f.y);
    HWND third = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (third = OwnedVisible(*kiv, sub)) != nullptr; }));

    const POINT b = ItemCenter(window, top, "b.txt");
    MoveTo(b.x, b.y);
    EXPECT_TRUE(WaitFor([&] { return OwnedVisible(*kiv, window) == nullptr; }));
    EXPECT_TRUE(IsShown(window));
    Stop(*kiv);
}

TEST_F(KivMouse, ClickWinOpenOpensTheTopWindowByAClickOnItsStripOnly) {
    SetTopProperty([](KivWinProperty& p) {
        p.ClickWinOpen = true;
        p.ClickWinClose = true;
    });
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    const RECT docked = RectOf(window);
    const POINT onStrip = InStrip(window);
    MoveTo(onStrip.x, onStrip.y);
    const DWORD start = GetTickCount();
    WaitFor([&] { return GetTickCount() - start > 1500; });
    EXPECT_FALSE(IsShown(window)) << "opened by resting";
    Click(onStrip);
    ASSERT_TRUE(WaitFor([&] { return IsShown(window); }));
    // ClickWinClose: it stays while the cursor is away, and a background click hides it.
    MoveTo(Screen().cx / 2, Screen().cy - 100);
    const DWORD away = GetTickCount();
    WaitFor([&] { return GetTickCount() - away > 1000; });
    EXPECT_TRUE(IsShown(window));
    Click(BackgroundPoint(window));
    EXPECT_TRUE(WaitFor([&] { return Same(RectOf(window), docked); }));
    Stop(*kiv);
}

TEST_F(KivMouse, CtrlShiftClicksExchangeItemsAndTheOrderSurvivesARestart) {
    SetTopProperty([](KivWinProperty& p) { p.HideTime = 3000; });
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    // Keys go to the thread of the focus window: Kiv's window is made the foreground window, as
    // when a user presses the keys with the cursor on it.
    SetForegroundWindow(window);
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        Stop(*kiv);
        GTEST_SKIP() << "under Wine, Ctrl and Shift pressed through SendInput by another process "
                        "never reach the key flags of Kiv's mouse messages (Kiv's thread was seen "
                        "to get MK_LBUTTON alone, with Kiv's window in the foreground), and "
                        "xdotool cannot be started from a Wine test; the exchange and its record "
                        "are tested on a window of the test's own";
    }
    Key(VK_CONTROL, true);
    Key(VK_SHIFT, true);
    ASSERT_TRUE(OpenByResting(window));
    const POINT b = ItemCenter(window, top, "b.txt"), c = ItemCenter(window, top, "c.txt");
    Click(b);
    Sleep(300);
    Click(c);
    Key(VK_SHIFT, false);
    Key(VK_CONTROL, false);
    std::vector<std::string> order;
    ASSERT_TRUE(WaitFor([&] {
        order = StoredOrder();
        return !order.empty();
    })) << "no icon order was stored";
    const auto pos = [&](const std::string& name) {
        return std::find(order.begin(), order.end(), name) - order.begin();
    };
    EXPECT_LT(pos("c.txt"), pos("b.txt")) << "not exchanged";
    EXPECT_FALSE(kivtest::Exists(top + "\\a.exe.ran")) << "an exchange click launched";
    Stop(*kiv);

    auto again = Start();
    const HWND window2 = WaitDocked(*again);
    ASSERT_NE(window2, nullptr);
    ASSERT_TRUE(OpenByResting(window2));
    // The restarted Kiv lays the items out in the stored order and leaves the record as it is.
    EXPECT_EQ(StoredOrder(), order);
    const POINT c2 = ItemCenter(window2, top, "c.txt");
    EXPECT_EQ(c2.x, b.x);
    EXPECT_EQ(c2.y, b.y);
    Stop(*again);
}

TEST_F(KivMouse, DraggingTheBackgroundToTheLeftEdgeMovesTheWindowThereForGood) {
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(OpenByResting(window));
    const POINT p = BackgroundPoint(window);
    MoveTo(p.x, p.y);
    Sleep(50);
    Button(MOUSEEVENTF_LEFTDOWN);
    const POINT target{0, Screen().cy / 2};
    for (int i = 1; i <= 20; ++i) {
        MoveTo(p.x + (target.x - p.x) * i / 20, p.y + (target.y - p.y) * i / 20);
        Sleep(50);
    }
    // While it moves it is shown at the left edge.
    EXPECT_TRUE(WaitFor([&] { return RectOf(window).left <= 0 && IsShown(window); }))
        << RectText(RectOf(window));
    Button(MOUSEEVENTF_LEFTUP);
    ASSERT_TRUE(WaitFor([&] { return TopProperty().WindowSide == 1; }))
        << "WindowSide " << TopProperty().WindowSide;
    MoveTo(Screen().cx / 2, Screen().cy / 2);
    Stop(*kiv);

    auto again = Start();
    ASSERT_TRUE(WaitFor([&] {
        for (const WindowInfo& w : IconWindows(*again)) {
            const RECT r = RectOf(w.handle);
            if (w.visible && r.left < 0 && r.right < 20 && r.bottom > r.top + 30)
                return true;
        }
        return false;
    })) << "not docked at the left edge after a restart";
    Stop(*again);
}

} // namespace
