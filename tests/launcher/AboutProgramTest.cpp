// KivAbout.kxe, the about program, started as the main program starts it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Companion.h"
#include "KivVersion.h"
#include "TestSupport.h"

using kivtest::ChildProcess;
using kivtest::TempDir;

namespace {

const DWORD timeout = 20000;
const char boxTitle[] = "KIV - バージョン情報";

std::unique_ptr<ChildProcess> StartAbout(const std::string& arguments, const TempDir& dir) {
    return std::make_unique<ChildProcess>(
        "\"" + kivtest::BuiltProgram("KivAbout.kxe") + "\"" + arguments, dir.Path());
}

// The icon shown by a box's picture control, or null.
HICON BoxIcon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64];
        GetClassNameA(child, className, sizeof(className));
        if (lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_ICON))
            return reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    }
    return nullptr;
}

} // namespace

TEST(AboutProgram, WithTheSwitchShowsTheVersionBoxUntilItIsClosed) {
    TempDir dir{"kivabout"};
    auto about = StartAbout(" /SyjFetpu9861 ", dir);
    HWND box = kivtest::WaitForWindow(about->Id(), boxTitle, timeout);
    ASSERT_NE(box, nullptr) << "no version box";
    const std::string text = kivtest::MessageBoxText(box);
    EXPECT_NE(text.find("KIV"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string("バージョン ") + KIV_VERSION_TEXT), std::string::npos) << text;
    EXPECT_NE(BoxIcon(box), nullptr) << "the box shows no program icon";
    EXPECT_EQ(about->Wait(1000), DWORD(STILL_ACTIVE)) << "the program ended with its box open";
    EXPECT_TRUE(kivtest::CloseMessageBox(box));
    EXPECT_EQ(about->Wait(timeout), 0u);
}

TEST(AboutProgram, WithoutTheSwitchShowsNothing) {
    TempDir dir{"kivabout"};
    const char* const commandLines[] = {"", " /syjfetpu9861", " /SyjFetpu9861 extra",
                                        " SyjFetpu9861", " \"/SyjFetpu9861 \""};
    for (const char* arguments : commandLines) {
        auto about = StartAbout(arguments, dir);
        EXPECT_EQ(about->Wait(timeout), 0u) << arguments;
        EXPECT_TRUE(kivtest::TopLevelWindows(about->Id()).empty()) << arguments;
    }
}

TEST(AboutProgram, StartsBesideTheProgramAsTheMenuCommandStartsIt) {
    TempDir work{"kivwork"};
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof(previous), previous);
    ASSERT_TRUE(SetCurrentDirectoryA(work.Path().c_str()));
    LaunchCompanion("KivAbout.kxe", "/SyjFetpu9861", nullptr);
    SetCurrentDirectoryA(previous);
    HWND box = kivtest::WaitForWindow(0, boxTitle, timeout);
    ASSERT_NE(box, nullptr) << "no version box";
    DWORD processId = 0;
    GetWindowThreadProcessId(box, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    EXPECT_TRUE(kivtest::CloseMessageBox(box));
    if (process) {
        EXPECT_EQ(WaitForSingleObject(process, timeout), WAIT_OBJECT_0);
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(process, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(process);
    }
}
