#include <gtest/gtest.h>

#include <thread>

#include "Startup.h"
#include "TestSupport.h"

struct SwitchCase {
    std::vector<const char*> args;
    StartSwitch expected;
};

TEST(ParseStartSwitch, OnlyTheFirstArgumentInExactCase) {
    const SwitchCase cases[] = {
        {{"Kiv"}, StartSwitch::None},
        {{"Kiv", "/CloseKiv"}, StartSwitch::CloseKiv},
        {{"Kiv", "/ExitsNoError"}, StartSwitch::ExitsNoError},
        {{"Kiv", "/DebugMode"}, StartSwitch::DebugMode},
        {{"Kiv", "/closekiv"}, StartSwitch::None},
        {{"Kiv", "/CLOSEKIV"}, StartSwitch::None},
        {{"Kiv", "/CloseKiv2"}, StartSwitch::None},
        {{"Kiv", "x", "/CloseKiv"}, StartSwitch::None},
        {{"Kiv", "/DebugMode", "/CloseKiv"}, StartSwitch::DebugMode},
    };
    for (const SwitchCase& c : cases) {
        std::vector<char*> argv;
        for (const char* a : c.args)
            argv.push_back(const_cast<char*>(a));
        argv.push_back(nullptr);
        EXPECT_EQ(ParseStartSwitch(static_cast<int>(c.args.size()), argv.data()), c.expected)
            << (c.args.size() > 1 ? c.args[1] : "(none)");
    }
}

TEST(MakeEventName, TurnsEveryBackslashByteIntoAStar) {
    EXPECT_EQ(MakeEventName("D:\\Tools\\Launcher"),
              "KivEvent{CAABE7BE-B1E5-4B1F-8553-4C96999EC5DF}D:*Tools*Launcher");
    EXPECT_EQ(MakeEventName("D:\\"), "KivEvent{CAABE7BE-B1E5-4B1F-8553-4C96999EC5DF}D:*");
    // The trail byte 0x5C of 表 is replaced too: the rule is byte-wise.
    const std::string name = MakeEventName("C:\\表");
    const std::string expected = std::string("KivEvent{CAABE7BE-B1E5-4B1F-8553-4C96999EC5DF}C:*") +
                                 static_cast<char>(0x95) + '*';
    EXPECT_EQ(name, expected);
}

TEST(MakeEventName, DifferentSpellingsGiveDifferentNames) {
    EXPECT_NE(MakeEventName("C:\\Work"), MakeEventName("c:\\work"));
}

TEST(MakeDataDirectoryPath, AlwaysInsertsOneBackslash) {
    EXPECT_EQ(MakeDataDirectoryPath("D:\\Tools"), "D:\\Tools\\IconData");
    EXPECT_EQ(MakeDataDirectoryPath("D:\\"), "D:\\\\IconData");
}

// The start-up's named event is closed on every way out: afterwards nobody holds it, so a name
// that is gone shows that this process let go of it.
TEST(KivMain, LetsGoOfItsEventOnEveryWayOut) {
    kivtest::TempDir dir("kivmain");
    kivtest::MakeDir(dir / "IconData"); // no first start: no help call
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof(previous), previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    const std::string name = MakeEventName(dir.Path().c_str());
    auto released = [&name] {
        const HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name.c_str());
        if (event)
            CloseHandle(event);
        return event == nullptr;
    };
    char program[] = "Kiv", closeSwitch[] = "/CloseKiv", exitsSwitch[] = "/ExitsNoError";
    const HINSTANCE instance = GetModuleHandleA(nullptr);

    // A close request with nothing running.
    char* closeArgs[] = {program, closeSwitch, nullptr};
    EXPECT_EQ(KivMain(instance, 2, closeArgs), 0);
    EXPECT_TRUE(released());

    // A whole run, ended by a close request from another thread ("/ExitsNoError" starts normally
    // here; were the event still held, it would leave at once instead of showing a box).
    std::thread closer([&name] {
        for (int i = 0; i < 400; ++i) {
            if (const HANDLE event = OpenEventA(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
                SetEvent(event);
                CloseHandle(event);
                return;
            }
            Sleep(50);
        }
    });
    char* runArgs[] = {program, exitsSwitch, nullptr};
    EXPECT_EQ(KivMain(instance, 2, runArgs), 0);
    closer.join();
    EXPECT_TRUE(released());

    // An instance already runs here (this test holds the event): a silent exit.
    const HANDLE held = CreateEventA(nullptr, FALSE, FALSE, name.c_str());
    ASSERT_NE(held, nullptr);
    char* exitsArgs[] = {program, exitsSwitch, nullptr};
    EXPECT_EQ(KivMain(instance, 2, exitsArgs), 0);
    CloseHandle(held);
    EXPECT_TRUE(released());

    SetCurrentDirectoryA(previous);
}
