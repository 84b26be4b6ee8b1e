// Starting the companion programs: the command lines, and real processes started beside the
// running program.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "Companion.h"
#include "TestSupport.h"

using kivtest::TempDir;

TEST(BuildCommandLine, QuotesTextsWithASpaceAndEndsWithASpace) {
    struct Case {
        std::vector<std::string> texts;
        std::string expected;
    };
    const Case cases[] = {
        {{"KivRen.kxe", "/HriSywjfw7747", "D:\\Tools\\IconData", "D:\\My Items\\Memo.txt"},
         "KivRen.kxe /HriSywjfw7747 D:\\Tools\\IconData \"D:\\My Items\\Memo.txt\" "},
        {{"KivProp.kxe", "/QpuvaoTgduauaz5579", "D:\\Tools\\IconData", "D:\\My Items", "My Items"},
         "KivProp.kxe /QpuvaoTgduauaz5579 D:\\Tools\\IconData \"D:\\My Items\" \"My Items\" "},
        {{"KivProp.kxe", "/QpuvaoTgduauaz5579", "D:\\Tools\\IconData", "Default", "デフォルト"},
         "KivProp.kxe /QpuvaoTgduauaz5579 D:\\Tools\\IconData Default デフォルト "},
        {{"KivAbout.kxe", "/SyjFetpu9861"}, "KivAbout.kxe /SyjFetpu9861 "},
        // Nothing is escaped: a double quote is copied as it is, inside the added quotes too.
        {{"p", "a\"b"}, "p a\"b "},
        {{"p", "say \"hi\""}, "p \"say \"hi\"\" "},
        // Only the space character quotes; a tab does not.
        {{"p", "a\tb"}, "p a\tb "},
        {{"p", "C:\\表 ソフト"}, "p \"C:\\表 ソフト\" "},
        {{"p", ""}, "p  "},
        {{"p", " "}, "p \" \" "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildCommandLine(c.texts), c.expected);
}

namespace {

// What the stand-in companion wrote: its command line and its working directory.
struct ProbeRecord {
    std::string commandLine;
    std::string directory;
};

// Points cmdprobe.kxe at a fresh output file and runs the test from a working directory that
// holds no program, so that only the folder of the running program can supply it.
class CompanionStart : public ::testing::Test {
protected:
    TempDir scratch{"kivcomp"};
    TempDir work{"kivwork"};
    std::string out = scratch / "probe.txt";
    char previousDirectory[MAX_PATH]{};

    void SetUp() override {
        ASSERT_TRUE(kivtest::Exists(kivtest::BuiltProgram("cmdprobe.kxe")));
        SetEnvironmentVariableA("KIV_CMDPROBE_OUT", out.c_str());
        GetCurrentDirectoryA(sizeof(previousDirectory), previousDirectory);
        ASSERT_TRUE(SetCurrentDirectoryA(work.Path().c_str()));
    }
    void TearDown() override {
        SetCurrentDirectoryA(previousDirectory);
        SetEnvironmentVariableA("KIV_CMDPROBE_OUT", nullptr);
    }

    bool WaitForRecord(ProbeRecord& record, DWORD milliseconds = 20000) {
        // The stand-in renames its file into place; until the rename is through, the file may
        // be there and still not open.
        std::string text;
        const DWORD start = GetTickCount();
        for (;;) {
            try {
                if (kivtest::Exists(out)) {
                    text = kivtest::ReadTextFile(out);
                    break;
                }
            } catch (const std::runtime_error&) {
            }
            if (GetTickCount() - start > milliseconds)
                return false;
            Sleep(50);
        }
        const size_t end = text.find('\n');
        record.commandLine = text.substr(0, end);
        record.directory = text.substr(end + 1, text.find('\n', end + 1) - end - 1);
        return true;
    }
};

} // namespace

TEST_F(CompanionStart, StartsAKxeBesideTheProgramWithTheExactCommandLine) {
    LaunchCompanion("cmdprobe.kxe", "/QpuvaoTgduauaz5579", "D:\\Tools\\IconData", "D:\\My Items",
                    "マイ アイテム", nullptr);
    ProbeRecord record;
    ASSERT_TRUE(WaitForRecord(record)) << "the companion did not start";
    EXPECT_EQ(record.commandLine, "cmdprobe.kxe /QpuvaoTgduauaz5579 D:\\Tools\\IconData "
                                  "\"D:\\My Items\" \"マイ アイテム\" ");
    EXPECT_EQ(record.directory, work.Path()) << "the child inherits the working directory";
}

TEST_F(CompanionStart, RunCommandLineReportsWhetherTheProcessStarted) {
    EXPECT_FALSE(RunCommandLine("kiv-no-such-companion.kxe /SyjFetpu9861 "));
    EXPECT_TRUE(RunCommandLine("cmdprobe.kxe /SyjFetpu9861 "));
    ProbeRecord record;
    ASSERT_TRUE(WaitForRecord(record));
    EXPECT_EQ(record.commandLine, "cmdprobe.kxe /SyjFetpu9861 ");
}
