// KivWindow's mouse input over a real window: the mouse messages become item events (clicks on the
// item under the press, drags past 16 pixels or out of the cell), Ctrl+Shift clicks exchange
// items and store the order, clicks launch items through the shell and ask the frame to hide the
// top windows, and folder items open their sub-folder windows by a click when their record says so.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "FrameMessages.h"
#include "WindowFixture.h"

using kivtest::IconWindowFixture;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

using NameList = std::vector<std::string>;

// Records the item events; with passThrough the KivWindow behaviour runs too.
class RecordingWindow : public kivtest::OpenKivWindow {
public:
    RecordingWindow(NWnd* parent, const char* data, const KivItem& folder)
        : kivtest::OpenKivWindow(parent, data, folder) {}
    std::vector<std::string> events;
    bool passThrough = false;

    void OnItemClick(WPARAM keys, POINT point, int index) override {
        events.push_back("click " + std::to_string(index));
        if (passThrough)
            KivWindow::OnItemClick(keys, point, index);
    }
    void OnItemDragStart(WPARAM, POINT, int index) override {
        events.push_back("drag " + std::to_string(index));
    }
    void OnItemRButtonUp(WPARAM, POINT, int index) override {
        events.push_back("menu " + std::to_string(index));
    }
    void OnItemDblClk(WPARAM keys, POINT point, int index) override {
        events.push_back("double " + std::to_string(index));
        if (passThrough)
            KivWindow::OnItemDblClk(keys, point, index);
    }
};

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = 20000) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start > milliseconds)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(50);
    }
}

// Closes every dialog box this process shows while it lives (the shell's error boxes of a launch
// that fails), so that a test never waits on one. It asks nothing of the windows that would need
// the test's own thread to answer (no window texts), so it never waits on that thread either.
class BoxCloser {
public:
    BoxCloser()
        : thread([this] {
              while (!stop) {
                  EnumWindows(
                      [](HWND window, LPARAM) -> BOOL {
                          DWORD process = 0;
                          GetWindowThreadProcessId(window, &process);
                          char className[64] = "";
                          GetClassNameA(window, className, sizeof(className));
                          if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
                              std::string(className) == "#32770")
                              PostMessageA(window, WM_COMMAND, IDOK, 0);
                          return TRUE;
                      },
                      0);
                  Sleep(100);
              }
          }) {}
    ~BoxCloser() {
        stop = true;
        thread.join();
    }

private:
    std::atomic<bool> stop{false};
    std::thread thread;
};

class MouseInput : public IconWindowFixture {
protected:
    std::unique_ptr<RecordingWindow> w;

    // Files a to d in the shown folder, and a window over them at (100, 100).
    void Open(const std::vector<std::string>& files = {"a.txt", "b.txt", "c.txt", "d.txt"}) {
        MakeFiles(files);
        w = std::make_unique<RecordingWindow>(&owner, data.Path().c_str(), FolderItem());
        w->LoadAndLayout(KivWindow::neverAbort);
        const SIZE size = w->GetClientSize();
        w->SetWindowRect(w->AdjustWindowRectEx(RECT{100, 100, 100 + size.cx, 100 + size.cy}, false),
                         0, nullptr);
        w->CreateWindow();
    }

    int IndexOf(const std::string& name) const {
        const KivItemList& items = w->GetItems();
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i].displayName == name)
                return static_cast<int>(i);
        return -1;
    }

    POINT Center(int index) const {
        const RECT r = w->GetItemRect(index);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    // A client point on no item, or (-1, -1).
    POINT Background() const {
        const SIZE size = w->GetClientSize();
        for (int y = size.cy - 1; y >= 0; y -= 2)
            for (int x = size.cx - 1; x >= 0; x -= 2)
                if (w->HitTest(POINT{x, y}) < 0)
                    return POINT{x, y};
        return POINT{-1, -1};
    }

    void Send(UINT message, WPARAM keys, POINT p) {
        SendMessageA(w->GetHandle(), message, keys, MAKELPARAM(p.x, p.y));
    }
};

