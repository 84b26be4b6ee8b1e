// KivRen.kxe itself under Wine: its command line, the dialog it shows, typing into it (xdotool),
// the warning box it answers a refused name with, and the lock staying free while a box is open.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "KivIconSortHelper.h"
#include "KivParameter.h"
#include "KivRename.h"
#include "KivWinProperty.h"
#include "TestSupport.h"

using kivtest::ChildProcess;

namespace {

[[maybe_unused]] ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

const DWORD timeout = 20000;

// xdotool on the test's X display. Wine starts Unix programs by their Z: path but cannot wait
// for them, so a shell runs it and leaves a marker file when it is done.
void Xdotool(const std::string& arguments) {
    static int count = 0;
    const std::string marker = "/tmp/kivren-xdotool-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(++count);
    ChildProcess shell("Z:\\bin\\sh -c \"xdotool " + arguments + "; touch " + marker + "\"", "");
    std::string windowsMarker = "Z:" + marker;
    for (char& c : windowsMarker)
        if (c == '/')
            c = '\\';
    for (DWORD start = GetTickCount(); !kivtest::Exists(windowsMarker);) {
        if (GetTickCount() - start > timeout) {
            ADD_FAILURE() << "xdotool " << arguments << " did not finish";
            return;
        }
        Sleep(20);
    }
    DeleteFileA(windowsMarker.c_str());
}

// One argument of a command line: quoted, with the backslashes before the closing quote doubled
// so that they stay backslashes (a trail byte 0x5C is no backslash).
std::string Quote(const std::string& argument) {
    size_t trailing = 0;
    for (const char* c = argument.c_str(); *c; c = CharNextExA(932, c, 0))
        trailing = (*c == '\\') ? trailing + 1 : 0;
    return "\"" + argument + std::string(trailing, '\\') + "\"";
}

struct ChildWindow {
    HWND handle;
    std::string className;
    std::string text;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    char className[64], text[512];
    GetClassNameA(child, className, sizeof(className));
    GetWindowTextA(child, text, sizeof(text));
    reinterpret_cast<std::vector<ChildWindow>*>(param)->push_back({child, className, text});
    return TRUE;
}

std::vector<ChildWindow> Children(HWND window) {
    std::vector<ChildWindow> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND Child(HWND window, const std::string& className, const char* text = nullptr) {
    for (const ChildWindow& c : Children(window))
        if (lstrcmpiA(c.className.c_str(), className.c_str()) == 0 && (!text || c.text == text))
            return c.handle;
    return nullptr;
}

std::string WindowText(HWND window) {
    // Through the message, so that it also reads an edit of another process.
    char text[512] = "";
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

class RenameProgram : public ::testing::Test {
protected:
    kivtest::TempDir root{"kivrenprog"};
    std::string data = root / "IconData";
    std::string items = root / "Items";

    void SetUp() override {
        kivtest::MakeDir(data);
        kivtest::MakeDir(items);
    }

    std::unique_ptr<ChildProcess> Start(const std::string& arguments) {
        return std::make_unique<ChildProcess>(
            "\"" + kivtest::BuiltProgram("KivRen.kxe") + "\" " + arguments, root.Path());
    }

    std::unique_ptr<ChildProcess> StartFor(const std::string& path) {
        return Start(std::string(RenameSwitch) + " " + Quote(data) + " " + Quote(path));
    }

    static HWND WaitForDialog(const ChildProcess& kivRen, const std::string& name) {
        return kivtest::WaitForWindow(
            kivRen.Id(), std::string(RenameApplicationTitle) + "(" + name + ")", timeout);
    }

    // The message box of the process (class #32770), or null after the time.
    static HWND WaitForBox(const ChildProcess& kivRen, DWORD milliseconds = timeout) {
        const DWORD start = GetTickCount();
        do {
            for (const auto& w : kivtest::TopLevelWindows(kivRen.Id()))
                if (w.className == "#32770" && w.visible)
                    return w.handle;
            Sleep(50);
        } while (GetTickCount() - start < milliseconds);
        return nullptr;
    }

    // Points at the dialog's edit, so that typed keys reach it (no window manager: the keyboard
    // goes to the window under the pointer).
    static void PointAtEdit(HWND dialog) {
        RECT r;
        GetWindowRect(Child(dialog, "Edit"), &r);
        Xdotool("mousemove " + std::to_string((r.left + r.right) / 2) + " " +
                std::to_string((r.top + r.bottom) / 2));
    }

    void SaveRecords(const std::string& folder, int iconSize,
                     const std::vector<std::string>& names) {
        KivWinProperty properties(data.c_str());
        properties.LoadParam(folder.c_str());
        properties.IconSize = iconSize;
        properties.SaveParam(folder.c_str());
        KivIconSortHelper<std::string> order(data.c_str());
        order.names = names;
        order.SaveParam(folder.c_str());
    }
};

TEST_F(RenameProgram, WrongCommandLinesEndAtOnceWithMinusOneAndShowNothing) {
    kivtest::WriteTextFile(items + "\\Memo.txt", "memo");
    const std::string d = "\"" + data + "\"";
    const std::string p = "\"" + items + "\\Memo.txt\"";
    for (const std::string& arguments :
         {std::string(""), std::string("/HriSywjfw7747"), "/HriSywjfw7747 " + d,
          "/HriSywjfw7747 " + d + " " + p + " extra", "/hrisywjfw7747 " + d + " " + p,
          "/HRISYWJFW7747 " + d + " " + p, d + " /HriSywjfw7747 " + p,
          "-HriSywjfw7747 " + d + " " + p}) {
        SCOPED_TRACE(arguments);
        auto kivRen = Start(arguments);
        bool shown = false;
        const DWORD start = GetTickCount();
        while (kivRen->Running() && GetTickCount() - start < timeout) {
            for (const auto& w : kivtest::TopLevelWindows(kivRen->Id()))
                shown = shown || (w.visible && w.className != "IME");
            Sleep(10);
        }
        EXPECT_EQ(kivRen->Wait(timeout), DWORD(-1));
        EXPECT_FALSE(shown);
    }
    EXPECT_EQ(kivtest::ReadTextFile(items + "\\Memo.txt"), "memo");
}

TEST_F(RenameProgram, TheDialogShowsTheShortcutsNameAllSelectedAtTheCursor) {
    // A real shortcut: the shell reports it as a link, and its extension is kept apart.
    const std::string shortcut = items + "\\Editor.lnk";
    {
        IShellLinkW* link = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)),
                  S_OK);
        link->SetPath(L"C:\\windows\\notepad.exe");
        IPersistFile* file = nullptr;
        ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH);
        EXPECT_EQ(file->Save(wide, TRUE), S_OK);
        file->Release();
        link->Release();
    }
    // Near the bottom-right corner: the dialog is pushed back into the work area.
    Xdotool("mousemove 1000 740");
    auto kivRen = StartFor(shortcut);
    HWND dialog = WaitForDialog(*kivRen, "Editor");
    ASSERT_NE(dialog, nullptr) << "no dialog titled with the name without its extension";

    RECT client, window, work;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 377);
    EXPECT_EQ(client.bottom, 126);
    GetWindowRect(dialog, &window);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(window.right, std::min<LONG>(work.right, 1000 + (window.right - window.left)));
    EXPECT_EQ(window.bottom, std::min<LONG>(work.bottom, 740 + (window.bottom - window.top)));

    HWND edit = Child(dialog, "Edit");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(WindowText(edit), "Editor");
    DWORD selStart = 99, selEnd = 99;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    EXPECT_EQ(selStart, 0u);
    EXPECT_EQ(selEnd, 6u);
    EXPECT_TRUE(GetWindowLongPtrA(edit, GWL_STYLE) & ES_OEMCONVERT);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof(gui);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &gui);
    EXPECT_EQ(gui.hwndFocus, edit);

    EXPECT_NE(Child(dialog, "Static", "新しい名前を入力してください。"), nullptr);
    HWND ok = Child(dialog, "Button", "OK");
    HWND cancel = Child(dialog, "Button", "キャンセル");
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(ok, GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);

    PostMessageA(cancel, BM_CLICK, 0, 0);
    EXPECT_EQ(kivRen->Wait(timeout), 0u);
    EXPECT_TRUE(kivtest::Exists(shortcut));
}

