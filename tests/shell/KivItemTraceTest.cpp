// The trace lines of KivItem, read back from a real debug log.
#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "CodeTrans.h"
#include "DebugMode.h"
#include "KivItem.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"

using kivtest::TempDir;

namespace {

TempDir* logDir = nullptr;

// The log stays open for the whole program (the log has no way to close), so its folder is
// removed only as far as Windows lets it.
class LogEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        logDir = new TempDir("kivtrace");
        debugMode.Open(logDir->Path().c_str());
        ASSERT_TRUE(debugMode.IsOpen());
    }
    void TearDown() override {
        delete logDir;
        logDir = nullptr;
    }
};

const ::testing::Environment* const logEnvironment =
    ::testing::AddGlobalTestEnvironment(new LogEnvironment);

// The messages written since the last call, without their time stamps.
class LogReader {
public:
    LogReader() { Take(); }
    std::vector<std::string> Take() {
        const std::string content = kivtest::ReadTextFile(*logDir / "DebugLog.txt");
        std::vector<std::string> lines;
        size_t at = offset;
        for (size_t end; (end = content.find("\r\n", at)) != std::string::npos; at = end + 2) {
            const std::string line = content.substr(at, end - at);
            lines.push_back(line.size() > 15 ? line.substr(15) : line);
        }
        offset = content.size();
        return lines;
    }

private:
    size_t offset = 0;
};

std::string Format(const char* format, ...) {
    char text[1000];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

std::string Hex(const void* p) {
    return Format("%llx", TraceAddress(p));
}

ULONG AttributesOf(const KivPidl& list) {
    SHFILEINFOA info{};
    SHGetFileInfoA(reinterpret_cast<LPCSTR>(list.Get()), 0, &info, sizeof(info),
                   SHGFI_PIDL | SHGFI_ATTRIBUTES);
    return info.dwAttributes;
}

// The lines SetPathId from an absolute list writes for an item that had no list before;
// helperSteps are the SetPathIdHelper points passed, with their extra values.
std::vector<std::string> AbsoluteSetPathLines(const KivItem& item,
                                              const std::vector<std::string>& helperSteps) {
    const std::string self = Hex(&item), list = Hex(item.pidl.Get());
    const std::string set = "KivItem::SetPathId(this:" + self + "/";
    const std::string tail = ", const KivPidl& ):";
    std::vector<std::string> lines = {set + "0" + tail + "1", set + list + tail + "2",
                                      set + list + tail + "3"};
    for (const std::string& step : helperSteps)
        lines.push_back("KivItem::SetPathIdHelper(this:" + self + "/" + list + "):" + step);
    lines.push_back(set + list + tail + "4");
    const std::string helper2 = "KivItem::SetPathIdHelper2(this:" + self + "/" + list + "):";
    lines.push_back(helper2 + "1");
    lines.push_back(helper2 + "2");
    lines.push_back(helper2 + "3");
    lines.push_back(helper2 + "4:" + item.folderPath);
    lines.push_back(set + list + tail + "5");
    return lines;
}

} // namespace

TEST(KivItemTrace, ConstructionCopyAssignmentDestruction) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "a.txt", "a");
    KivItem source;
    source.SetPathId(KivPidl((dir / "a.txt").c_str()));
    const std::string src = Hex(&source), srcList = Hex(source.pidl.Get());
    LogReader log;
    std::string emptyAddress;
    {
        KivItem empty;
        emptyAddress = Hex(&empty);
        EXPECT_EQ(log.Take(),
                  std::vector<std::string>{"KivItem::KivItem(this:" + emptyAddress + "/0):1"});
    }
    EXPECT_EQ(log.Take(),
              std::vector<std::string>{"KivItem::~KivItem(this:" + emptyAddress + "/0):1"});

    std::string copyAddress, copyList;
    {
        KivItem copy(source);
        copyAddress = Hex(&copy);
        copyList = Hex(copy.pidl.Get());
        EXPECT_EQ(log.Take(),
                  std::vector<std::string>{"KivItem::KivItem(this:" + copyAddress + "/" + copyList +
                                           ", const KivItem&:" + src + "):1"});
        KivItem assigned;
        const std::string assignedAddress = Hex(&assigned);
        log.Take();
        assigned = source;
        const std::string prefix = "KivItem::operator=(this:" + assignedAddress + "/";
        const std::string suffix = ", const KivItem&:" + src + "/" + srcList + "):";
        EXPECT_EQ(log.Take(),
                  (std::vector<std::string>{prefix + "0" + suffix + "1",
                                            prefix + Hex(assigned.pidl.Get()) + suffix + "2"}));
    }
    const std::vector<std::string> destroyed = log.Take();
    ASSERT_EQ(destroyed.size(), 2u);
    EXPECT_EQ(destroyed[1], "KivItem::~KivItem(this:" + copyAddress + "/" + copyList + "):1");
}