TEST_F(MouseInput, ButtonSequencesBecomeClicksDragsAndMenus) {
    Open();
    ASSERT_EQ(w->GetItems().size(), 4u);
    const RECT cell = w->GetItemRect(1);
    ASSERT_GT(cell.right - cell.left, 2 * 17 + 2) << "a cell too narrow for the 17-pixel case";
    const POINT c1 = Center(1), c2 = Center(2);
    const POINT background = Background();
    ASSERT_GE(background.x, 0) << "the window has no background point";
    // The vertical room inside the cell decides where a 10-pixel move stays in it.
    const bool roomBelow = cell.bottom - c1.y > 10;
    const POINT tenInside = roomBelow ? POINT{c1.x, c1.y + 10} : POINT{c1.x + 10, c1.y};
    const POINT justOutside{cell.right + 1, c1.y};

    struct Step {
        UINT message;
        WPARAM keys;
        POINT point;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"press on 1, move 10 inside, release over 2 clicks 1",
         {{WM_LBUTTONDOWN, MK_LBUTTON, c1},
          {WM_MOUSEMOVE, MK_LBUTTON, tenInside},
          {WM_LBUTTONUP, 0, c2}},
         {"click 1"}},
        {"a move of exactly 16 is no drag",
         {{WM_LBUTTONDOWN, MK_LBUTTON, c1},
          {WM_MOUSEMOVE, MK_LBUTTON, POINT{c1.x + 16, c1.y}},
          {WM_LBUTTONUP, 0, c1}},
         {"click 1"}},
        {"a move of 17 right inside the cell drags 1",
         {{WM_LBUTTONDOWN, MK_LBUTTON, c1},
          {WM_MOUSEMOVE, MK_LBUTTON, POINT{c1.x + 17, c1.y}},
          {WM_LBUTTONUP, 0, c1}},
         {"drag 1"}},
        {"leaving the cell by a pixel drags 1",
         {{WM_LBUTTONDOWN, MK_LBUTTON, POINT{cell.right - 1, c1.y}},
          {WM_MOUSEMOVE, MK_LBUTTON, justOutside}},
         {"drag 1"}},
        {"a press on the background and a move away drags -1",
         {{WM_LBUTTONDOWN, MK_LBUTTON, background},
          {WM_MOUSEMOVE, MK_LBUTTON, POINT{background.x - 20, background.y}}},
         {"drag -1"}},
        {"left press, right press, both released: nothing",
         {{WM_LBUTTONDOWN, MK_LBUTTON, c1},
          {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, c1},
          {WM_LBUTTONUP, MK_RBUTTON, c1},
          {WM_RBUTTONUP, 0, c1}},
         {}},
        {"right press and release on 2 is the menu of 2",
         {{WM_RBUTTONDOWN, MK_RBUTTON, c2}, {WM_RBUTTONUP, 0, c2}},
         {"menu 2"}},
        {"a release without a press does nothing", {{WM_LBUTTONUP, 0, c2}}, {}},
        {"a double-click message is the item's double-click",
         {{WM_LBUTTONDBLCLK, MK_LBUTTON, c2}},
         {"double 2"}},
    };
    for (const Case& c : cases) {
        w->events.clear();
        for (const Step& s : c.steps)
            Send(s.message, s.keys, s.point);
        EXPECT_EQ(w->events, c.expected) << c.name;
        EXPECT_EQ(w->GetDownPoint().x, -1) << c.name << ": a press is still tracked";
        if (c.expected.empty() || c.expected[0].rfind("drag", 0) == 0)
            EXPECT_EQ(w->GetPressedIndex(), -1) << c.name << ": still drawn pushed in";
        w->SetPressedIndex(-1);
        ReleaseCapture();
    }
}

TEST_F(MouseInput, APressHoldsTheItemAndTheCaptureUntilTheRelease) {
    Open();
    w->passThrough = true;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Center(2));
    EXPECT_EQ(w->GetPressedIndex(), 2);
    EXPECT_EQ(GetCapture(), w->GetHandle());
    EXPECT_EQ(w->GetHoverIndex(), 2);
    // A Ctrl+Shift release picks instead of launching.
    Send(WM_LBUTTONUP, MK_CONTROL | MK_SHIFT, Center(2));
    EXPECT_EQ(w->GetPressedIndex(), -1);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(w->GetMoveSourceIndex(), 2);
}

