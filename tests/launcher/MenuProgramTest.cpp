// Kiv.exe's context menu driven as a user drives it: the cursor rests on a strip, the right button
// is released over an item (with Ctrl+Shift for the background menu), and an entry is chosen with
// the keyboard. The companions beside this Kiv are the stand-in that records its command line.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

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

const DWORD timeout = 30000;

SIZE Screen() {
    return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool WaitFor(const std::function<bool()>& done, DWORD milliseconds = timeout) {
    return kivtest::WaitFor(done, milliseconds);
}

void MoveTo(POINT p) {
    SetCursorPos(p.x, p.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
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
    Sleep(30);
}

void Press(WORD key) {
    Key(key, true);
    Key(key, false);
    Sleep(150);
}

RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

class KivMenu : public ::testing::Test {
protected:
    TempDir dir{"kivmenu"};
    std::string install = dir / "bin";
    std::string data = dir / "IconData";
    std::string top = data + "\\TopWindow1";
    NApp app{GetModuleHandleA(nullptr)};
    NWnd owner{&app};

    // Kiv with the stand-in companions beside it; TopWindow1 along the top edge with two files.
    void SetUp() override {
        kivtest::MakeDir(install);
        ASSERT_TRUE(CopyFileA(kivtest::BuiltProgram("Kiv.exe").c_str(),
                              (install + "\\Kiv.exe").c_str(), FALSE));
        for (const char* companion : {"KivProp.kxe", "KivRen.kxe", "KivAbout.kxe"})
            ASSERT_TRUE(CopyFileA(kivtest::BuiltProgram("cmdprobe.kxe").c_str(),
                                  (install + "\\" + companion).c_str(), FALSE));
        kivtest::MakeDir(data);
        kivtest::MakeDir(top);
        kivtest::WriteTextFile(top + "\\b.txt", "b");
        kivtest::WriteTextFile(top + "\\c.txt", "c");
        KivItem folder;
        folder.SetPathId(KivPidl(top.c_str()));
        KivWinProperty property(data.c_str());
        property.LoadParam(folder.folderPath.c_str());
        property.WindowSide = 0;
        property.WinSideOffset = 100;
        property.NeedSize = true;
        property.ShowTime = 0;
        property.HideTime = 0;
        property.AnimateSH = false;
        property.SaveParam(folder.folderPath.c_str());
        SetCursorPos(Screen().cx / 2, Screen().cy / 2);
    }

    void TearDown() override {
        Key(VK_CONTROL, false);
        Key(VK_SHIFT, false);
    }

    std::unique_ptr<ChildProcess> Start(const std::string& arguments = "") {
        std::string line = "\"" + install + "\\Kiv.exe\"";
        if (!arguments.empty())
            line += " " + arguments;
        return std::make_unique<ChildProcess>(line, dir.Path());
    }

    void Stop(ChildProcess& kiv) {
        auto closer = Start("/CloseKiv");
        EXPECT_EQ(closer->Wait(timeout), 0u);
        EXPECT_EQ(kiv.Wait(timeout), 0u) << "the running instance did not end";
    }

    static std::vector<WindowInfo> IconWindows(const ChildProcess& kiv) {
        std::vector<WindowInfo> found;
        for (const WindowInfo& w : kivtest::TopLevelWindows(kiv.Id()))
            if (w.className == "NWindowClass" && w.title != "Kiv" && w.visible)
                found.push_back(w);
        return found;
    }

    static HWND TopWindow(const ChildProcess& kiv) {
        for (const WindowInfo& w : IconWindows(kiv))
            if (w.rect.left > 50 && w.rect.left < 150 && w.rect.top < 10)
                return w.handle;
        return nullptr;
    }

    static HWND OpenMenu(const ChildProcess& kiv) {
        for (const WindowInfo& w : kivtest::TopLevelWindows(kiv.Id()))
            if (w.className == "#32768" && w.visible)
                return w.handle;
        return nullptr;
    }

    HWND WaitDocked(const ChildProcess& kiv) {
        HWND window = nullptr;
        WaitFor([&] {
            window = TopWindow(kiv);
            if (!window)
                return false;
            const RECT r = RectOf(window);
            return r.bottom > 0 && r.bottom < 20;
        });
        return window;
    }

    // Rests on the strip until the window is shown; the centre of the first item, on screen.
    bool Open(HWND window, POINT& firstItem) {
        RECT client;
        GetClientRect(window, &client);
        POINT strip{client.right / 2, std::max<LONG>(client.bottom - 2, 0)};
        ClientToScreen(window, &strip);
        MoveTo(strip);
        if (!WaitFor([&] { return RectOf(window).bottom - RectOf(window).top > 30; }))
            return false;
        KivItem folder;
        folder.SetPathId(KivPidl(top.c_str()));
        KivWindow layout(&owner, data.c_str(), folder);
        layout.LoadAndLayout(KivWindow::neverAbort);
        const RECT r = layout.GetItemRect(0);
        firstItem = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(window, &firstItem);
        return true;
    }

    // Ctrl+Shift and a right click on the first item: the background menu.
    bool OpenBackgroundMenu(ChildProcess& kiv, HWND window) {
        POINT item{};
        if (!Open(window, item))
            return false;
        MoveTo(item);
        Sleep(100);
        Key(VK_CONTROL, true);
        Key(VK_SHIFT, true);
        Button(MOUSEEVENTF_RIGHTDOWN);
        Button(MOUSEEVENTF_RIGHTUP);
        Key(VK_SHIFT, false);
        Key(VK_CONTROL, false);
        return WaitFor([&] { return OpenMenu(kiv) != nullptr; });
    }
};

} // namespace

TEST_F(KivMenu, ChoosingExitEndsKiv) {
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(OpenBackgroundMenu(*kiv, window)) << "no menu was opened";
    // The last entry "その他", its first entry, then past the line to "ＫＩＶの終了".
    Press(VK_UP);
    Press(VK_RIGHT);
    Press(VK_DOWN);
    Press(VK_RETURN);
    EXPECT_EQ(kiv->Wait(timeout), 0u) << "Kiv did not end";
}

TEST_F(KivMenu, ChoosingTopWindowAddsTheNextFolderAndItsWindow) {
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(OpenBackgroundMenu(*kiv, window)) << "no menu was opened";
    // "新規作成", then its last entry "トップウィンドウ".
    Press(VK_UP);
    Press(VK_UP);
    Press(VK_RIGHT);
    Press(VK_UP);
    Press(VK_RETURN);
    EXPECT_TRUE(WaitFor([&] {
        return GetFileAttributesA((data + "\\TopWindow2").c_str()) != INVALID_FILE_ATTRIBUTES;
    })) << "no TopWindow2 folder";
    EXPECT_TRUE(WaitFor([&] { return IconWindows(*kiv).size() == 2; })) << "no second window";
    Stop(*kiv);
}

TEST_F(KivMenu, ChoosingVersionStartsTheAboutProgramBesideKiv) {
    const std::string out = dir / "about.txt";
    SetEnvironmentVariableA("KIV_CMDPROBE_OUT", out.c_str());
    auto kiv = Start();
    SetEnvironmentVariableA("KIV_CMDPROBE_OUT", nullptr);
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(OpenBackgroundMenu(*kiv, window)) << "no menu was opened";
    // "その他", then its last entry "バージョン情報".
    Press(VK_UP);
    Press(VK_RIGHT);
    Press(VK_UP);
    Press(VK_RETURN);
    std::string text;
    EXPECT_TRUE(WaitFor([&] {
        try {
            text = kivtest::ReadTextFile(out);
        } catch (const std::runtime_error&) {
            return false;
        }
        return true;
    })) << "the about program was not started";
    EXPECT_EQ(text.substr(0, text.find('\n')), "KivAbout.kxe /SyjFetpu9861 ");
    // The windows hide after the command.
    EXPECT_TRUE(WaitFor([&] { return RectOf(window).bottom - RectOf(window).top < 30; }));
    Stop(*kiv);
}

TEST_F(KivMenu, WhileTheMenuIsOpenNothingRebuildsOrHidesAndACloseRequestIsKept) {
    auto kiv = Start();
    const HWND window = WaitDocked(*kiv);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(OpenBackgroundMenu(*kiv, window)) << "no menu was opened";
    const HWND menu = OpenMenu(*kiv);
    const RECT shown = RectOf(window);
    // Away from the window, which would hide at once (HideTime 0) if it were polled.
    MoveTo(POINT{Screen().cx / 2, Screen().cy / 2});
    // A change below the data directory asks for a rebuild, which waits for the menu; so does
    // the close request of a second invocation.
    kivtest::WriteTextFile(top + "\\new.txt", "n");
    auto closer = Start("/CloseKiv");
    EXPECT_EQ(closer->Wait(timeout), 0u);
    // Watched for a while: nothing may happen under the open menu.
    EXPECT_FALSE(WaitFor([&] { return !IsWindow(window) || kiv->Wait(0) != STILL_ACTIVE; }, 1500))
        << "the windows were rebuilt or Kiv ended under the open menu";
    EXPECT_NE(OpenMenu(*kiv), nullptr);
    const RECT still = RectOf(window);
    EXPECT_EQ(still.bottom - still.top, shown.bottom - shown.top) << "the window hid or moved";
    // The menu closed, the close request is honoured.
    const RECT m = RectOf(menu);
    MoveTo(POINT{(m.left + m.right) / 2, (m.top + m.bottom) / 2});
    Press(VK_ESCAPE);
    EXPECT_EQ(kiv->Wait(timeout), 0u) << "the close request was lost";
}
