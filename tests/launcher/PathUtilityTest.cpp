#include <gtest/gtest.h>

#include <cstring>
#include <utility>

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

namespace {
// Stands in for GetModuleFileNameA with a chosen path: cuts it and answers the buffer size when
// it does not fit, as the system does.
std::string fakeModulePath;
int fakeCalls = 0;
DWORD FakeModuleFileName(char* buffer, DWORD size) {
    ++fakeCalls;
    if (fakeModulePath.empty())
        return 0;
    if (fakeModulePath.size() >= size) {
        memcpy(buffer, fakeModulePath.data(), size - 1);
        buffer[size - 1] = '\0';
        return size;
    }
    memcpy(buffer, fakeModulePath.c_str(), fakeModulePath.size() + 1);
    return static_cast<DWORD>(fakeModulePath.size());
}
} // namespace

TEST(KivGetFullPathName, ProgramPathLongerThanTheFirstBufferIsReadWhole) {
    // Wine cannot start a program from so deep a folder, so the module path is simulated.
    std::string folder = "C:\\";
    while (folder.size() < 700)
        folder += std::string(50, 'd') + "\\";
    struct Case {
        std::string modulePath;
        std::string expected;
        int calls; // 1: the first buffer of 260 characters was enough
    };
    // The buffer grows while the path and the name's 7 characters reach its size: a module path
    // of 252 characters stays in the first buffer, one of 253 does not.
    const std::string below = "C:\\" + std::string(243, 'a');
    const std::string at = "C:\\" + std::string(244, 'a');
    ASSERT_EQ((below + "\\K.exe").size(), 252u);
    const Case cases[] = {
        {folder + "Kiv.exe", folder + "KIV.HLP", 3},
        {below + "\\K.exe", below + "\\KIV.HLP", 1},
        {at + "\\K.exe", at + "\\KIV.HLP", 2},
        {"C:\\ソフト表\\Kiv.exe", "C:\\ソフト表\\KIV.HLP", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modulePath.size());
        fakeModulePath = c.modulePath;
        fakeCalls = 0;
        EXPECT_EQ(KivGetFullPathName("KIV.HLP", FakeModuleFileName), c.expected);
        EXPECT_EQ(fakeCalls, c.calls) << "buffers of 260, 520, 1040 characters";
    }
}

TEST(KivGetFullPathName, FailuresCarryTheirMessages) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "KivGetFullPathName:1"},
        {"Kiv.exe", "KivGetFullPathName:2"},
        {"C:表", "KivGetFullPathName:2"}, // only a trail byte 0x5C
    };
    for (const auto& [modulePath, message] : cases) {
        fakeModulePath = modulePath;
        try {
            KivGetFullPathName("KIV.HLP", FakeModuleFileName);
            ADD_FAILURE() << "no exception for '" << modulePath << "'";
        } catch (const KivUtilityException& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}