TEST_F(RenameProgram, TypingANewNameAndEnterRenamesTheFile) {
    kivtest::WriteTextFile(items + "\\Memo.txt", "memo");
    auto kivRen = StartFor(items + "\\Memo.txt");
    HWND dialog = WaitForDialog(*kivRen, "Memo.txt");
    ASSERT_NE(dialog, nullptr);
    PointAtEdit(dialog);
    // The whole name is selected: typing replaces it.
    Xdotool("type --delay 30 Note.txt");
    Xdotool("key Return");
    EXPECT_EQ(kivRen->Wait(timeout), 0u);
    EXPECT_EQ(kivtest::ReadTextFile(items + "\\Note.txt"), "memo");
    EXPECT_FALSE(kivtest::Exists(items + "\\Memo.txt"));
}

TEST_F(RenameProgram, AFolderRenamedInTheDialogTakesItsRecordsAlong) {
    const std::string tools = items + "\\Tools";
    kivtest::MakeDir(tools);
    kivtest::MakeDir(tools + "\\Net");
    SaveRecords(tools, 48, {tools + "\\a"});
    SaveRecords(tools + "\\Net", 20, {tools + "\\Net\\b"});
    // The new-folder command's path: the folder with a final dot.
    auto kivRen = StartFor(tools + ".");
    HWND dialog = WaitForDialog(*kivRen, "Tools");
    ASSERT_NE(dialog, nullptr);
    SetWindowTextA(Child(dialog, "Edit"), "Apps");
    PostMessageA(Child(dialog, "Button", "OK"), BM_CLICK, 0, 0);
    ASSERT_EQ(kivRen->Wait(timeout), 0u);

    EXPECT_TRUE(kivtest::Exists(items + "\\Apps\\Net"));
    for (const auto& [folder, size] :
         {std::pair<std::string, int>{items + "\\Apps", 48}, {items + "\\Apps\\Net", 20}}) {
        KivWinProperty properties(data.c_str());
        EXPECT_TRUE(properties.ExistsParam(folder.c_str())) << folder;
        properties.LoadParam(folder.c_str());
        EXPECT_EQ(properties.IconSize, size) << folder;
    }
    KivIconSortHelper<std::string> order(data.c_str());
    EXPECT_FALSE(order.ExistsParam((tools + "\\Net").c_str()));
    EXPECT_EQ(GetParamFolders(data.c_str()).size(), 2u);
}

