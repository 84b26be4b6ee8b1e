// KivProp.kxe itself under Wine: the command line, the window, and a change made with the real
// mouse and keyboard (xdotool) that OK saves into the settings store.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "KivWinProperty.h"
#include "TestSupport.h"

namespace {

using kivtest::ChildProcess;
using kivtest::TempDir;

const DWORD timeout = 20000;
const char propSwitch[] = "/QpuvaoTgduauaz5579";

// Runs xdotool (a program of the X display the test runs on) and waits for it. Wine starts a
// Unix program by its path but cannot wait for it: the shell leaves a marker file when done.
void XDoTool(const std::string& arguments) {
    static int count = 0;
    const std::string marker = "/tmp/kivprop-xdotool-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(++count);
    std::string line = "Z:\\bin\\sh -c \"xdotool " + arguments + "; touch " + marker + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info))
        << line;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    const std::string windowsMarker = "Z:" + marker;
    const DWORD start = GetTickCount();
    while (GetFileAttributesA(windowsMarker.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > timeout) {
            ADD_FAILURE() << "xdotool " << arguments << " did not finish";
            return;
        }
        Sleep(20);
    }
    DeleteFileA(windowsMarker.c_str());
}

void ClickAt(const RECT& r) {
    XDoTool("mousemove " + std::to_string((r.left + r.right) / 2) + " " +
            std::to_string((r.top + r.bottom) / 2));
    Sleep(100);
    XDoTool("click 1");
}

struct ChildSearch {
    std::string className, text;
    HWND found = nullptr;
    LONG top = LONG_MAX;
};

BOOL CALLBACK FindChild(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    char className[64], text[256];
    GetClassNameA(child, className, sizeof(className));
    if (lstrcmpiA(className, search->className.c_str()) != 0 || !IsWindowVisible(child))
        return TRUE;
    GetWindowTextA(child, text, sizeof(text));
    if (!search->text.empty() && search->text != text)
        return TRUE;
    RECT r;
    GetWindowRect(child, &r);
    if (r.top < search->top) { // the highest one when several match
        search->top = r.top;
        search->found = child;
    }
    return TRUE;
}

RECT ChildRect(HWND dialog, const std::string& className, const std::string& text) {
    ChildSearch search{className, text};
    EnumChildWindows(dialog, FindChild, reinterpret_cast<LPARAM>(&search));
    RECT r{0, 0, 0, 0};
    if (search.found)
        GetWindowRect(search.found, &r);
    return r;
}

class PropProgram : public ::testing::Test {
protected:
    TempDir root{"kivpropprog"};
    std::string data = root / "IconData";
    std::string top = data + "\\TopWindow1";

    void SetUp() override {
        kivtest::MakeDir(data);
        kivtest::MakeDir(top);
    }

    std::unique_ptr<ChildProcess>
    Start(const std::string& arguments,
          const std::string& program = kivtest::BuiltProgram("KivProp.kxe")) {
        const std::string line = "\"" + program + "\" " + arguments;
        return std::make_unique<ChildProcess>(line, root.Path());
    }

    std::string Arguments(const std::string& directory, const std::string& key,
                          const std::string& quotedCaption) {
        return std::string(propSwitch) + " \"" + directory + "\" \"" + key + "\" " + quotedCaption;
    }
};

TEST_F(PropProgram, WrongCommandLinesShowNothingAndExitZero) {
    const std::string lines[] = {
        "",
        std::string(propSwitch) + " \"" + data + "\" Default",
        "/qpuvaotgduauaz5579 \"" + data + "\" Default デフォルト",
        std::string(propSwitch) + " \"" + data + "\" Default デフォルト extra",
    };
    for (const std::string& arguments : lines) {
        auto prop = Start(arguments);
        // A shown dialog would wait for the user; the program must end by itself.
        EXPECT_EQ(prop->Wait(timeout), 0u) << arguments;
    }
}

