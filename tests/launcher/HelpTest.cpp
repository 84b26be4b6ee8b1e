// The help calls against the compiled help file built beside the test program (KIV.chm).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "PathUtility.h"
#include "TestSupport.h"

using kivtest::TempDir;

namespace {

const char helpTitle[] = "KIV ヘルプ";

// Pumps this thread's messages (the viewer's window belongs to it) until the viewer's main
// window is there; null after the time.
HWND WaitForViewer(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        for (const auto& w : kivtest::TopLevelWindows(GetCurrentProcessId())) {
            if (w.className == "HH Parent" && w.visible)
                return w.handle;
        }
        Sleep(20);
    } while (GetTickCount() - start < milliseconds);
    return nullptr;
}

std::string TitleOf(HWND window) {
    char title[256] = "";
    GetWindowTextA(window, title, sizeof(title));
    return title;
}

// Closes every viewer window of this process and waits until none is left.
void CloseViewers() {
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    if (HMODULE viewer = GetModuleHandleA("hhctrl.ocx")) {
        auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(viewer, "HtmlHelpA")));
        htmlHelp(nullptr, nullptr, 0x0012 /* HH_CLOSE_ALL */, 0);
    }
    const DWORD start = GetTickCount();
    while (WaitForViewer(0) && GetTickCount() - start < 10000)
        Sleep(50);
}

// A program path in a folder of the test's choice, for the help's file lookup.
std::string fakeProgram;
DWORD FakeModuleFileName(char* buffer, DWORD size) {
    lstrcpynA(buffer, fakeProgram.c_str(), static_cast<int>(size));
    return static_cast<DWORD>(fakeProgram.size() < size ? fakeProgram.size() : size);
}

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetPathType(kivtest::BuiltProgram("KIV.chm").c_str()), PathFile)
            << "the build puts KIV.chm beside the programs";
        ASSERT_EQ(WaitForViewer(0), nullptr);
    }
    void TearDown() override { CloseViewers(); }
};

} // namespace

TEST(HelpContextPage, EveryContextOfTheProgramsHasItsPage) {
    struct Case {
        ULONG_PTR context;
        const char* page;
    };
    const Case cases[] = {
        {9, "start.html"},
        {6, "prop-icon.html"},
        {2, "prop-layout.html"},
        {37, "prop-window.html"},
        {5, "prop-filelist.html"},
        {38, "prop-other.html"},
        {0, nullptr},
        {1, nullptr},
        {12345, nullptr},
    };
    for (const Case& c : cases) {
        const char* page = HelpContextPage(c.context);
        if (c.page)
            EXPECT_STREQ(page, c.page) << c.context;
        else
            EXPECT_EQ(page, nullptr) << c.context;
    }
}

TEST_F(Help, EachContextAndTheContentsOpenTheViewer) {
    struct Case {
        UINT command;
        ULONG_PTR data;
    };
    const Case cases[] = {{HELP_CONTEXT, 9}, {HELP_CONTEXT, 2},  {HELP_CONTEXT, 5},
                          {HELP_CONTEXT, 6}, {HELP_CONTEXT, 37}, {HELP_CONTEXT, 38},
                          {HELP_FINDER, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("command " + std::to_string(c.command) + ", data " + std::to_string(c.data));
        EXPECT_NO_THROW(KivWinHelp(nullptr, c.command, c.data));
        HWND viewer = WaitForViewer(10000);
        ASSERT_NE(viewer, nullptr) << "no help window";
        EXPECT_EQ(TitleOf(viewer), helpTitle);
        CloseViewers();
    }
}

TEST_F(Help, OwnedByTheCallersWindow) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    KivWinHelp(owner, HELP_FINDER, 0);
    HWND viewer = WaitForViewer(10000);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), owner);
    CloseViewers();
    DestroyWindow(owner);
}

TEST_F(Help, FoundBesideAProgramInAShiftJisFolder) {
    TempDir dir{"kivhelp"};
    const std::string folder = dir / "ソフト表"; // 表 ends in the byte 0x5C
    kivtest::MakeDir(folder);
    ASSERT_TRUE(
        CopyFileA(kivtest::BuiltProgram("KIV.chm").c_str(), (folder + "\\KIV.chm").c_str(), FALSE));
    fakeProgram = folder + "\\Kiv.exe";
    EXPECT_NO_THROW(KivWinHelp(nullptr, HELP_CONTEXT, 37, FakeModuleFileName));
    HWND viewer = WaitForViewer(10000);
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(TitleOf(viewer), helpTitle);
}

