// Kiv.exe with its top windows: started in working directories made by the tests, its windows
// read back from the virtual display.
#include <windows.h>
#include <commctrl.h>
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
#include "TestSupport.h"

using kivtest::ChildProcess;
using kivtest::TempDir;
using kivtest::WindowInfo;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

const DWORD startTimeout = 20000;
const DWORD topWindowStyle = WS_POPUP | WS_VISIBLE | WS_DLGFRAME;
const DWORD topWindowExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

SIZE Screen() {
    return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

// The window rectangle of a top window whose client rectangle is r.
RECT Framed(RECT r) {
    AdjustWindowRectEx(&r, topWindowStyle, FALSE, topWindowExStyle);
    return r;
}

std::string RectText(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class KivTopWindows : public ::testing::Test {
protected:
    TempDir dir{"kivtop"};
    std::string data = dir / "IconData";

    void SetUp() override { kivtest::MakeDir(data); }

    std::string TopFolder(int n) const { return data + "\\TopWindow" + std::to_string(n); }

    std::unique_ptr<ChildProcess> Start(const std::string& arguments = "",
                                        const char* program = "Kiv.exe") {
        std::string line = "\"" + kivtest::BuiltProgram(program) + "\"";
        if (!arguments.empty())
            line += " " + arguments;
        return std::make_unique<ChildProcess>(line, dir.Path());
    }

    void Stop(ChildProcess& kiv) {
        auto closer = Start("/CloseKiv");
        EXPECT_EQ(closer->Wait(startTimeout), 0u);
        EXPECT_EQ(kiv.Wait(startTimeout), 0u) << "the running instance did not end";
    }

    // The top windows of the process: its windows of the toolkit's class other than the frame.
    static std::vector<WindowInfo> TopWindows(const ChildProcess& kiv) {
        std::vector<WindowInfo> found;
        for (const WindowInfo& w : kivtest::TopLevelWindows(kiv.Id()))
            if (w.className == "NWindowClass" && w.title != "Kiv")
                found.push_back(w);
        return found;
    }

    // Waits until the condition holds for the process's top windows.
    static std::vector<WindowInfo>
    WaitForTopWindows(const ChildProcess& kiv,
                      const std::function<bool(const std::vector<WindowInfo>&)>& done,
                      DWORD milliseconds = startTimeout) {
        const DWORD start = GetTickCount();
        std::vector<WindowInfo> windows;
        do {
            windows = TopWindows(kiv);
            if (done(windows))
                return windows;
            Sleep(100);
        } while (GetTickCount() - start < milliseconds);
        return windows;
    }

    // Waits for that many top windows, each wholly created: a window becomes visible only when
    // its creation (which lays it out and docks it) has ended.
    static std::vector<WindowInfo> WaitForCount(const ChildProcess& kiv, size_t count) {
        return WaitForTopWindows(kiv, [&](const std::vector<WindowInfo>& windows) {
            return windows.size() == count &&
                   std::all_of(windows.begin(), windows.end(),
                               [](const WindowInfo& w) { return w.visible; });
        });
    }

    // The message boxes the process shows.
    static std::vector<HWND> Boxes(const ChildProcess& kiv) {
        std::vector<HWND> boxes;
        for (const WindowInfo& w : kivtest::TopLevelWindows(kiv.Id()))
            if (w.className == "#32770" && w.visible)
                boxes.push_back(w.handle);
        return boxes;
    }

    // The number of tools of the tooltip that a top window owns: one per item that is not a
    // separator; -1 when it has no tooltip.
    static int ToolCount(HWND topWindow) {
        DWORD process = 0;
        GetWindowThreadProcessId(topWindow, &process);
        for (const WindowInfo& w : kivtest::TopLevelWindows(process))
            if (w.className == "tooltips_class32" && GetWindow(w.handle, GW_OWNER) == topWindow)
                return static_cast<int>(SendMessageA(w.handle, TTM_GETTOOLCOUNT, 0, 0));
        return -1;
    }

    // A top folder's record with the given changes.
    void SetTopProperty(int n, const std::function<void(KivWinProperty&)>& change) {
        KivItem item;
        item.SetPathId(KivPidl(TopFolder(n).c_str()));
        KivWinProperty property(data.c_str());
        property.LoadParam(item.folderPath.c_str());
        change(property);
        property.SaveParam(item.folderPath.c_str());
    }

    void SetDefaultProperty(const std::function<void(KivWinProperty&)>& change) {
        KivWinProperty property(data.c_str());
        property.LoadParam(nullptr);
        change(property);
        property.SaveParam(nullptr);
    }

    // The docked strip of a top window with the default tuning (strip 3 pixels, frame off
    // screen) whose client rectangle is r before the strip is taken.
    static RECT DockedStrip(int side, int offset, SIZE client) {
        const SIZE s = Screen();
        const int strip = 3;
        switch (side) {
        case 0:
            return Framed(RECT{offset, 0, offset + client.cx, strip});
        case 2:
            return Framed(RECT{s.cx - strip, offset, s.cx, offset + client.cy});
        case 3:
            return Framed(RECT{offset, s.cy - strip, offset + client.cx, s.cy});
        default:
            return Framed(RECT{0, offset, strip, offset + client.cy});
        }
    }
};

TEST_F(KivTopWindows, EmptyDataDirectoryGetsTopWindow1AndOneDockedStripAlongTheTop) {
    auto kiv = Start();
    auto windows = WaitForCount(*kiv, 1);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_TRUE(kivtest::Exists(TopFolder(1)));
    EXPECT_FALSE(kivtest::Exists(TopFolder(2)));
    // The default record of a top window: top edge, offset 0, not NeedSize, so the strip is as
    // wide as the screen and three pixels of client area; the frame lies off screen.
    const RECT expected = DockedStrip(0, 0, Screen());
    EXPECT_EQ(RectText(windows[0].rect), RectText(expected));
    EXPECT_LT(windows[0].rect.top, 0);
    EXPECT_TRUE(windows[0].visible);
    EXPECT_EQ(ToolCount(windows[0].handle), 0);
    EXPECT_TRUE(Boxes(*kiv).empty());
    Stop(*kiv);
}

TEST_F(KivTopWindows, AGapInTheNumberingHidesTheLaterFolders) {
    for (int n : {1, 2, 4})
        kivtest::MakeDir(TopFolder(n));
    kivtest::WriteTextFile(TopFolder(2) + "\\a.txt", "a");
    auto kiv = Start();
    auto windows = WaitForCount(*kiv, 2);
    EXPECT_EQ(windows.size(), 2u);
    // Still two a while later: nothing else appears and no TopWindow3 is made.
    Sleep(1500);
    EXPECT_EQ(TopWindows(*kiv).size(), 2u);
    EXPECT_FALSE(kivtest::Exists(TopFolder(3)));
    std::vector<int> tools;
    for (const WindowInfo& w : TopWindows(*kiv))
        tools.push_back(ToolCount(w.handle));
    std::sort(tools.begin(), tools.end());
    EXPECT_EQ(tools, (std::vector<int>{0, 1}));
    Stop(*kiv);
}

TEST_F(KivTopWindows, AFileNamedTopWindow1ShowsTheBoxAndEndsKiv) {
    kivtest::WriteTextFile(TopFolder(1), "not a folder");
    auto kiv = Start();
    HWND box = nullptr;
    const DWORD start = GetTickCount();
    while (!box && GetTickCount() - start < startTimeout) {
        auto boxes = Boxes(*kiv);
        if (!boxes.empty())
            box = boxes.front();
        else
            Sleep(100);
    }
    ASSERT_NE(box, nullptr) << "no box";
    char title[64];
    GetWindowTextA(box, title, sizeof(title));
    EXPECT_STREQ(title, "Kiv");
    EXPECT_EQ(kivtest::MessageBoxText(box), "トップウィンドウを追加できませんでした");
    EXPECT_TRUE(kivtest::CloseMessageBox(box));
    EXPECT_EQ(kiv->Wait(startTimeout), 0u) << "Kiv did not end after the box";
    EXPECT_EQ(kivtest::ReadTextFile(TopFolder(1)), "not a folder");
}

struct SideCase {
    int side;
    int offset;
};

class KivTopWindowSides : public KivTopWindows, public ::testing::WithParamInterface<SideCase> {};

TEST_P(KivTopWindowSides, DockedAtTheEdgeAndOffsetOfTheRecord) {
    kivtest::MakeDir(TopFolder(1));
    SetTopProperty(1, [&](KivWinProperty& p) {
        p.WindowSide = static_cast<signed char>(GetParam().side);
        p.WinSideOffset = GetParam().offset;
    });
    auto kiv = Start();
    auto windows = WaitForCount(*kiv, 1);
    ASSERT_EQ(windows.size(), 1u);
    // Not NeedSize: an empty window stretches over the screen along its edge.
    const RECT expected = DockedStrip(GetParam().side, GetParam().offset, Screen());
    EXPECT_EQ(RectText(windows[0].rect), RectText(expected));
    Stop(*kiv);
}

INSTANTIATE_TEST_SUITE_P(Sides, KivTopWindowSides,
                         ::testing::Values(SideCase{0, 40}, SideCase{1, 100}, SideCase{2, 100},
                                           SideCase{3, 200}, SideCase{7, 50}));

TEST_F(KivTopWindows, TrueHideLeavesTheWindowInvisible) {
    kivtest::MakeDir(TopFolder(1));
    kivtest::MakeDir(TopFolder(2));
    SetTopProperty(1, [](KivWinProperty& p) { p.TrueHide = true; });
    auto kiv = Start();
    auto windows = WaitForCount(*kiv, 2);
    ASSERT_EQ(windows.size(), 2u);
    int empty = 0;
    for (const WindowInfo& w : windows)
        empty += w.rect.right == w.rect.left && w.rect.bottom == w.rect.top;
    EXPECT_EQ(empty, 1) << "exactly the TrueHide window has no area";
    Stop(*kiv);
}

TEST_F(KivTopWindows, ANewFileInTopWindow1RebuildsTheWindowWithTheItem) {
    kivtest::MakeDir(TopFolder(1));
    kivtest::WriteTextFile(TopFolder(1) + "\\first.txt", "1");
    auto kiv = Start();
    auto windows = WaitForTopWindows(*kiv, [](const std::vector<WindowInfo>& w) {
        return w.size() == 1 && w[0].visible && ToolCount(w[0].handle) == 1;
    });
    ASSERT_EQ(windows.size(), 1u);
    ASSERT_EQ(ToolCount(windows[0].handle), 1);
    kivtest::WriteTextFile(TopFolder(1) + "\\second.txt", "2");
    windows = WaitForTopWindows(*kiv, [](const std::vector<WindowInfo>& w) {
        return w.size() == 1 && w[0].visible && ToolCount(w[0].handle) == 2;
    });
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(ToolCount(windows[0].handle), 2);
    Stop(*kiv);
}

TEST_F(KivTopWindows, RecordsOfADeletedFolderArePrunedWithoutABox) {
    kivtest::MakeDir(TopFolder(1));
    const std::string gone = dir / "gone";
    kivtest::MakeDir(gone);
    std::string gonePath;
    {
        KivItem item;
        item.SetPathId(KivPidl(gone.c_str()));
        gonePath = item.folderPath;
        KivWinProperty property(data.c_str());
        property.LoadParam(gonePath.c_str());
        property.IconSize = 48;
        property.SaveParam(gonePath.c_str());
        KivIconSortHelper<std::string> order(data.c_str());
        order.names = {gone + "\\x"};
        order.SaveParam(gonePath.c_str());
    }
    kivtest::RemoveTree(gone);
    {
        KivWinProperty property(data.c_str());
        ASSERT_TRUE(property.ExistsParam(gonePath.c_str()));
    }
    auto kiv = Start();
    ASSERT_EQ(WaitForCount(*kiv, 1).size(), 1u);
    const DWORD start = GetTickCount();
    auto pruned = [&] {
        KivWinProperty property(data.c_str());
        KivIconSortHelper<std::string> order(data.c_str());
        return !property.ExistsParam(gonePath.c_str()) && !order.ExistsParam(gonePath.c_str());
    };
    while (!pruned() && GetTickCount() - start < startTimeout)
        Sleep(100);
    EXPECT_TRUE(pruned());
    EXPECT_TRUE(Boxes(*kiv).empty());
    Stop(*kiv);
}

TEST_F(KivTopWindows, CloseKivEndsKivWithItsWindows) {
    kivtest::MakeDir(TopFolder(1));
    kivtest::MakeDir(TopFolder(2));
    auto kiv = Start();
    ASSERT_EQ(WaitForCount(*kiv, 2).size(), 2u);
    Stop(*kiv);
    EXPECT_TRUE(TopWindows(*kiv).empty());
}

TEST_F(KivTopWindows, DebugModeTracesTheWindowsLifeInOrder) {
    kivtest::MakeDir(TopFolder(1));
    kivtest::WriteTextFile(TopFolder(1) + "\\a.txt", "a");
    auto kiv = Start("/DebugMode");
    ASSERT_EQ(WaitForCount(*kiv, 1).size(), 1u);
    Stop(*kiv);
    const std::string log = kivtest::ReadTextFile(dir / "DebugLog.txt");
    // Each line after the one before it; the window's address is the same throughout.
    const char* steps[] = {"KivWindow::KivWindow(this:%s, TWindow*, const char*:",
                           "KivWindow::KivWindow(this:%s):2",
                           "KivWindow::KivWindow(this:%s):3",
                           "KivWindow::LoadAndLayout(this:%s, NRect):1",
                           "KivWindow::LoadAndLayout(this:%s, NRect):2",
                           "KivWindow::Layout(this:%s):1",
                           "KivWindow::Layout(this:%s):2",
                           "KivWindow::Layout(this:%s):3",
                           "KivWindow::Layout(this:%s):5",
                           "KivWindow::Layout(this:%s):6",
                           "KivWindow::LoadAndLayout(this:%s, NRect):3",
                           "KivWindow::~KivWindow(this:%s):1",
                           "KivWindow::~KivWindow(this:%s):2"};
    const std::string first = "KivWindow::KivWindow(this:";
    const size_t at = log.find(first);
    ASSERT_NE(at, std::string::npos) << log;
    const std::string address =
        log.substr(at + first.size(), log.find(',', at) - at - first.size());
    size_t position = 0;
    for (const char* step : steps) {
        std::string line = step;
        line.replace(line.find("%s"), 2, address);
        const size_t found = log.find(line, position);
        EXPECT_NE(found, std::string::npos) << line;
        if (found != std::string::npos)
            position = found;
    }
}

TEST_F(KivTopWindows, AShownTopWindowTakesItsShownRectangle) {
    // The test build's Kiv keeps its top windows shown.
    kivtest::MakeDir(TopFolder(1));
    auto kiv = Start("", "KivShown.exe");
    // The default top record: cells of 68 x 70 (icon 32 above a text of 64 x 32, borders 2, gap
    // 2), a window border of 3, not NeedSize: the whole screen wide and 76 high, at the top.
    const RECT expected = Framed(RECT{0, 0, Screen().cx, 76});
    auto windows = WaitForTopWindows(*kiv, [&](const std::vector<WindowInfo>& w) {
        return w.size() == 1 && w[0].visible && w[0].rect == expected;
    });
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(RectText(windows[0].rect), RectText(expected));
    Stop(*kiv);
}

// Hand-edited records with values no dialog would write.
struct BadRecord {
    const char* name;
    std::function<void(KivWinProperty&)> change;
};

class KivBadRecords : public KivTopWindows, public ::testing::WithParamInterface<BadRecord> {};

TEST_P(KivBadRecords, NeverCrashOrHangAndKeepTheWindowWithinReason) {
    kivtest::MakeDir(TopFolder(1));
    for (const char* name : {"a.txt", "b.txt", "c.sep.kiv", "d.txt"})
        kivtest::WriteTextFile(TopFolder(1) + "\\" + name, "x");
    kivtest::MakeDir(TopFolder(1) + "\\sub");
    // The tuning values only the default record carries are set there too.
    SetTopProperty(1, GetParam().change);
    SetDefaultProperty(GetParam().change);
    auto kiv = Start();
    auto windows = WaitForCount(*kiv, 1);
    ASSERT_EQ(windows.size(), 1u);
    // Alive and quiet a while later: no box (an unhandled error shows one), no crash.
    EXPECT_EQ(kiv->Wait(1500), DWORD(STILL_ACTIVE));
    EXPECT_TRUE(Boxes(*kiv).empty());
    const RECT r = windows[0].rect;
    const SIZE s = Screen();
    if (r.right > r.left || r.bottom > r.top) {
        // Some of it is on the screen, and it is no larger than the largest window.
        EXPECT_LT(r.left, s.cx);
        EXPECT_LT(r.top, s.cy);
        EXPECT_GT(r.right, 0);
        EXPECT_GT(r.bottom, 0);
        EXPECT_LE(r.right - r.left, 30000 + 100);
        EXPECT_LE(r.bottom - r.top, 30000 + 100);
    }
    // It answers: the close request is honoured.
    Stop(*kiv);
}

INSTANTIATE_TEST_SUITE_P(
    Records, KivBadRecords,
    ::testing::Values(
        BadRecord{"NegativeSizes",
                  [](KivWinProperty& p) {
                      p.IconSize = -16;
                      p.TextSizeWMin = -50;
                      p.TextSizeWMax = -10;
                      p.TextSizeH = -5;
                      p.ItemBorderWidth = -3;
                      p.SeparatorWidth = -12;
                      p.BetweenIcon = -4;
                      p.WindowBorder = -9;
                      p.SmallWindowWidth = -3;
                  }},
        BadRecord{"ItemArrange9", [](KivWinProperty& p) { p.ItemArrange = 9; }},
        BadRecord{"ItemArrangeMinus1", [](KivWinProperty& p) { p.ItemArrange = -1; }},
        BadRecord{"Column0Arrange0",
                  [](KivWinProperty& p) {
                      p.Column = 0;
                      p.ItemArrange = 0;
                  }},
        BadRecord{"ColumnMinus5Arrange3",
                  [](KivWinProperty& p) {
                      p.Column = -5;
                      p.ItemArrange = 3;
                  }},
        BadRecord{"ColumnMinus5Arrange4",
                  [](KivWinProperty& p) {
                      p.Column = -5;
                      p.ItemArrange = 4;
                  }},
        BadRecord{"IconSize0", [](KivWinProperty& p) { p.IconSize = 0; }},
        BadRecord{"HugeSizes",
                  [](KivWinProperty& p) {
                      p.IconSize = 100000;
                      p.TextSizeWMin = 100000;
                      p.TextSizeWMax = 100000;
                  }},
        BadRecord{"OffsetBeyondTheRight", [](KivWinProperty& p) { p.WinSideOffset = 100000; }},
        BadRecord{"OffsetBeyondTheLeft", [](KivWinProperty& p) { p.WinSideOffset = -100000; }},
        BadRecord{"RightEdgeOffsetBelow",
                  [](KivWinProperty& p) {
                      p.WindowSide = 2;
                      p.WinSideOffset = 100000;
                  }},
        BadRecord{"ItemTextPlace7", [](KivWinProperty& p) { p.ItemTextPlace = 7; }},
        BadRecord{"NegativeTimerPeriod", [](KivWinProperty& p) { p.TimerTimeOut = -1; }},
        BadRecord{"NegativeAnimationWait",
                  [](KivWinProperty& p) {
                      p.AnimateSH = true;
                      p.AnimateSHWait = -1;
                  }}),
    [](const ::testing::TestParamInfo<BadRecord>& info) { return std::string(info.param.name); });

} // namespace