TEST_F(PropProgram, OpensAtTheCursorInsideTheWorkAreaAndOkSavesAMouseAndKeyboardChange) {
    XDoTool("mousemove 900 700");
    auto prop = Start(Arguments(data, top, "\"Top \\\"1\\\" x\""));
    const std::string caption = "ウィンドウのプロパティ - Top \"1\" x";
    HWND dialog = kivtest::WaitForWindow(prop->Id(), caption, timeout);
    ASSERT_NE(dialog, nullptr) << "no dialog titled " << caption;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT r;
    GetWindowRect(dialog, &r);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 457);
    EXPECT_EQ(client.bottom, 355);
    // The cursor's corner, pulled in where the window would leave the work area.
    EXPECT_EQ(r.left, std::min<LONG>(900, work.right - (r.right - r.left)));
    EXPECT_EQ(r.top, std::min<LONG>(700, work.bottom - (r.bottom - r.top)));
    EXPECT_GE(r.left, work.left);
    EXPECT_LE(r.right, work.right);
    EXPECT_LE(r.bottom, work.bottom);

    // The mouse checks "セパレータを表示する" and chooses "アイコンの下にテキスト"; the arrow key
    // moves the choice on to "アイコンの右にテキスト" (text right of the icon: 1); the keyboard
    // types a new icon size.
    ClickAt(ChildRect(dialog, "Button", "セパレータを表示する"));
    ClickAt(ChildRect(dialog, "Button", "アイコンの下にテキスト"));
    XDoTool("key Down");
    ClickAt(ChildRect(dialog, "Edit", ""));
    XDoTool("key End BackSpace BackSpace BackSpace");
    XDoTool("type 48");
    Sleep(300);
    ClickAt(ChildRect(dialog, "Button", "OK"));
    EXPECT_EQ(prop->Wait(timeout), 0u);

    KivWinProperty record(data.c_str());
    EXPECT_TRUE(record.ExistsParam(top.c_str()));
    record.LoadParam(top.c_str());
    EXPECT_TRUE(record.ShowSeparator);
    EXPECT_EQ(record.ItemTextPlace, 1);
    EXPECT_EQ(record.IconSize, 48);
}

TEST_F(PropProgram, AFailingSaveSaysSoAndTheProgramStillEnds) {
    const std::string missing = root / "Missing";
    auto prop = Start(Arguments(missing, "Default", "デフォルト"));
    HWND dialog =
        kivtest::WaitForWindow(prop->Id(), "ウィンドウのプロパティ - デフォルト", timeout);
    ASSERT_NE(dialog, nullptr);
    Sleep(300);
    ClickAt(ChildRect(dialog, "Button", "セパレータを表示する"));
    ClickAt(ChildRect(dialog, "Button", "OK"));
    HWND box = kivtest::WaitForWindow(prop->Id(), "ウィンドウのプロパティ - デフォルト", timeout);
    // The dialog itself carries the same title: wait for the box, a second window.
    const DWORD start = GetTickCount();
    box = nullptr;
    while (!box && GetTickCount() - start < timeout) {
        for (const auto& w : kivtest::TopLevelWindows(prop->Id())) {
            if (w.className == "#32770" && w.visible)
                box = w.handle;
        }
        Sleep(50);
    }
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(kivtest::MessageBoxText(box), "プロパティの保存に失敗しました");
    char title[256];
    GetWindowTextA(box, title, sizeof(title));
    EXPECT_STREQ(title, "ウィンドウのプロパティ - デフォルト");
    EXPECT_TRUE(kivtest::CloseMessageBox(box));
    EXPECT_EQ(prop->Wait(timeout), 0u);
    EXPECT_FALSE(kivtest::Exists(missing));
}

TEST_F(PropProgram, HelpWithoutAHelpFileLeavesTheDialogOpen) {
    // A copy of the program in a folder of its own: no help file lies beside it.
    const std::string alone = root / "alone";
    kivtest::MakeDir(alone);
    const std::string program = alone + "\\KivProp.kxe";
    ASSERT_TRUE(CopyFileA(kivtest::BuiltProgram("KivProp.kxe").c_str(), program.c_str(), FALSE));
    auto prop = Start(Arguments(data, "Default", "デフォルト"), program);
    HWND dialog =
        kivtest::WaitForWindow(prop->Id(), "ウィンドウのプロパティ - デフォルト", timeout);
    ASSERT_NE(dialog, nullptr);
    Sleep(300);
    ClickAt(ChildRect(dialog, "Button", "ヘルプ"));
    // Either our warning (the help call failed) or the help viewer's own complaint appears.
    HWND warning = nullptr, viewer = nullptr;
    const DWORD start = GetTickCount();
    while (!warning && !viewer && GetTickCount() - start < timeout) {
        for (const auto& w : kivtest::TopLevelWindows(0)) {
            if (!w.visible)
                continue;
            if (w.title == "KIV - ヘルプ")
                warning = w.handle;
            else if (w.title.find("KIV.HLP") != std::string::npos ||
                     kivtest::MessageBoxText(w.handle).find("KIV.HLP") != std::string::npos)
                viewer = w.handle;
        }
        Sleep(100);
    }
    ASSERT_TRUE(warning || viewer) << "the help button did nothing visible";
    if (warning) {
        EXPECT_EQ(kivtest::MessageBoxText(warning), "ヘルプファイルを開くことができませんでした。");
        EXPECT_TRUE(kivtest::CloseMessageBox(warning));
    } else {
        PostMessageA(viewer, WM_COMMAND, IDNO, 0);
        PostMessageA(viewer, WM_CLOSE, 0, 0);
    }
    Sleep(500);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(prop->Running());
    ClickAt(ChildRect(dialog, "Button", "キャンセル"));
    EXPECT_EQ(prop->Wait(timeout), 0u);
    if (viewer)
        GTEST_SKIP() << "WinHelpA reported success (the viewer complains itself); the warning "
                        "path needs a help call that fails";
}

} // namespace