TEST_F(RenameProgram, ASettingsFailureIsReportedAndTheDialogStays) {
    const std::string tools = items + "\\Tools";
    kivtest::MakeDir(tools);
    kivtest::MakeDir(tools + "\\Net");
    SaveRecords(tools, 48, {tools + "\\a"});
    SaveRecords(tools + "\\Net", 20, {tools + "\\Net\\b"});
    // A directory where the record file of Apps would go: that record cannot be written.
    kivtest::MakeDir(data + "\\" + ComputeParamHash(items + "\\Apps") + ".wpr.kiv");

    auto kivRen = StartFor(tools);
    HWND dialog = WaitForDialog(*kivRen, "Tools");
    ASSERT_NE(dialog, nullptr);
    SetWindowTextA(Child(dialog, "Edit"), "Apps");
    PostMessageA(Child(dialog, "Button", "OK"), BM_CLICK, 0, 0);

    HWND box = WaitForBox(*kivRen);
    ASSERT_NE(box, nullptr) << "the failure was not reported";
    EXPECT_EQ(kivtest::MessageBoxText(box), std::string(RenameSettingsFailedText) + "\r\n" +
                                                "Error KivParameter::WritePrivateProfileString");
    // The box holds no lock either.
    auto other = std::async(std::launch::async, [] { KivParameterMutex lock; });
    EXPECT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(kivtest::CloseMessageBox(box));
    EXPECT_TRUE(kivRen->Running());
    EXPECT_TRUE(IsWindowVisible(dialog));

    // The folder has its new name; what could be carried is carried, the rest kept.
    EXPECT_TRUE(kivtest::Exists(items + "\\Apps\\Net"));
    KivWinProperty net(data.c_str());
    EXPECT_TRUE(net.ExistsParam((items + "\\Apps\\Net").c_str()));
    KivWinProperty old(data.c_str());
    EXPECT_TRUE(old.ExistsParam(tools.c_str()));
    old.LoadParam(tools.c_str());
    EXPECT_EQ(old.IconSize, 48);

    // A second OK finds the old name gone: the warning.
    PostMessageA(Child(dialog, "Button", "OK"), BM_CLICK, 0, 0);
    box = WaitForBox(*kivRen);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(kivtest::MessageBoxText(box), RenameFailedText);
    EXPECT_TRUE(kivtest::CloseMessageBox(box));
    PostMessageA(Child(dialog, "Button", "キャンセル"), BM_CLICK, 0, 0);
    EXPECT_EQ(kivRen->Wait(timeout), 0u);
}