TEST_F(MouseInput, CtrlShiftClicksExchangeTwoItemsAndStoreTheOrder) {
    Open();
    w->passThrough = true;
    const NameList before = Names(*w);
    const WPARAM keys = MK_CONTROL | MK_SHIFT;
    auto click = [&](int index) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON | keys, Center(index));
        Send(WM_LBUTTONUP, keys, Center(index));
    };
    // The same item twice: the pick is dropped and nothing changes.
    click(0);
    EXPECT_EQ(w->GetMoveSourceIndex(), 0);
    click(0);
    EXPECT_EQ(w->GetMoveSourceIndex(), -1);
    EXPECT_EQ(Names(*w), before);
    EXPECT_FALSE(HasStoredOrder());

    click(0);
    click(3);
    EXPECT_EQ(w->GetMoveSourceIndex(), -1);
    NameList expected = before;
    std::swap(expected[0], expected[3]);
    EXPECT_EQ(Names(*w), expected);
    EXPECT_EQ(StoredOrder(), expected);
    // A new window over the same folder reads the exchanged order.
    auto again = MakeWindow();
    again->LoadAndLayout(KivWindow::neverAbort);
    EXPECT_EQ(Names(*again), expected);
}

// The frame's messages: the owner stands in for the frame window.
class Launching : public MouseInput {
protected:
    void SetUp() override {
        app.mainWindow = &owner;
        owner.CreateWindow();
    }
    void TearDown() override { app.mainWindow = nullptr; }

    bool HideAllPosted() {
        MSG msg;
        bool posted = false;
        while (PeekMessageA(&msg, owner.GetHandle(), UM_HIDEALL, UM_HIDEALL, PM_REMOVE))
            posted = true;
        return posted;
    }

    void Click(int index) {
        Send(WM_LBUTTONDOWN, MK_LBUTTON, Center(index));
        Send(WM_LBUTTONUP, 0, Center(index));
    }

    void CopyMarker(const std::wstring& target) {
        const std::string marker = kivtest::BuiltProgram("kivmarker.exe");
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, marker.c_str(), -1, wide, MAX_PATH);
        ASSERT_TRUE(CopyFileW(wide, target.c_str(), FALSE));
    }

    std::wstring WideFolder() const {
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, folder.Path().c_str(), -1, wide, MAX_PATH);
        return wide;
    }
};

TEST_F(Launching, AClickLaunchesTheItemAndAsksTheFrameToHideEverything) {
    CopyMarker(WideFolder() + L"\\launch.exe");
    Open({"z.txt"});
    w->passThrough = true;
    const int index = IndexOf("launch.exe") >= 0 ? IndexOf("launch.exe") : IndexOf("launch");
    ASSERT_GE(index, 0);
    Click(index);
    EXPECT_TRUE(HideAllPosted());
    EXPECT_TRUE(WaitFor([&] { return kivtest::Exists(folder / "launch.exe.ran"); }))
        << "the item was not launched";
}

TEST_F(Launching, NotHideOnIconClickLaunchesWithoutHiding) {
    CopyMarker(WideFolder() + L"\\launch.exe");
    SetProperty([](KivWinProperty& p) { p.NotHideOnIconClick = true; });
    Open({"z.txt"});
    w->passThrough = true;
    const int index = IndexOf("launch.exe") >= 0 ? IndexOf("launch.exe") : IndexOf("launch");
    ASSERT_GE(index, 0);
    Click(index);
    EXPECT_TRUE(WaitFor([&] { return kivtest::Exists(folder / "launch.exe.ran"); }));
    EXPECT_FALSE(HideAllPosted());
}