TEST(KivItemTrace, SetPathIdFromAnAbsoluteList) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "plain.txt", "x");
    kivtest::MakeDir(dir / "folder");
    kivtest::WriteTextFile(dir / "s.sep.kiv", "");
    kivtest::MakeShortcut(dir / "file.lnk", dir / "plain.txt");
    kivtest::MakeShortcut(dir / "folder.lnk", dir / "folder");
    kivtest::WriteTextFile(dir / "garbage.lnk", "not a link");
    const KivPidl plainList((dir / "plain.txt").c_str());
    const KivPidl folderList((dir / "folder").c_str());

    struct Case {
        std::string path;
        // SetPathIdHelper points after 3; "A" stands for the item's attributes, "T" for those
        // of the shortcut's target.
        std::vector<std::string> steps;
    };
    const std::vector<Case> cases = {
        {dir / "plain.txt", {"4", "5:A", "6", "7"}},
        {dir / "folder", {"4", "5:A", "6", "7"}},
        {dir / "s.sep.kiv", {}},
        {dir / "file.lnk", {"4", "5:A", "6", "7", "8", "9", "10", "11", "12", "13:T", "14", "15"}},
        {dir / "folder.lnk", {"4", "5:A", "6", "7", "8", "9", "10", "11", "12", "13:T", "14"}},
        {dir / "garbage.lnk", {"4", "5:A", "6", "7", "8", "9", "10"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        LogReader log;
        KivItem item;
        log.Take();
        item.SetPathId(KivPidl(c.path.c_str()));
        const std::vector<std::string> lines = log.Take();

        std::vector<std::string> steps = {"1", "2:" + item.displayName, "3:" + item.parsingName};
        for (const std::string& step : c.steps) {
            if (step == "5:A")
                steps.push_back(Format("5:%lx", AttributesOf(item.pidl)));
            else if (step == "13:T")
                steps.push_back(Format(
                    "13:%lx", AttributesOf(c.path == dir / "file.lnk" ? plainList : folderList)));
            else
                steps.push_back(step);
        }
        EXPECT_EQ(lines, AbsoluteSetPathLines(item, steps));
    }
}

TEST(KivItemTrace, VirtualFolderStopsAfterTheFileSystemTest) {
    LogReader log;
    KivItem computer;
    log.Take();
    computer.SetPathId(KivPidl(nullptr, CSIDL_DRIVES));
    ASSERT_EQ(computer.type, KivItem::ItemVirtualFolder);
    EXPECT_EQ(log.Take(),
              AbsoluteSetPathLines(computer,
                                   {"1", "2:" + computer.displayName, "3:" + computer.parsingName,
                                    "4", Format("5:%lx", AttributesOf(computer.pidl)), "6"}));
}

TEST(KivItemTrace, SetPathIdFromAParentItem) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "予定表.txt", "x");
    KivItem parent;
    parent.SetPathId(KivPidl(dir.Path().c_str()));
    OleWrapper<IEnumIDList> children = parent.GetEnumIDList(nullptr, SHCONTF_NONFOLDERS);
    LPITEMIDLIST raw = nullptr;
    ASSERT_EQ(children->Next(1, &raw, nullptr), S_OK);
    const KivPidl child = KivPidl::Attach(raw);

    LogReader log;
    KivItem item;
    log.Take();
    item.SetPathId(parent, child);
    const std::string self = Hex(&item), list = Hex(item.pidl.Get());
    const std::string set = "KivItem::SetPathId(this:" + self + "/";
    const std::string tail = ", const KivItem&, const KivPidl& ):";
    const std::string helper = "KivItem::SetPathIdHelper(this:" + self + "/" + list + "):";
    const std::string helper2 = "KivItem::SetPathIdHelper2(this:" + self + "/" + list + "):";
    EXPECT_EQ(log.Take(), (std::vector<std::string>{
                              set + "0" + tail + "1",
                              set + list + tail + "2",
                              helper + "1",
                              helper + "2:" + item.displayName,
                              helper + "3:" + dir / "予定表.txt",
                              helper + "4",
                              helper + Format("5:%lx", AttributesOf(item.pidl)),
                              helper + "6",
                              helper + "7",
                              set + list + tail + "3",
                              helper2 + "1",
                              helper2 + "2",
                              helper2 + "3",
                              helper2 + "4:",
                              set + list + tail + "4",
                          }));
}

TEST(KivItemTrace, CompareIDs) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "a.txt", "a");
    kivtest::WriteTextFile(dir / "b.txt", "b");
    KivItem a, b;
    a.SetPathId(KivPidl((dir / "a.txt").c_str()));
    b.SetPathId(KivPidl((dir / "b.txt").c_str()));
    const std::string prefix =
        "KivItem::CompareIDs(this:" + Hex(&a) + "/" + Hex(a.pidl.Get()) + ", const KivItem& ):";
    LogReader log;
    // Separately built items hold separate folder objects: the desktop compares them.
    short result = a.CompareIDs(b);
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{prefix + "1", prefix + "2",
                                        prefix + Format("4:%x", unsigned(USHORT(result)))}));
    // Sharing the parent folder object: the parent compares them.
    b.parentFolder = a.parentFolder;
    result = a.CompareIDs(b);
    EXPECT_LT(result, 0);
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{prefix + "1", prefix + "3",
                                        prefix + Format("4:%x", unsigned(USHORT(result)))}));
}