TEST_F(RenameProgram, AShiftJisFolderEndingInA0x5CTrailByteIsRenamedWithItsRecords) {
    const std::string folder = items + "\\表";
    kivtest::MakeDir(folder);
    kivtest::MakeDir(folder + "\\ソ");
    SaveRecords(folder + "\\ソ", 20, {folder + "\\ソ\\x"});
    auto kivRen = StartFor(folder);
    HWND dialog = WaitForDialog(*kivRen, "表");
    ASSERT_NE(dialog, nullptr) << "the path did not arrive whole";
    EXPECT_EQ(WindowText(Child(dialog, "Edit")), "表");
    SendMessageA(Child(dialog, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("ソフト表"));
    PostMessageA(Child(dialog, "Button", "OK"), BM_CLICK, 0, 0);
    ASSERT_EQ(kivRen->Wait(timeout), 0u);

    EXPECT_TRUE(kivtest::Exists(items + "\\ソフト表\\ソ"));
    KivWinProperty properties(data.c_str());
    EXPECT_TRUE(properties.ExistsParam((items + "\\ソフト表\\ソ").c_str()));
    properties.LoadParam((items + "\\ソフト表\\ソ").c_str());
    EXPECT_EQ(properties.IconSize, 20);
    EXPECT_EQ(GetParamFolders(data.c_str()), std::vector<std::string>{items + "\\ソフト表\\ソ"});
}

TEST_F(RenameProgram, ARefusedNameShowsTheWarningWithTheLockFreeAndTheDialogStays) {
    kivtest::WriteTextFile(items + "\\Memo.txt", "memo");
    auto kivRen = StartFor(items + "\\Memo.txt");
    HWND dialog = WaitForDialog(*kivRen, "Memo.txt");
    ASSERT_NE(dialog, nullptr);
    PointAtEdit(dialog);
    Xdotool("type --delay 30 No?te.txt");
    Xdotool("key Return");

    HWND box = WaitForBox(*kivRen);
    ASSERT_NE(box, nullptr) << "no warning box";
    EXPECT_EQ(kivtest::MessageBoxText(box), RenameFailedText);
    EXPECT_EQ(WindowText(box), std::string(RenameApplicationTitle) + "(Memo.txt)");

    // While the box is open another program takes the settings lock at once (Kiv's rebuild waits
    // for it with no time-out, and would freeze for as long as the box stays).
    const std::string marker = root / "holding.txt";
    const std::string release = root / "release.txt";
    ChildProcess holder("\"" + kivtest::BuiltProgram("renamelockholder.exe") + "\" \"" + marker +
                            "\" \"" + release + "\"",
                        "");
    for (DWORD start = GetTickCount();
         !kivtest::Exists(marker) && GetTickCount() - start < timeout;)
        Sleep(50);
    EXPECT_TRUE(kivtest::Exists(marker)) << "the lock is held while the box is open";
    kivtest::WriteTextFile(release, "");
    EXPECT_EQ(holder.Wait(timeout), 0u);

    EXPECT_TRUE(kivtest::CloseMessageBox(box));
    EXPECT_TRUE(kivRen->Running());
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(WindowText(Child(dialog, "Edit")), "No?te.txt");
    EXPECT_EQ(kivtest::ReadTextFile(items + "\\Memo.txt"), "memo");

    // Escape does not press Cancel; the close box ends the dialog.
    PointAtEdit(dialog);
    Xdotool("key Escape");
    EXPECT_EQ(kivRen->Wait(1500), DWORD(STILL_ACTIVE)) << "Escape closed the dialog";
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(kivRen->Wait(timeout), 0u);
    EXPECT_EQ(kivtest::ReadTextFile(items + "\\Memo.txt"), "memo");
}

TEST_F(RenameProgram, BadNewNamesGiveTheWarningOrNothingAndLoseNothing) {
    kivtest::WriteTextFile(items + "\\Memo.txt", "memo");
    kivtest::WriteTextFile(items + "\\Other.txt", "other");
    for (const char* name :
         {"", "Memo.txt", "Other.txt", "a?b", "a*b", "..\\Up.txt", "a/b", "<x>", "a|b"}) {
        SCOPED_TRACE(name);
        auto kivRen = StartFor(items + "\\Memo.txt");
        HWND dialog = WaitForDialog(*kivRen, "Memo.txt");
        ASSERT_NE(dialog, nullptr);
        SendMessageA(Child(dialog, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
        PostMessageA(Child(dialog, "Button", "OK"), BM_CLICK, 0, 0);
        // Either the warning (the dialog stays) or, for the unchanged name, a rename onto itself.
        const DWORD start = GetTickCount();
        HWND box = nullptr;
        while (kivRen->Running() && !box && GetTickCount() - start < timeout)
            box = WaitForBox(*kivRen, 50);
        if (box) {
            EXPECT_EQ(kivtest::MessageBoxText(box), RenameFailedText);
            EXPECT_TRUE(kivtest::CloseMessageBox(box));
            EXPECT_TRUE(kivRen->Running());
            PostMessageA(Child(dialog, "Button", "キャンセル"), BM_CLICK, 0, 0);
        } else {
            EXPECT_STREQ(name, "Memo.txt") << "no warning";
        }
        EXPECT_EQ(kivRen->Wait(timeout), 0u);
        EXPECT_EQ(kivtest::ReadTextFile(items + "\\Memo.txt"), "memo");
        EXPECT_EQ(kivtest::ReadTextFile(items + "\\Other.txt"), "other");
        EXPECT_FALSE(kivtest::Exists(root / "Up.txt"));
    }
}

TEST_F(RenameProgram, BadPathsGiveTheWarningAndChangeNothing) {
    kivtest::MakeDir(items + "\\Tools");
    const struct {
        const char* label;
        std::string path;
        std::string shownName;
    } cases[] = {
        {"does not exist", items + "\\Gone.txt", "Gone.txt"},
        {"too long", items + "\\" + std::string(300, 'x'), std::string(300, 'x')},
        {"ends in a backslash", items + "\\Tools\\", ""},
        {"drive root", "C:\\", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto kivRen = StartFor(c.path);
        HWND dialog = WaitForDialog(*kivRen, c.shownName);
        ASSERT_NE(dialog, nullptr);
        SendMessageA(Child(dialog, "Edit"), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Apps"));
        PostMessageA(Child(dialog, "Button", "OK"), BM_CLICK, 0, 0);
        HWND box = WaitForBox(*kivRen);
        ASSERT_NE(box, nullptr) << "no warning";
        EXPECT_EQ(kivtest::MessageBoxText(box), RenameFailedText);
        EXPECT_TRUE(kivtest::CloseMessageBox(box));
        PostMessageA(Child(dialog, "Button", "キャンセル"), BM_CLICK, 0, 0);
        EXPECT_EQ(kivRen->Wait(timeout), 0u);
        EXPECT_TRUE(kivtest::Exists(items + "\\Tools"));
        EXPECT_FALSE(kivtest::Exists(items + "\\Apps"));
        EXPECT_FALSE(kivtest::Exists("C:\\Apps"));
        EXPECT_FALSE(kivtest::Exists(items + "\\Tools\\Apps"));
    }
}

} // namespace
