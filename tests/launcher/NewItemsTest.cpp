// New-item utilities: the free-name series, the new-shortcut command and shortcut files.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <stdexcept>
#include <string>

#include "CodeTrans.h"
#include "KivPidl.h"
#include "NewItems.h"
#include "OleWrapper.h"
#include "PathUtility.h"
#include "TestSupport.h"

using kivtest::TempDir;

namespace {
const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);
} // namespace

TEST(UniqueFileNameCandidate, FollowsTheSeries) {
    struct Case {
        std::string folder, base, extension;
        unsigned n;
        std::string expected;
    };
    const Case cases[] = {
        {"D:\\Tools", "KIV Separator", "sep.kiv", 1, "D:\\Tools\\KIV Separator.sep.kiv"},
        {"D:\\Tools", "KIV Separator", "sep.kiv", 2, "D:\\Tools\\KIV Separator(2).sep.kiv"},
        {"D:\\Tools", "新しいショートカット", "LNK", 12, "D:\\Tools\\新しいショートカット(12).LNK"},
        // An empty extension leaves the dot, which the file system drops on creation.
        {"D:\\Tools", "新しいフォルダ", "", 1, "D:\\Tools\\新しいフォルダ."},
        {"D:\\Tools", "新しいフォルダ", "", 3, "D:\\Tools\\新しいフォルダ(3)."},
        // A drive root already ends with its backslash.
        {"D:\\", "デスクトップへのショートカット", "lnk", 1,
         "D:\\デスクトップへのショートカット.lnk"},
        {"D:\\", "KIV Separator", "sep.kiv", 2, "D:\\KIV Separator(2).sep.kiv"},
        // 表 ends in the byte 0x5C, which is not a backslash: the separator is still added.
        {"D:\\ソフト表", "KIV Separator", "sep.kiv", 1, "D:\\ソフト表\\KIV Separator.sep.kiv"},
        {"D:\\ソフト表\\", "KIV Separator", "sep.kiv", 1, "D:\\ソフト表\\KIV Separator.sep.kiv"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UniqueFileNameCandidate(c.folder, c.base, c.extension, c.n), c.expected);
}

TEST(MakeUniqueFileName, SkipsEveryNameThatExists) {
    TempDir dir{"kivnames"};
    const std::string expected[] = {dir / "KIV Separator.sep.kiv", dir / "KIV Separator(2).sep.kiv",
                                    dir / "KIV Separator(3).sep.kiv"};
    for (const std::string& name : expected) {
        const std::string path = MakeUniqueFileName(dir.Path().c_str(), "KIV Separator", "sep.kiv");
        EXPECT_EQ(path, name);
        kivtest::WriteTextFile(path, "");
    }
    // A folder takes a name as well as a file does.
    kivtest::MakeDir(dir / "KIV Separator(4).sep.kiv");
    EXPECT_EQ(MakeUniqueFileName(dir.Path().c_str(), "KIV Separator", "sep.kiv"),
              dir / "KIV Separator(5).sep.kiv");
}

TEST(MakeUniqueFileName, NewFolderPathEndsWithADotAndTheFolderTakesTheBareName) {
    TempDir dir{"kivnames"};
    const std::string first = MakeUniqueFileName(dir.Path().c_str(), "新しいフォルダ", "");
    EXPECT_EQ(first, dir / "新しいフォルダ.");
    ASSERT_TRUE(CreateDirectoryA(first.c_str(), nullptr));
    EXPECT_EQ(GetPathType((dir / "新しいフォルダ").c_str()), PathFolder);
    EXPECT_EQ(MakeUniqueFileName(dir.Path().c_str(), "新しいフォルダ", ""),
              dir / "新しいフォルダ(2).");
}

TEST(MakeUniqueFileName, DriveRootGetsNoSecondBackslash) {
    const std::string base = "kiv-unused-" + std::to_string(GetCurrentProcessId());
    EXPECT_EQ(MakeUniqueFileName("C:\\", base.c_str(), "tmp"), "C:\\" + base + ".tmp");
}

TEST(FillShellNewCommand, ReplacesTheFirstOfEachPlaceholder) {
    const std::string path = "C:\\My Items\\新しいショートカット.LNK";
    struct Case {
        std::string command, expected;
    };
    const Case cases[] = {
        {"rundll32.exe appwiz.cpl,NewLinkHere %1", "rundll32.exe appwiz.cpl,NewLinkHere " + path},
        {"wizard.exe %2 /x %1", "wizard.exe " + path + " /x " + path},
        {"wizard.exe /new", "wizard.exe /new"},
        {"wizard.exe %1 %1 %2 %2", "wizard.exe " + path + " %1 " + path + " %2"},
        {"%1", path},
        {"wizard.exe %3 %", "wizard.exe %3 %"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillShellNewCommand(c.command, path), c.expected) << c.command;
    // A placeholder inside the inserted path is part of the name, not the command's.
    EXPECT_EQ(FillShellNewCommand("w.exe %1 -%2", "C:\\a%2b\\x.LNK"),
              "w.exe C:\\a%2b\\x.LNK -C:\\a%2b\\x.LNK");
    EXPECT_EQ(FillShellNewCommand("w.exe %1", "C:\\a%2b\\x.LNK"), "w.exe C:\\a%2b\\x.LNK");
}

namespace {

// The command the injected source answers with; an empty text stands for an unreadable key.
std::string fakeCommand;
bool FakeShellNewCommand(std::string& command) {
    if (fakeCommand.empty())
        return false;
    command = fakeCommand;
    return true;
}

// Runs with cmdprobe.kxe, the stand-in wizard, writing its command line to probe.txt.
class NewShortcut : public ::testing::Test {
protected:
    TempDir scratch{"kivscratch"};
    TempDir dir{"kivnew"};
    std::string out = scratch / "probe.txt";

    void SetUp() override { SetEnvironmentVariableA("KIV_CMDPROBE_OUT", out.c_str()); }
    void TearDown() override { SetEnvironmentVariableA("KIV_CMDPROBE_OUT", nullptr); }

    // The stand-in's command line, or "" when it did not run within the time.
    std::string StartedCommandLine(DWORD milliseconds = 20000) {
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
                return "";
            Sleep(50);
        }
        return text.substr(0, text.find('\n'));
    }

    // The names in the folder, sorted by the file system.
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((dir / "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
                names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return names;
    }
};

} // namespace

TEST_F(NewShortcut, StartsTheWizardOnAnEmptyFileInTheFolder) {
    struct Case {
        std::string command;       // the registry's command
        std::string expectedStart; // the stand-in's command line, with P for the path
    };
    const Case cases[] = {
        {"cmdprobe.kxe /wizard", "cmdprobe.kxe /wizard"}, // started unchanged
        {"cmdprobe.kxe %1", "cmdprobe.kxe P"},
        {"cmdprobe.kxe /a %2 /b %1", "cmdprobe.kxe /a P /b P"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        kivtest::RemoveTree(dir.Path());
        kivtest::MakeDir(dir.Path());
        DeleteFileA(out.c_str());
        fakeCommand = c.command;
        EXPECT_TRUE(CreateNewShortcut(dir.Path().c_str(), FakeShellNewCommand));
        const std::string path = dir / "新しいショートカット.LNK";
        std::string expected = c.expectedStart;
        for (size_t p; (p = expected.find(" P")) != std::string::npos;)
            expected.replace(p + 1, 1, path);
        EXPECT_EQ(StartedCommandLine(), expected);
        EXPECT_EQ(Names(), std::vector<std::string>{"新しいショートカット.LNK"});
        EXPECT_EQ(GetPathType(path.c_str()), PathFile);
    }
}

TEST_F(NewShortcut, TakesTheNextFreeName) {
    kivtest::WriteTextFile(dir / "新しいショートカット.LNK", "");
    kivtest::WriteTextFile(dir / "新しいショートカット(2).LNK", "");
    fakeCommand = "cmdprobe.kxe %1";
    EXPECT_TRUE(CreateNewShortcut(dir.Path().c_str(), FakeShellNewCommand));
    EXPECT_EQ(StartedCommandLine(), "cmdprobe.kxe " + (dir / "新しいショートカット(3).LNK"));
    EXPECT_EQ(Names().size(), 3u);
}

TEST_F(NewShortcut, LeavesNoFileBehindWhenItFails) {
    struct Case {
        const char* why;
        std::string command;
    };
    const Case cases[] = {
        {"the command cannot be read", ""},
        {"the wizard cannot be started", "kiv-no-such-wizard.exe %1"},
    };
    kivtest::WriteTextFile(dir / "新しいショートカット.LNK", "kept");
    for (const Case& c : cases) {
        fakeCommand = c.command;
        EXPECT_FALSE(CreateNewShortcut(dir.Path().c_str(), FakeShellNewCommand)) << c.why;
        EXPECT_EQ(Names(), std::vector<std::string>{"新しいショートカット.LNK"}) << c.why;
        EXPECT_EQ(kivtest::ReadTextFile(dir / "新しいショートカット.LNK"), "kept") << c.why;
    }
    // A folder that is not there: nothing is created and nothing is started.
    fakeCommand = "cmdprobe.kxe %1";
    EXPECT_FALSE(CreateNewShortcut((dir / "missing").c_str(), FakeShellNewCommand));
    EXPECT_EQ(StartedCommandLine(1500), "");
}

namespace {

// Sets HKEY_CLASSES_ROOT\.lnk\ShellNew "Command" for one test and puts back what was there.
class ShellNewCommandOverride {
public:
    ShellNewCommandOverride() {
        DWORD disposition = 0;
        status = RegCreateKeyExA(HKEY_CLASSES_ROOT, ".lnk\\ShellNew", 0, nullptr, 0,
                                 KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, &disposition);
        if (status != ERROR_SUCCESS)
            return;
        createdKey = disposition == REG_CREATED_NEW_KEY;
        DWORD size = sizeof(oldValue);
        hadValue = RegQueryValueExA(key, "Command", nullptr, &oldType,
                                    reinterpret_cast<BYTE*>(oldValue), &size) == ERROR_SUCCESS;
        oldSize = size;
    }
    ~ShellNewCommandOverride() {
        if (status != ERROR_SUCCESS)
            return;
        if (hadValue)
            RegSetValueExA(key, "Command", 0, oldType, reinterpret_cast<BYTE*>(oldValue), oldSize);
        else
            RegDeleteValueA(key, "Command");
        RegCloseKey(key);
        if (createdKey)
            RegDeleteKeyA(HKEY_CLASSES_ROOT, ".lnk\\ShellNew");
    }
    bool Set(DWORD type, const std::string& command) {
        return status == ERROR_SUCCESS &&
               RegSetValueExA(key, "Command", 0, type,
                              reinterpret_cast<const BYTE*>(command.c_str()),
                              static_cast<DWORD>(command.size() + 1)) == ERROR_SUCCESS;
    }
    LONG status;

private:
    HKEY key = nullptr;
    bool createdKey = false, hadValue = false;
    DWORD oldType = 0, oldSize = 0;
    char oldValue[2048]{};
};

} // namespace

TEST_F(NewShortcut, ReadsTheSystemsCommandFromTheClassesKey) {
    ShellNewCommandOverride registry;
    if (registry.status == ERROR_ACCESS_DENIED)
        GTEST_SKIP() << "the machine's classes key cannot be written by this user";
    // A command with an environment reference, stored as such, is expanded before it starts.
    SetEnvironmentVariableA("KIV_STANDIN_WIZARD", "cmdprobe.kxe");
    ASSERT_TRUE(registry.Set(REG_EXPAND_SZ, "%KIV_STANDIN_WIZARD% /new %1"));
    std::string command;
    ASSERT_TRUE(ReadShellNewCommand(command));
    EXPECT_EQ(command, "cmdprobe.kxe /new %1");
    EXPECT_TRUE(CreateNewShortcut(dir.Path().c_str()));
    EXPECT_EQ(StartedCommandLine(), "cmdprobe.kxe /new " + (dir / "新しいショートカット.LNK"));

    ASSERT_TRUE(registry.Set(REG_SZ, "cmdprobe.kxe %1"));
    ASSERT_TRUE(ReadShellNewCommand(command));
    EXPECT_EQ(command, "cmdprobe.kxe %1");
}

namespace {

// The target of a shortcut file as the shell reads it back.
struct LinkTarget {
    bool loaded = false;
    KivPidl list;
    std::string path;
};

LinkTarget ReadLink(const std::string& file) {
    LinkTarget target;
    OleWrapper<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.PutVoid())))
        return target;
    OleWrapper<IPersistFile> persist;
    if (FAILED(link->QueryInterface(IID_IPersistFile, persist.PutVoid())))
        return target;
    MultiByteToWideCharWrapper wide(file.c_str());
    if (FAILED(persist->Load(wide, STGM_READ)))
        return target;
    target.loaded = SUCCEEDED(link->Resolve(nullptr, SLR_NO_UI | SLR_NOUPDATE));
    link->GetIDList(target.list.Put());
    char path[MAX_PATH] = "";
    link->GetPath(path, sizeof(path), nullptr, SLGP_RAWPATH);
    target.path = path;
    return target;
}

} // namespace

