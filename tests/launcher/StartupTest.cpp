#include <gtest/gtest.h>

#include "Startup.h"

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