TEST_F(Launching, ANameTheCodePageCannotHoldStillLaunches) {
    // Hangul has no place in code page 932: the 8-bit name is lost, the identifier list is not.
    CopyMarker(WideFolder() + L"\\\xD55C\xAE00.exe");
    Open({"z.txt"});
    w->passThrough = true;
    ASSERT_EQ(w->GetItems().size(), 2u);
    const int index = IndexOf("z.txt") == 0 ? 1 : 0;
    Click(index);
    EXPECT_TRUE(HideAllPosted());
    EXPECT_TRUE(WaitFor([&] {
        return GetFileAttributesW((WideFolder() + L"\\\xD55C\xAE00.exe.ran").c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    })) << "the item was not launched";
}

TEST_F(Launching, ItemsThatCannotBeLaunchedLeaveTheProgramRunningAndStillHide) {
    // A shortcut whose target is gone, and a file that vanished after the window was loaded.
    {
        OleWrapper<IShellLinkW> link;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IShellLinkW, link.PutVoid()));
        const std::wstring target = WideFolder() + L"\\gone.exe";
        CopyMarker(target);
        link->SetPath(target.c_str());
        OleWrapper<IPersistFile> file;
        ASSERT_HRESULT_SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(file->Save((WideFolder() + L"\\broken.lnk").c_str(), TRUE));
        ASSERT_TRUE(DeleteFileW(target.c_str()));
    }
    Open({"vanishing.txt"});
    w->passThrough = true;
    ASSERT_EQ(w->GetItems().size(), 2u);
    ASSERT_TRUE(DeleteFileA((folder / "vanishing.txt").c_str()));
    BoxCloser closer;
    for (int i = 0; i < 2; ++i) {
        Click(i);
        EXPECT_TRUE(HideAllPosted()) << "item " << i;
    }
    EXPECT_TRUE(IsWindow(w->GetHandle()));
}

// Folders opened by a click, by their own record.
class FolderClicks : public Launching {
protected:
    std::string sub;
    void MakeSubFolder(bool clickOpen, bool clickClose) {
        sub = folder / "sub";
        kivtest::MakeDir(sub);
        kivtest::WriteTextFile(sub + "\\inner.txt", "x");
        KivItem item;
        item.SetPathId(KivPidl(sub.c_str()));
        KivWinProperty property(data.Path().c_str());
        property.LoadParam(item.folderPath.c_str());
        property.ClickWinOpen = clickOpen;
        property.ClickWinClose = clickClose;
        property.SaveParam(item.folderPath.c_str());
    }
};

TEST_F(FolderClicks, ClickWinOpenOpensTheSubFolderWindowAndASecondClickKeepsIt) {
    MakeSubFolder(true, false);
    Open({"a.txt"});
    w->passThrough = true;
    const int index = IndexOf("sub");
    ASSERT_GE(index, 0);
    Click(index);
    ASSERT_NE(w->GetSubWindow(), nullptr);
    EXPECT_EQ(w->GetSubWindowIndex(), index);
    EXPECT_TRUE(w->IsSubOpenedByClick());
    EXPECT_TRUE(IsWindowVisible(w->GetSubWindow()->GetHandle()));
    EXPECT_EQ(w->GetSubWindow()->GetItems().size(), 1u);
    // Opened by a click, the folder is not launched.
    EXPECT_FALSE(HideAllPosted());
    KivWindow* first = w->GetSubWindow();
    Click(index);
    EXPECT_EQ(w->GetSubWindow(), first);
    EXPECT_TRUE(IsWindowVisible(first->GetHandle()));
    // Hovering another item does not hide a window opened by a click.
    w->OnMouseOver(Center(IndexOf("a.txt")));
    EXPECT_TRUE(IsWindowVisible(first->GetHandle()));
}

TEST_F(FolderClicks, ClickWinCloseHidesTheOpenWindowAndHoveringDoesNotReopenIt) {
    MakeSubFolder(true, true);
    Open({"a.txt"});
    w->passThrough = true;
    const int index = IndexOf("sub");
    ASSERT_GE(index, 0);
    Click(index);
    ASSERT_NE(w->GetSubWindow(), nullptr);
    Click(index);
    ASSERT_NE(w->GetSubWindow(), nullptr);
    EXPECT_FALSE(IsWindowVisible(w->GetSubWindow()->GetHandle()));
    EXPECT_EQ(w->GetNoHoverOpenIndex(), index);
    // A third click shows the same window again.
    Click(index);
    EXPECT_TRUE(IsWindowVisible(w->GetSubWindow()->GetHandle()));
    EXPECT_FALSE(HideAllPosted());
}

} // namespace