TEST(KivItemTrace, ShellObjectsIconsAndNames) {
    TempDir dir;
    kivtest::MakeDir(dir / "ソフト表");
    KivItem item;
    item.SetPathId(KivPidl((dir / "ソフト表").c_str()));
    const std::string self = Hex(&item), list = Hex(item.pidl.Get());
    LogReader log;

    item.GetDataObject(nullptr);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{
                              "KivItem::GetDataObject(this:" + self + "/" + list + ", HWND ):1",
                              "KivItem::GetDataObject(this:" + self + "/" + list + ", HWND ):2"}));

    item.GetDropTarget(nullptr);
    EXPECT_EQ(log.Take(), (std::vector<std::string>{
                              "KivItem::GetDropTarget(this:" + self + "/" + list + ", HWND ):1",
                              "KivItem::GetDropTarget(this:" + self + "/" + list + ", HWND ):3"}));

    item.GetEnumIDList(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{
                  Format("KivItem::GetEnumIDList(this:%s/%s, HWND, DWORD:%d):1", self.c_str(),
                         list.c_str(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS),
                  "KivItem::GetEnumIDList(this:" + self + "/" + list + ", HWND, DWORD ):2"}));

    HIMAGELIST images = nullptr;
    const int index = item.GetIconImage(images, true);
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{
                  "KivItem::GetIconImage(this:" + self + "/" + list + ", HIMAGELIST& ,bool:1):1",
                  Format("KivItem::GetIconImage(this:%s,%s, HIMAGELIST& ,bool):2:%d", self.c_str(),
                         list.c_str(), index)}));

    EXPECT_EQ(item.GetFolderIdName(), "ソフト表");
    EXPECT_EQ(log.Take(),
              (std::vector<std::string>{
                  "KivItem::GetFolderIdName(this:" + self + "/" + list + "):1",
                  "KivItem::GetFolderIdName(this:" + self + "/" + list + "):2:ソフト表"}));
}

TEST(KivItemTrace, DropTargetOfAShortcutToTheDesktop) {
    TempDir dir;
    const KivPidl desktop(nullptr, CSIDL_DESKTOP);
    {
        OleWrapper<IShellLinkA> link;
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IShellLinkA, link.PutVoid())));
        link->SetIDList(desktop.Get());
        OleWrapper<IPersistFile> file;
        ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.PutVoid())));
        MultiByteToWideCharWrapper wide((dir / "desktop.lnk").c_str());
        ASSERT_TRUE(SUCCEEDED(file->Save(wide, TRUE)));
    }
    KivItem item;
    item.SetPathId(KivPidl((dir / "desktop.lnk").c_str()));
    if (item.type != KivItem::ItemFolderLink)
        GTEST_SKIP() << "this shell does not read a shortcut to the desktop as a folder";
    char desktopDirectory[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktopDirectory, CSIDL_DESKTOPDIRECTORY, FALSE));

    const std::string self = Hex(&item), list = Hex(item.pidl.Get());
    LogReader log;
    item.GetDropTarget(nullptr);
    const std::vector<std::string> lines = log.Take();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "KivItem::GetDropTarget(this:" + self + "/" + list + ", HWND ):1");
    EXPECT_EQ(lines[1], "KivItem::GetDropTarget(this:" + self + "/" + list + ", HWND ):2");
    // A temporary item of the desktop's directory hands out its own target, then goes.
    const std::regex nested(R"(KivItem::GetDropTarget\(this:([0-9a-f]+)/[0-9a-f]+, HWND \):3)");
    std::smatch match;
    bool sawNested = false, sawPath = false, sawDestroyed = false;
    std::string nestedAddress;
    for (const std::string& line : lines) {
        if (std::regex_match(line, match, nested)) {
            sawNested = true;
            nestedAddress = match[1];
            EXPECT_NE(nestedAddress, self);
        }
        if (line.find("SetPathIdHelper2") != std::string::npos &&
            line.size() > std::strlen(desktopDirectory) &&
            line.compare(line.size() - std::strlen(desktopDirectory), std::string::npos,
                         desktopDirectory) == 0)
            sawPath = true;
        if (!nestedAddress.empty() &&
            line.rfind("KivItem::~KivItem(this:" + nestedAddress + "/", 0) == 0)
            sawDestroyed = true;
    }
    EXPECT_TRUE(sawNested);
    EXPECT_TRUE(sawPath) << "the temporary item is not the desktop's directory";
    EXPECT_TRUE(sawDestroyed);
    EXPECT_EQ(lines.back().rfind("KivItem::~KivItem(this:" + nestedAddress, 0), 0u);
}