TEST(CreateShellLink, WritesAShortcutThatResolvesToItsTarget) {
    TempDir dir{"kivlink"};
    kivtest::WriteTextFile(dir / "メモ.txt", "memo");
    const KivPidl file((dir / "メモ.txt").c_str());
    const KivPidl desktop(nullptr, CSIDL_DESKTOP);

    const std::string fileLink = dir / "メモへのショートカット.lnk";
    ASSERT_TRUE(CreateShellLink(fileLink.c_str(), file.Get()));
    LinkTarget target = ReadLink(fileLink);
    EXPECT_TRUE(target.loaded);
    EXPECT_EQ(target.path, dir / "メモ.txt");
    EXPECT_TRUE(target.list == file);

    const std::string desktopLink =
        MakeUniqueFileName(dir.Path().c_str(), "デスクトップへのショートカット", "lnk");
    EXPECT_EQ(desktopLink, dir / "デスクトップへのショートカット.lnk");
    ASSERT_TRUE(CreateShellLink(desktopLink.c_str(), desktop.Get()));
    target = ReadLink(desktopLink);
    EXPECT_TRUE(target.loaded);
    EXPECT_TRUE(target.list == desktop) << "the shortcut does not lead to the desktop";
}

TEST(CreateShellLink, FailsInAFolderThatIsNotThere) {
    TempDir dir{"kivlink"};
    const KivPidl desktop(nullptr, CSIDL_DESKTOP);
    const std::string link = dir / "missing\\デスクトップへのショートカット.lnk";
    EXPECT_FALSE(CreateShellLink(link.c_str(), desktop.Get()));
    EXPECT_FALSE(kivtest::Exists(link));
}
