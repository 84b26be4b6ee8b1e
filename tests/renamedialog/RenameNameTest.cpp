// The rename dialog's decisions over plain values: the command line, the name split and which
// new names are names.
#include <gtest/gtest.h>

#include "RenameName.h"

namespace {

struct SplitCase {
    const char* label;
    const char* path;
    bool isShortcut;
    const char* folderPart;
    const char* namePart;
    const char* keptSuffix;
};

const SplitCase splitCases[] = {
    {"plain file", "D:\\Items\\Memo.txt", false, "D:\\Items\\", "Memo.txt", ""},
    {"file with two dots", "D:\\Items\\archive.tar.gz", false, "D:\\Items\\", "archive.tar.gz", ""},
    {"shortcut", "D:\\Items\\Editor.lnk", true, "D:\\Items\\", "Editor", ".lnk"},
    {"shortcut with two dots", "D:\\Items\\my.app.lnk", true, "D:\\Items\\", "my.app", ".lnk"},
    {"shortcut without extension", "D:\\Items\\Editor", true, "D:\\Items\\", "Editor", ""},
    {"new folder with a final dot", "D:\\Items\\新しいフォルダ.", false, "D:\\Items\\",
     "新しいフォルダ", ""},
    {"name ending in two dots keeps one", "D:\\Items\\a..", false, "D:\\Items\\", "a.", ""},
    {"name of a dot only", "D:\\Items\\.profile", false, "D:\\Items\\", ".profile", ""},
    {"dot in the folder part only", "D:\\v1.2\\Memo", true, "D:\\v1.2\\", "Memo", ""},
    // 表 and ソ end in the byte 0x5C: the name is the whole character, not an empty tail.
    {"name ending in a 0x5C trail byte", "D:\\Items\\表", false, "D:\\Items\\", "表", ""},
    {"folder and name with 0x5C trail bytes", "D:\\ソフト\\表計算.lnk", true, "D:\\ソフト\\",
     "表計算", ".lnk"},
    {"final dot after a 0x5C trail byte", "D:\\表\\ソ.", false, "D:\\表\\", "ソ", ""},
    {"path without backslash", "Memo.txt", false, "", "Memo.txt", ""},
    {"shortcut without backslash", "Editor.lnk", true, "", "Editor", ".lnk"},
    {"path ending in a backslash", "D:\\Items\\Tools\\", false, "D:\\Items\\Tools\\", "", ""},
    {"drive root", "D:\\", false, "D:\\", "", ""},
    {"empty path", "", false, "", "", ""},
};

class SplitRenamePathTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitRenamePathTest, SplitsIntoFolderNameAndKeptSuffix) {
    const SplitCase& c = GetParam();
    const RenameNameParts parts = SplitRenamePath(c.path, c.isShortcut);
    EXPECT_EQ(parts.folderPart, c.folderPart);
    EXPECT_EQ(parts.namePart, c.namePart);
    EXPECT_EQ(parts.keptSuffix, c.keptSuffix);
}

INSTANTIATE_TEST_SUITE_P(Table, SplitRenamePathTest, ::testing::ValuesIn(splitCases),
                         [](const ::testing::TestParamInfo<SplitCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });

TEST(SplitRenamePath, TheFixturesReallyHoldTrailBytes0x5C) {
    // The literals are compiled to code page 932; the table above relies on these bytes.
    EXPECT_EQ(std::string("表"), std::string("\x95\x5C"));
    EXPECT_EQ(std::string("ソ"), std::string("\x83\x5C"));
}

TEST(SplitRenamePath, ALeadByteAtTheVeryEndStandsAlone) {
    const RenameNameParts parts = SplitRenamePath("D:\\Items\\a\x95", false);
    EXPECT_EQ(parts.folderPart, "D:\\Items\\");
    EXPECT_EQ(parts.namePart, "a\x95");
}

struct ArgumentsCase {
    const char* label;
    std::vector<std::string> arguments;
    bool accepted;
};

TEST(ParseRenameArguments, ExactlyTheSwitchTheDataDirectoryAndThePath) {
    const ArgumentsCase cases[] = {
        {"all three", {"/HriSywjfw7747", "C:\\Kiv\\IconData", "C:\\Items\\Memo.txt"}, true},
        {"empty path", {"/HriSywjfw7747", "C:\\Kiv\\IconData", ""}, true},
        {"two arguments", {"/HriSywjfw7747", "C:\\Kiv\\IconData"}, false},
        {"four arguments", {"/HriSywjfw7747", "C:\\D", "C:\\I", "x"}, false},
        {"none", {}, false},
        {"switch alone", {"/HriSywjfw7747"}, false},
        {"switch in other letter case", {"/hrisywjfw7747", "C:\\D", "C:\\I"}, false},
        {"switch in second place", {"C:\\D", "/HriSywjfw7747", "C:\\I"}, false},
        {"switch with a tail", {"/HriSywjfw77470", "C:\\D", "C:\\I"}, false},
    };
    for (const ArgumentsCase& c : cases) {
        SCOPED_TRACE(c.label);
        const auto parsed = ParseRenameArguments(c.arguments);
        ASSERT_EQ(parsed.has_value(), c.accepted);
        if (parsed) {
            EXPECT_EQ(parsed->dataDirectory, c.arguments[1]);
            EXPECT_EQ(parsed->path, c.arguments[2]);
        }
    }
}

TEST(CommandLineArguments, SplitsByTheUsualRulesInTheAnsiCodePage) {
    const struct {
        const wchar_t* commandLine;
        std::vector<std::string> arguments;
    } cases[] = {
        {L"KivRen.kxe /HriSywjfw7747 C:\\Kiv\\IconData C:\\Items\\Memo.txt",
         {"/HriSywjfw7747", "C:\\Kiv\\IconData", "C:\\Items\\Memo.txt"}},
        {L"\"C:\\Program Files\\Kiv\\KivRen.kxe\" /HriSywjfw7747 \"C:\\My Kiv\\IconData\" "
         L"\"C:\\My Items\\Memo 1.txt\"",
         {"/HriSywjfw7747", "C:\\My Kiv\\IconData", "C:\\My Items\\Memo 1.txt"}},
        // A quoted path ending in 表: its trail byte 0x5C must not escape the closing quote.
        {L"KivRen.kxe /HriSywjfw7747 \"C:\\Kiv\\IconData\" \"C:\\Items\\\u8868\"",
         {"/HriSywjfw7747", "C:\\Kiv\\IconData", "C:\\Items\\表"}},
        {L"KivRen.kxe", {}},
        {L"KivRen.kxe \"\"", {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        EXPECT_EQ(CommandLineArguments(c.commandLine), c.arguments);
    }
}

TEST(IsPlainNewName, NamesWithoutSeparators) {
    const struct {
        const char* name;
        bool plain;
    } cases[] = {
        {"Note.txt", true},   {"Apps", true}, {"表", true},  {"ソフト表", true},
        {"a?b", true},        {"..", true},   {"", false},   {"a\\b", false},
        {"..\\Other", false}, {"a/b", false}, {"\\", false}, {"表\\", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsPlainNewName(c.name), c.plain);
    }
}

} // namespace
