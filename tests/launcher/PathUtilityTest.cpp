#include <gtest/gtest.h>

#include "PathUtility.h"
#include "TestSupport.h"

using kivtest::TempDir;

TEST(GetPathType, TellsFoldersFilesAndNothing) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "file.txt", "x");
    kivtest::MakeDir(dir / "フォルダ表");
    struct Case {
        std::string path;
        int expected;
    };
    const Case cases[] = {
        {"", PathMissing},
        {"C:", PathMissing},
        {"C:\\", PathFolder},
        {dir.Path(), PathFolder},
        {dir / "フォルダ表", PathFolder},
        {dir / "file.txt", PathFile},
        {dir / "missing", PathMissing},
        {dir / "missing\\deeper", PathMissing},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetPathType(c.path.c_str()), c.expected) << c.path;
}

TEST(FindLastBackslash, SkipsTrailBytes) {
    const char text[] = "C:\\dir\\表";
    const char* last = FindLastBackslash(text);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last - text, 6);
    EXPECT_EQ(FindLastBackslash("表"), nullptr);
    EXPECT_EQ(FindLastBackslash(""), nullptr);
}

TEST(KivGetFullPathName, NamesAFileBesideTheProgram) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof(self));
    std::string expected = self;
    expected = expected.substr(0, expected.find_last_of('\\') + 1) + "KIV.HLP";
    EXPECT_EQ(KivGetFullPathName("KIV.HLP"), expected);
}

namespace {
// Runs the probe copied into folder and returns what it wrote.
std::string ProbeFrom(const std::string& folder, const TempDir& scratch) {
    const std::string copy = folder + "\\pathprobe.exe";
    EXPECT_TRUE(CopyFileA(kivtest::BuiltProgram("pathprobe.exe").c_str(), copy.c_str(), FALSE))
        << GetLastError();
    const std::string out = scratch / "out.txt";
    kivtest::ChildProcess probe("\"" + copy + "\" \"" + out + "\"", scratch.Path());
    EXPECT_EQ(probe.Wait(60000), 0u);
    return kivtest::ReadTextFile(out);
}
} // namespace

TEST(KivGetFullPathName, FolderEndingInATrailByteBackslashIsNotCut) {
    TempDir dir, scratch;
    const std::string folder = dir / "ソフト表"; // 表 ends in 0x5C
    kivtest::MakeDir(folder);
    EXPECT_EQ(ProbeFrom(folder, scratch), folder + "\\KIV.HLP");
}

TEST(KivGetFullPathName, ProgramPathLongerThanTheFirstBuffer) {
    TempDir dir, scratch;
    std::string folder = dir.Path();
    while (folder.size() < 300) {
        folder += "\\" + std::string(40, 'd');
        kivtest::MakeDir(folder);
    }
    EXPECT_EQ(ProbeFrom(folder, scratch), folder + "\\KIV.HLP");
}
