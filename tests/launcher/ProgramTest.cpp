// Kiv.exe itself, started in working directories made by the tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestSupport.h"

using kivtest::ChildProcess;
using kivtest::TempDir;

namespace {

const DWORD startTimeout = 20000;

class KivProgram : public ::testing::Test {
protected:
    TempDir dir{"kivprog"};

    std::unique_ptr<ChildProcess> Start(const std::string& arguments,
                                        const std::string& workingDirectory = "",
                                        const char* program = "Kiv.exe") {
        std::string line = "\"" + kivtest::BuiltProgram(program) + "\"";
        if (!arguments.empty())
            line += " " + arguments;
        return std::make_unique<ChildProcess>(line, workingDirectory.empty() ? dir.Path()
                                                                             : workingDirectory);
    }

    // The invisible frame window that marks a running instance.
    static HWND WaitForFrame(const ChildProcess& kiv) {
        const DWORD start = GetTickCount();
        do {
            for (const auto& w : kivtest::TopLevelWindows(kiv.Id())) {
                if (w.className == "NWindowClass" && w.title == "Kiv")
                    return w.handle;
            }
            Sleep(50);
        } while (GetTickCount() - start < startTimeout);
        return nullptr;
    }

    // Waits for a box of the given process; checks its text and presses its button.
    static void ExpectBox(const ChildProcess& kiv, const std::string& title,
                          const std::string& text) {
        HWND box = kivtest::WaitForWindow(kiv.Id(), title, startTimeout);
        ASSERT_NE(box, nullptr) << "no box titled " << title;
        char className[64];
        GetClassNameA(box, className, sizeof(className));
        EXPECT_STREQ(className, "#32770");
        EXPECT_EQ(kivtest::MessageBoxText(box), text);
        EXPECT_TRUE(kivtest::CloseMessageBox(box));
    }

    // The help viewer's window of the compiled help beside Kiv.exe (any process), or null after
    // the time.
    static HWND WaitForHelp(DWORD milliseconds) {
        const DWORD start = GetTickCount();
        do {
            for (const auto& w : kivtest::TopLevelWindows(0)) {
                if (w.visible && w.className == "HH Parent" && w.title == "KIV ヘルプ")
                    return w.handle;
            }
            Sleep(100);
        } while (GetTickCount() - start < milliseconds);
        return nullptr;
    }

    static void CloseHelp(HWND help) {
        PostMessageA(help, WM_COMMAND, IDNO, 0);
        PostMessageA(help, WM_CLOSE, 0, 0);
        for (int i = 0; i < 100 && IsWindow(help); ++i)
            Sleep(50);
    }

    void Stop(ChildProcess& kiv) {
        auto closer = Start("/CloseKiv");
        EXPECT_EQ(closer->Wait(startTimeout), 0u);
        EXPECT_EQ(kiv.Wait(startTimeout), 0u) << "the running instance did not end";
    }