TEST_F(Help, NoHelpFileOrUnknownRequestThrows) {
    TempDir dir{"kivhelp"}, broken{"kivhelp"};
    kivtest::WriteTextFile(broken / "KIV.chm", "not a compiled help file");
    struct Case {
        const char* why;
        std::string program;
        UINT command;
        ULONG_PTR data;
    };
    const Case cases[] = {
        {"no help file", dir / "Kiv.exe", HELP_CONTEXT, 9},
        {"no help file", dir / "Kiv.exe", HELP_FINDER, 0},
        {"broken help file", broken / "Kiv.exe", HELP_CONTEXT, 9},
        {"broken help file", broken / "Kiv.exe", HELP_FINDER, 0},
        {"context without a page", kivtest::BuiltProgram("Kiv.exe"), HELP_CONTEXT, 12345},
        {"command the help does not serve", kivtest::BuiltProgram("Kiv.exe"), HELP_KEY, 0},
    };
    for (const Case& c : cases) {
        fakeProgram = c.program;
        EXPECT_EQ(kivtest::ThrownMessage<KivUtilityException>(
                      [&] { KivWinHelp(nullptr, c.command, c.data, FakeModuleFileName); }),
                  "KivWinHelp")
            << c.why;
        EXPECT_EQ(WaitForViewer(500), nullptr) << c.why;
    }
}

TEST_F(Help, AHelpFileOfTheOldFormatIsHandedToWinHelp) {
    TempDir dir{"kivhelp"};
    ASSERT_TRUE(
        CopyFileA(kivtest::BuiltProgram("KIV.chm").c_str(), (dir / "KIV.chm").c_str(), FALSE));
    kivtest::WriteTextFile(dir / "KIV.HLP", "not a help file");
    fakeProgram = dir / "Kiv.exe";
    // The old viewer reports the broken file in a window naming it, and the call waits for it:
    // another thread answers.
    bool reported = false;
    std::thread answer([&] {
        const DWORD start = GetTickCount();
        while (!reported && GetTickCount() - start < 20000) {
            for (const auto& w : kivtest::TopLevelWindows(0)) {
                if (w.visible &&
                    (w.title.find("KIV.HLP") != std::string::npos ||
                     kivtest::MessageBoxText(w.handle).find("KIV.HLP") != std::string::npos)) {
                    reported = true;
                    PostMessageA(w.handle, WM_COMMAND, IDOK, 0);
                    PostMessageA(w.handle, WM_CLOSE, 0, 0);
                }
            }
            Sleep(100);
        }
    });
    try {
        KivWinHelp(nullptr, HELP_CONTEXT, 9, FakeModuleFileName);
    } catch (const KivUtilityException&) {
        // Current systems have no old viewer; failing is as good as showing here.
    }
    answer.join();
    EXPECT_EQ(WaitForViewer(2000), nullptr) << "the compiled help opened instead of KIV.HLP";
    if (GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        EXPECT_TRUE(reported) << "Wine's old viewer was not given KIV.HLP";
}

TEST_F(Help, ShowHelpWarnsInsteadOfThrowing) {
    EXPECT_TRUE(KivShowHelp(nullptr, HELP_FINDER, 0));
    HWND viewer = WaitForViewer(10000);
    ASSERT_NE(viewer, nullptr);
    CloseViewers();

    // No page for this context: the warning box, answered from another thread.
    std::string text;
    bool closed = false;
    std::thread answer([&] {
        HWND box = kivtest::WaitForWindow(GetCurrentProcessId(), "KIV - ヘルプ", 20000);
        if (!box)
            return;
        text = kivtest::MessageBoxText(box);
        closed = kivtest::CloseMessageBox(box);
    });
    EXPECT_FALSE(KivShowHelp(nullptr, HELP_CONTEXT, 12345));
    answer.join();
    EXPECT_EQ(text, "ヘルプファイルを開くことができませんでした。");
    EXPECT_TRUE(closed);
}