    // A folder below the temp dir whose path is exactly `length` characters.
    std::string FolderOfLength(size_t length) {
        std::string path = dir.Path();
        while (path.size() < length) {
            const size_t room = length - path.size() - 1;
            path += "\\" + std::string(room > 200 ? 200 : room, 'w');
            kivtest::MakeDir(path);
        }
        EXPECT_EQ(path.size(), length);
        return path;
    }
};

TEST_F(KivProgram, FirstStartCreatesTheDataDirectoryAndAsksForHelpOnce) {
    auto kiv = Start("");
    // The help call waits for the viewer, which has no help file to show here.
    HWND help = WaitForHelp(startTimeout);
    EXPECT_NE(help, nullptr) << "the first start did not open the help";
    if (help)
        CloseHelp(help);
    ASSERT_NE(WaitForFrame(*kiv), nullptr);
    EXPECT_EQ(GetFileAttributesA((dir / "IconData").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              DWORD(FILE_ATTRIBUTE_DIRECTORY));
    Stop(*kiv);

    auto again = Start("");
    ASSERT_NE(WaitForFrame(*again), nullptr);
    EXPECT_EQ(WaitForHelp(3000), nullptr) << "help shown although the data directory existed";
    Stop(*again);
}

TEST_F(KivProgram, FrameIsAnInvisibleTopmostToolWindowThatIgnoresClose) {
    kivtest::MakeDir(dir / "IconData");
    auto kiv = Start("");
    HWND frame = WaitForFrame(*kiv);
    ASSERT_NE(frame, nullptr);
    RECT r;
    GetWindowRect(frame, &r);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    const LONG_PTR exStyle = GetWindowLongPtrA(frame, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    PostMessageA(frame, WM_CLOSE, 0, 0);
    EXPECT_EQ(kiv->Wait(1500), DWORD(STILL_ACTIVE)) << "WM_CLOSE ended the program";
    Stop(*kiv);
}

TEST_F(KivProgram, SecondStartInTheSameDirectoryShowsTheBoxAndExits) {
    kivtest::MakeDir(dir / "IconData");
    auto first = Start("");
    ASSERT_NE(WaitForFrame(*first), nullptr);
    // Switches in other letter case or in second place are no switches.
    for (const char* arguments : {"", "/closekiv", "/CLOSEKIV", "x /CloseKiv", "/DebugMode"}) {
        SCOPED_TRACE(arguments);
        auto second = Start(arguments);
        ExpectBox(*second, "KIV - 既に起動しています", "複数起動をすることはできません");
        EXPECT_EQ(second->Wait(startTimeout), 0u);
    }
    EXPECT_TRUE(first->Running());
    Stop(*first);
}

TEST_F(KivProgram, ExitsNoErrorLeavesSilentlyOrStartsNormally) {
    kivtest::MakeDir(dir / "IconData");
    auto first = Start("/ExitsNoError"); // nothing runs here yet: a normal start
    ASSERT_NE(WaitForFrame(*first), nullptr);
    auto second = Start("/ExitsNoError");
    EXPECT_EQ(second->Wait(startTimeout), 0u);
    EXPECT_TRUE(kivtest::TopLevelWindows(second->Id()).empty());
    EXPECT_TRUE(first->Running());
    Stop(*first);
}

TEST_F(KivProgram, CloseKivWithNothingRunningJustExits) {
    auto closer = Start("/CloseKiv");
    EXPECT_EQ(closer->Wait(startTimeout), 0u);
    EXPECT_FALSE(kivtest::Exists(dir / "IconData"));
    // The request does not linger: a later start runs normally.
    auto kiv = Start("");
    if (HWND help = WaitForHelp(startTimeout))
        CloseHelp(help);
    ASSERT_NE(WaitForFrame(*kiv), nullptr);
    EXPECT_EQ(kiv->Wait(1500), DWORD(STILL_ACTIVE));
    Stop(*kiv);
}

TEST_F(KivProgram, InstancesInDifferentDirectoriesRunSideBySide) {
    TempDir other{"kivother"};
    kivtest::MakeDir(dir / "IconData");
    kivtest::MakeDir(other / "IconData");
    auto a = Start("");
    auto b = Start("", other.Path());
    ASSERT_NE(WaitForFrame(*a), nullptr);
    ASSERT_NE(WaitForFrame(*b), nullptr);
    auto closer = Start("/CloseKiv", other.Path());
    EXPECT_EQ(closer->Wait(startTimeout), 0u);
    EXPECT_EQ(b->Wait(startTimeout), 0u);
    EXPECT_TRUE(a->Running()) << "closing one directory's instance ended the other";
    Stop(*a);
}

TEST_F(KivProgram, WorkingDirectoryOf130CharactersIsRefused) {
    const std::string longDir = FolderOfLength(130);
    auto kiv = Start("", longDir);
    ExpectBox(*kiv, "KIV - 作業フォルダが長すぎます",
              "作業フォルダの長さを129文字以下にしてください");
    EXPECT_EQ(kiv->Wait(startTimeout), 0u);
    EXPECT_FALSE(kivtest::Exists(longDir + "\\IconData"));
}

TEST_F(KivProgram, WorkingDirectoryOf129CharactersIsAccepted) {
    const std::string limitDir = FolderOfLength(129);
    kivtest::MakeDir(limitDir + "\\IconData");
    auto kiv = Start("", limitDir);
    ASSERT_NE(WaitForFrame(*kiv), nullptr);
    auto closer = Start("/CloseKiv", limitDir);
    EXPECT_EQ(closer->Wait(startTimeout), 0u);
    EXPECT_EQ(kiv->Wait(startTimeout), 0u);
}

TEST_F(KivProgram, AFileNamedIconDataStopsTheStart) {
    kivtest::WriteTextFile(dir / "IconData", "not a folder");
    auto kiv = Start("");
    ExpectBox(*kiv, "Kiv", "データディレクトリを作成できませんでした");
    EXPECT_EQ(kiv->Wait(startTimeout), 0u);
    // The instance's event is gone with it: a close request finds nobody, a new start the box.
    EXPECT_EQ(kivtest::ReadTextFile(dir / "IconData"), "not a folder");
}

TEST_F(KivProgram, DebugModeReplacesTheLogAndHoldsItOpen) {
    kivtest::MakeDir(dir / "IconData");
    kivtest::WriteTextFile(dir / "DebugLog.txt", "a log of an earlier run\r\n");
    auto kiv = Start("/DebugMode");
    ASSERT_NE(WaitForFrame(*kiv), nullptr);
    // The earlier content is gone (the new run's own trace lines may already be there).
    EXPECT_EQ(kivtest::ReadTextFile(dir / "DebugLog.txt").find("earlier run"), std::string::npos);
    // Held for writing: nobody else may write it, reading stays possible.
    HANDLE writer =
        CreateFileA((dir / "DebugLog.txt").c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    Stop(*kiv);
}

TEST_F(KivProgram, WithoutDebugModeNoLogIsWritten) {
    kivtest::MakeDir(dir / "IconData");
    auto kiv = Start("");
    ASSERT_NE(WaitForFrame(*kiv), nullptr);
    Stop(*kiv);
    EXPECT_FALSE(kivtest::Exists(dir / "DebugLog.txt"));
}

// The test build faultykiv.exe throws from its frame on request (see FaultyKiv.cpp): from a send
// of the idle work, and in a sent message followed by WM_QUIT. Both reach the guard at once.
TEST_F(KivProgram, AnExceptionFromTheFrameIsShownAfterTheObjectsAreGone) {
    kivtest::MakeDir(dir / "IconData");
    const struct {
        const char* fault;
        const char* text;
    } cases[] = {
        {"idle-std", "Error FaultyFrame::OnDestroy"},
        {"idle-other", "内部エラーです"},
        {"last-std", "Error FaultyFrame::WindowProc"},
        {"last-other", "内部エラーです"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        const std::string gone = dir / "FrameGone.txt";
        DeleteFileA(gone.c_str());
        auto kiv = Start(std::string("run ") + c.fault, "", "faultykiv.exe");
        HWND frame = WaitForFrame(*kiv);
        ASSERT_NE(frame, nullptr);
        if (std::string(c.fault).starts_with("idle-")) {
            auto closer = Start("/CloseKiv");
            EXPECT_EQ(closer->Wait(startTimeout), 0u);
        } else {
            DWORD_PTR result = 0;
            EXPECT_NE(
                SendMessageTimeoutA(frame, WM_APP + 77, 0, 0, SMTO_NORMAL, startTimeout, &result),
                0);
        }
        HWND box = kivtest::WaitForWindow(kiv->Id(), "KIV - 未処理の例外", startTimeout);
        EXPECT_NE(box, nullptr) << "the exception did not reach the guard";
        if (!box)
            continue;
        EXPECT_TRUE(kivtest::Exists(gone)) << "the box came before the frame object was gone";
        EXPECT_FALSE(IsWindow(frame));
        EXPECT_EQ(kivtest::MessageBoxText(box), c.text);
        EXPECT_TRUE(kivtest::CloseMessageBox(box));
        EXPECT_EQ(kiv->Wait(startTimeout), 0u);
    }
}

} // namespace
