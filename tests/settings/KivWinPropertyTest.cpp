// Window properties: defaults per kind, layering of default record and folder record, the keys
// each kind writes, per-resolution sections, older files and damaged files.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

#include "KivWinProperty.h"
#include "SettingsFixture.h"

using settingstest::DataDirTest;
using settingstest::ProfileValue;
using settingstest::SectionKeys;

namespace {

using Values = std::map<std::string, int>;

Values AllValues(const KivWinProperty& p) {
    return {
        {"EachScreen", p.EachScreen},
        {"WindowSide", p.WindowSide},
        {"WinSideOffset", p.WinSideOffset},
        {"TrueHide", p.TrueHide},
        {"MaxLock", p.MaxLock},
        {"HideTime", p.HideTime},
        {"AnimateSH", p.AnimateSH},
        {"NotShowWin", p.NotShowWin},
        {"FolderOnly", p.FolderOnly},
        {"ClickWinOpen", p.ClickWinOpen},
        {"ClickWinClose", p.ClickWinClose},
        {"NeedSize", p.NeedSize},
        {"ShowTime", p.ShowTime},
        {"ItemArrange", p.ItemArrange},
        {"ItemTextPlace", p.ItemTextPlace},
        {"Column", p.Column},
        {"NormalBorder", p.NormalBorder},
        {"NormalColor", p.NormalColor},
        {"SelectBorder", p.SelectBorder},
        {"SelectColor", p.SelectColor},
        {"IconSize", p.IconSize},
        {"TextSizeWMin", p.TextSizeWMin},
        {"TextSizeWMax", p.TextSizeWMax},
        {"TextSizeH", p.TextSizeH},
        {"FontSize", p.FontSize},
        {"TurnScreen", p.TurnScreen},
        {"ShowHiddenFile", p.ShowHiddenFile},
        {"ShowSeparator", p.ShowSeparator},
        {"NoOleDnD", p.NoOleDnD},
        {"NotHideOnIconClick", p.NotHideOnIconClick},
        {"NotShowSubFolder", p.NotShowSubFolder},
        {"NoEmptySubFolder", p.NoEmptySubFolder},
        {"ItemBorderWidth", p.ItemBorderWidth},
        {"SeparatorWidth", p.SeparatorWidth},
        {"ItemBetweenIconText", p.ItemBetweenIconText},
        {"WindowBorder", p.WindowBorder},
        {"BetweenIcon", p.BetweenIcon},
        {"TimerTimeOut", p.TimerTimeOut},
        {"SmallWindowWidth", p.SmallWindowWidth},
        {"AnimateSHWait", p.AnimateSHWait},
        {"DisableDragStart", p.DisableDragStart},
    };
}

const Values plainDefaults = {
    {"EachScreen", 0},
    {"WindowSide", 0},
    {"WinSideOffset", 0},
    {"TrueHide", 0},
    {"MaxLock", 0},
    {"HideTime", 0},
    {"AnimateSH", 0},
    {"NotShowWin", 0},
    {"FolderOnly", 0},
    {"ClickWinOpen", 0},
    {"ClickWinClose", 0},
    {"NeedSize", 1},
    {"ShowTime", 0},
    {"ItemArrange", 1},
    {"ItemTextPlace", 1},
    {"Column", 1},
    {"NormalBorder", 0},
    {"NormalColor", 0},
    {"SelectBorder", 1},
    {"SelectColor", 0},
    {"IconSize", 16},
    {"TextSizeWMin", 16},
    {"TextSizeWMax", 96},
    {"TextSizeH", 16},
    {"FontSize", 0},
    {"TurnScreen", 0},
    {"ShowHiddenFile", 0},
    {"ShowSeparator", 0},
    {"NoOleDnD", 0},
    {"NotHideOnIconClick", 0},
    {"NotShowSubFolder", 0},
    {"NoEmptySubFolder", 1},
    {"ItemBorderWidth", 2},
    {"SeparatorWidth", 12},
    {"ItemBetweenIconText", 2},
    {"WindowBorder", 3},
    {"BetweenIcon", 2},
    {"TimerTimeOut", 100},
    {"SmallWindowWidth", 3},
    {"AnimateSHWait", 7},
    {"DisableDragStart", 0},
};

Values TopDefaults() {
    Values v = plainDefaults;
    v["NeedSize"] = 0;
    v["ItemArrange"] = 2;
    v["ItemTextPlace"] = 2;
    v["IconSize"] = 32;
    v["TextSizeWMin"] = 64;
    v["TextSizeWMax"] = 64;
    v["TextSizeH"] = 32;
    return v;
}

Values With(Values base, const Values& changes) {
    for (const auto& [key, value] : changes)
        base[key] = value;
    return base;
}

// Every field set to a value of its own that no default has: 1 for flags, else 50 + index.
void SetDistinctValues(KivWinProperty& p) {
    p.EachScreen = false;
    p.WindowSide = 3;
    p.WinSideOffset = 51;
    p.TrueHide = true;
    p.MaxLock = true;
    p.HideTime = 52;
    p.AnimateSH = true;
    p.NotShowWin = true;
    p.FolderOnly = true;
    p.ClickWinOpen = true;
    p.ClickWinClose = true;
    p.NeedSize = false;
    p.ShowTime = 53;
    p.ItemArrange = 4;
    p.ItemTextPlace = 3;
    p.Column = 54;
    p.NormalBorder = true;
    p.NormalColor = true;
    p.SelectBorder = false;
    p.SelectColor = true;
    p.IconSize = 55;
    p.TextSizeWMin = 56;
    p.TextSizeWMax = 57;
    p.TextSizeH = 58;
    p.FontSize = -59;
    p.TurnScreen = true;
    p.ShowHiddenFile = true;
    p.ShowSeparator = true;
    p.NoOleDnD = true;
    p.NotHideOnIconClick = true;
    p.NotShowSubFolder = true;
    p.NoEmptySubFolder = false;
    p.ItemBorderWidth = 60;
    p.SeparatorWidth = 61;
    p.ItemBetweenIconText = 62;
    p.WindowBorder = 63;
    p.BetweenIcon = 64;
    p.TimerTimeOut = 65;
    p.SmallWindowWidth = 66;
    p.AnimateSHWait = 67;
    p.DisableDragStart = true;
}

const std::set<std::string> edgeKeys = {"WindowSide", "WinSideOffset", "TrueHide",
                                        "MaxLock",    "HideTime",      "AnimateSH"};
const std::set<std::string> globalKeys = {
    "ItemBorderWidth", "SeparatorWidth",   "ItemBetweenIconText", "WindowBorder",    "BetweenIcon",
    "TimerTimeOut",    "SmallWindowWidth", "AnimateSHWait",       "DisableDragStart"};
const std::set<std::string> commonKeys = {
    "FolderOnly",    "ClickWinOpen",     "ClickWinClose",      "NeedSize",
    "ShowTime",      "ItemArrange",      "ItemTextPlace",      "Column",
    "NormalBorder",  "NormalColor",      "SelectBorder",       "SelectColor",
    "IconSize",      "TextSizeWMin",     "TextSizeWMax",       "TextSizeH",
    "FontSize",      "NoEmptySubFolder", "TurnScreen",         "ShowHiddenFile",
    "ShowSeparator", "NoOleDnD",         "NotHideOnIconClick", "NotShowSubFolder"};

std::set<std::string> Union(std::initializer_list<std::set<std::string>> sets) {
    std::set<std::string> all;
    for (const auto& s : sets)
        all.insert(s.begin(), s.end());
    return all;
}

std::string ScreenSection() {
    return "Resolution(" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "," +
           std::to_string(GetSystemMetrics(SM_CYSCREEN)) + ")";
}

} // namespace

class WindowProperties : public DataDirTest {
protected:
    std::string top;   // directly in the data directory: kind 0
    std::string other; // anywhere else: kind 1

    void SetUp() override {
        DataDirTest::SetUp();
        top = data + "\\TopWindow1";
        kivtest::MakeDir(top);
        other = MakeFolder("Sub");
    }

    Values Loaded(const char* folder) {
        KivWinProperty p(data.c_str());
        p.LoadParam(folder);
        return AllValues(p);
    }

    std::string RecordFile(const char* folder) {
        KivWinProperty p(data.c_str());
        p.MakeParamHash(folder, false);
        return p.GetParamFileName();
    }

    // Writes a hash entry and a record file by hand, as another version of the program might.
    void WriteRecord(const char* folder, const std::string& content) {
        KivWinProperty p(data.c_str());
        p.MakeParamHash(folder, true);
        kivtest::WriteTextFile(p.GetParamFileName(), content);
    }
};

TEST_F(WindowProperties, KindFollowsTheFolderPlace) {
    const struct {
        std::string folder;
        bool none;
        unsigned char kind;
    } cases[] = {
        {"", true, ParamKindDefault},
        {"Default", false, ParamKindDefault},
        {"DEFAULT", false, ParamKindDefault},
        {top, false, ParamKindTop},
        {data + "\\TopWindow1", false, ParamKindTop},
        {other, false, ParamKindOther},
        {top + "\\Inner", false, ParamKindOther},
        {data, false, ParamKindOther},
        {root.Path() + "\\missing\\x", false, ParamKindOther},
        {"::not a path::", false, ParamKindOther},
    };
    kivtest::MakeDir(top + "\\Inner");
    for (const auto& c : cases) {
        KivWinProperty p(data.c_str());
        EXPECT_EQ(p.kind, ParamKindUnset);
        p.SetParamKind(c.none ? nullptr : c.folder.c_str());
        EXPECT_EQ(p.kind, c.kind) << c.folder;
    }
}

// A byte that is no character converts to a replacement character; the path then fails to parse
// like any path that names nothing, and the folder counts as an "other" folder.
TEST_F(WindowProperties, APathWithAnInvalidByteLoadsAndSavesAsAnOtherFolder) {
    for (const std::string& folder : {top + "\x81", other + "\\x\x81\x20y"}) {
        SCOPED_TRACE(folder);
        KivWinProperty p(data.c_str());
        EXPECT_NO_THROW(p.LoadParam(folder.c_str()));
        EXPECT_EQ(p.kind, ParamKindOther);
        EXPECT_EQ(AllValues(p), plainDefaults);
        p.IconSize = 20;
        EXPECT_NO_THROW(p.SaveParam(folder.c_str()));
    }
}

// The kind is resolved once, before the lock is taken: a top folder that disappears while the
// load waits for the lock is still loaded as the top folder it was, with its top-only keys.
TEST_F(WindowProperties, TheLoadKeepsTheKindItResolvedBeforeWaitingForTheLock) {
    WriteRecord(top.c_str(), "[AllResolution]\r\nWindowSide=2\r\nIconSize=36\r\n");
    const std::string marker = root / "holding.txt";
    kivtest::ChildProcess holder(
        "\"" + kivtest::BuiltProgram("settingsstress.exe") + "\" hold \"" + marker + "\"", "");
    for (int i = 0; i < 400 && !kivtest::Exists(marker); ++i)
        Sleep(50);
    ASSERT_TRUE(kivtest::Exists(marker)) << "the holder never took the lock";

    KivWinProperty p(data.c_str());
    std::thread loader([&p, this] { p.LoadParam(top.c_str()); });
    bool resolved = false;
    for (int i = 0; i < 400 && !resolved; ++i) {
        resolved = std::atomic_ref<unsigned char>(p.kind).load() != ParamKindUnset;
        if (!resolved)
            Sleep(50);
    }
    EXPECT_TRUE(resolved) << "the load never resolved the kind";
    EXPECT_TRUE(RemoveDirectoryA(top.c_str()));
    holder.Kill();
    loader.join();
    EXPECT_EQ(p.kind, ParamKindTop);
    EXPECT_EQ(p.WindowSide, 2);
    EXPECT_EQ(p.IconSize, 36);
}

TEST_F(WindowProperties, WithoutRecordsEachKindGetsItsBuiltInDefaults) {
    EXPECT_EQ(Loaded(top.c_str()), TopDefaults());
    EXPECT_EQ(Loaded(other.c_str()), plainDefaults);
    EXPECT_EQ(Loaded(nullptr), plainDefaults);
}

TEST_F(WindowProperties, DefaultRecordLiesUnderTheFolderRecord) {
    // A default record with a few keys only, and a folder record with fewer.
    WriteRecord(nullptr, "[All]\r\nDataVersion=202\r\n[AllResolution]\r\nIconSize=48\r\n"
                         "WindowSide=2\r\nNotShowWin=1\r\nTimerTimeOut=250\r\nShowTime=9\r\n");
    WriteRecord(other.c_str(), "[AllResolution]\r\nIconSize=20\r\nTimerTimeOut=999\r\n"
                               "WindowSide=1\r\n");
    WriteRecord(top.c_str(), "[AllResolution]\r\nIconSize=36\r\nNotShowWin=0\r\n"
                             "SmallWindowWidth=9\r\n");
    const Values fromDefaultRecord = {{"IconSize", 48},
                                      {"WindowSide", 2},
                                      {"NotShowWin", 1},
                                      {"TimerTimeOut", 250},
                                      {"ShowTime", 9}};
    // The default record alone.
    EXPECT_EQ(Loaded(nullptr), With(plainDefaults, fromDefaultRecord));
    // Another folder: its own IconSize; its WindowSide and the global key are not its to read.
    EXPECT_EQ(Loaded(other.c_str()),
              With(plainDefaults, With(fromDefaultRecord, {{"IconSize", 20}})));
    // A top folder: the default record overrides the T defaults too; NotShowWin is not its own.
    EXPECT_EQ(Loaded(top.c_str()),
              With(TopDefaults(), With(fromDefaultRecord, {{"IconSize", 36}})));
    // A folder without a record of its own gets the default record's values.
    const std::string bare = MakeFolder("Bare");
    EXPECT_EQ(Loaded(bare.c_str()), With(plainDefaults, fromDefaultRecord));
}

TEST_F(WindowProperties, EachKindWritesItsOwnKeys) {
    const struct {
        const char* title;
        const std::string* folder;
        std::set<std::string> keys;
    } cases[] = {
        {"top", &top, Union({edgeKeys, commonKeys})},
        {"other", &other, Union({{"NotShowWin"}, commonKeys})},
        {"default", nullptr, Union({edgeKeys, {"NotShowWin"}, commonKeys, globalKeys})},
    };
    for (const auto& c : cases) {
        const char* folder = c.folder ? c.folder->c_str() : nullptr;
        KivWinProperty p(data.c_str());
        p.LoadParam(folder);
        SetDistinctValues(p);
        p.SaveParam(folder);
        const std::string file = RecordFile(folder);
        const std::vector<std::string> keys = SectionKeys(file, "AllResolution");
        EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()), c.keys) << c.title;
        EXPECT_EQ(keys.size(), c.keys.size()) << c.title;
        EXPECT_EQ(SectionKeys(file, "All"),
                  (std::vector<std::string>{"Version", "DataVersion", "EachScreen"}))
            << c.title;
        EXPECT_EQ(ProfileValue(file, "All", "Version"), "201");
        EXPECT_EQ(ProfileValue(file, "All", "DataVersion"), "202");
        EXPECT_EQ(ProfileValue(file, "AllResolution", "FontSize"), "-59");
        EXPECT_EQ(ProfileValue(file, "AllResolution", "NoEmptySubFolder"), "0");
        EXPECT_EQ(ProfileValue(file, "AllResolution", "SelectBorder"), "0");
        EXPECT_EQ(ProfileValue(file, "AllResolution", "ClickWinOpen"), "1");
    }
    // Everything written is read back by the same kind: the default record holds it all.
    KivWinProperty expected(data.c_str());
    SetDistinctValues(expected);
    EXPECT_EQ(Loaded(nullptr), AllValues(expected));
}

TEST_F(WindowProperties, EachScreenKeepsOneSectionPerScreenSize) {
    // A record saved at another screen size, and a default record with EachScreen set.
    WriteRecord(other.c_str(), "[All]\r\nEachScreen=1\r\n[Resolution(800,600)]\r\nIconSize=99\r\n"
                               "[AllResolution]\r\nIconSize=98\r\n");
    WriteRecord(nullptr, "[All]\r\nEachScreen=1\r\n[" + ScreenSection() +
                             "]\r\nTextSizeH=40\r\n[AllResolution]\r\nTextSizeH=41\r\n");
    // This screen size was never saved for the folder: defaults and the default record only.
    KivWinProperty p(data.c_str());
    p.LoadParam(other.c_str());
    EXPECT_EQ(AllValues(p), With(plainDefaults, {{"EachScreen", 1}, {"TextSizeH", 40}}));

    p.IconSize = 30;
    p.SaveParam(other.c_str());
    const std::string file = RecordFile(other.c_str());
    EXPECT_EQ(ProfileValue(file, "Resolution(800,600)", "IconSize"), "99");
    EXPECT_EQ(ProfileValue(file, "AllResolution", "IconSize"), "98");
    EXPECT_EQ(ProfileValue(file, ScreenSection(), "IconSize"), "30");
    EXPECT_EQ(SectionKeys(file, "Resolution(800,600)").size(), 1u);
    EXPECT_EQ(Loaded(other.c_str())["IconSize"], 30);

    // The folder's own EachScreen 0 switches back to the common section.
    p.EachScreen = false;
    p.SaveParam(other.c_str());
    EXPECT_EQ(ProfileValue(file, "AllResolution", "IconSize"), "30");
    EXPECT_EQ(Loaded(other.c_str())["EachScreen"], 0);
    // The default record read its own section of this screen size, the folder the common one.
    EXPECT_EQ(Loaded(other.c_str())["TextSizeH"], 40);
}

TEST_F(WindowProperties, OlderFilesAreReadByTheirDataVersion) {
    const struct {
        const char* title;
        std::string content;
        Values changes;
    } cases[] = {
        {"201: ClickOpen sets both",
         "[All]\r\nDataVersion=201\r\n[AllResolution]\r\nClickOpen=1\r\nClickWinOpen=0\r\n"
         "TextSizeWMin=30\r\nTextSizeWMax=31\r\n",
         {{"ClickWinOpen", 1}, {"ClickWinClose", 1}, {"TextSizeWMin", 30}, {"TextSizeWMax", 31}}},
        {"201 without ClickOpen keeps both",
         "[All]\r\nDataVersion=201\r\n[AllResolution]\r\n"
         "ClickWinOpen=1\r\nClickWinClose=1\r\n",
         {}},
        {"200: CalcTextSize",
         "[All]\r\nDataVersion=200\r\n[AllResolution]\r\nCalcTextSize=1\r\n"
         "TextSizeW=80\r\nTextSizeWMin=30\r\nClickOpen=1\r\n",
         {{"TextSizeWMin", 1}, {"TextSizeWMax", 0}, {"ClickWinOpen", 1}, {"ClickWinClose", 1}}},
        {"200: TextSizeW",
         "[All]\r\nDataVersion=200\r\n[AllResolution]\r\nCalcTextSize=0\r\n"
         "TextSizeW=80\r\n",
         {{"TextSizeWMin", 80}, {"TextSizeWMax", 80}}},
        {"200: neither",
         "[All]\r\nDataVersion=200\r\n[AllResolution]\r\nIconSize=20\r\n",
         {{"TextSizeWMin", 64}, {"TextSizeWMax", 64}, {"IconSize", 20}}},
        {"202: older keys unread",
         "[All]\r\nDataVersion=202\r\n[AllResolution]\r\nClickOpen=1\r\n"
         "CalcTextSize=1\r\nTextSizeW=80\r\n",
         {}},
        {"no version: as 202",
         "[AllResolution]\r\nClickOpen=1\r\nTextSizeW=80\r\n"
         "ClickWinClose=1\r\n",
         {{"ClickWinClose", 1}}},
    };
    for (const auto& c : cases) {
        WriteRecord(other.c_str(), c.content);
        EXPECT_EQ(Loaded(other.c_str()), With(plainDefaults, c.changes)) << c.title;
    }
    // The first save writes the current keys; the older ones stay in the file unread.
    WriteRecord(other.c_str(), cases[2].content);
    KivWinProperty p(data.c_str());
    p.LoadParam(other.c_str());
    p.SaveParam(other.c_str());
    const std::string file = RecordFile(other.c_str());
    EXPECT_EQ(ProfileValue(file, "All", "DataVersion"), "202");
    EXPECT_EQ(ProfileValue(file, "AllResolution", "CalcTextSize"), "1");
    EXPECT_EQ(Loaded(other.c_str()), With(plainDefaults, cases[2].changes));
}

TEST_F(WindowProperties, DamagedRecordsGiveDefaultsOrTheReadableValues) {
    const struct {
        const char* title;
        std::string content;
        Values changes;
    } cases[] = {
        {"empty file", "", {}},
        {"binary bytes", std::string("\x00\xff\xfe\x01[\x80\x81]\x02=\x03\r\n", 13), {}},
        {"a UTF-16 mark before garbage", "\xff\xfe[\x01\x02\x03", {}},
        {"no sections", "IconSize=40\r\nColumn=3\r\n", {}},
        {"garbage around good lines",
         "\x01\x02 junk\r\n[AllResolution]\r\nnot a key\r\n=5\r\nIconSize=40\r\n"
         "\x90\x91\x92\r\nColumn=abc\r\nShowTime=12abc\r\nTextSizeH=\r\n",
         {{"IconSize", 40}, {"Column", 0}, {"ShowTime", 12}}},
        {"flags take any non-zero number",
         "[AllResolution]\r\nFolderOnly=7\r\nSelectBorder=-1\r\n"
         "NoEmptySubFolder=0\r\n",
         {{"FolderOnly", 1}, {"NoEmptySubFolder", 0}}},
        {"small fields take the low eight bits",
         "[AllResolution]\r\nItemArrange=258\r\n"
         "ItemTextPlace=255\r\n",
         {{"ItemArrange", 2}, {"ItemTextPlace", -1}}},
        {"section names in other case",
         "[allresolution]\r\nIconSize=40\r\n[ALL]\r\n"
         "DATAVERSION=200\r\n",
         {{"IconSize", 40}, {"TextSizeWMin", 64}, {"TextSizeWMax", 64}}},
    };
    for (const auto& c : cases) {
        WriteRecord(other.c_str(), c.content);
        EXPECT_EQ(Loaded(other.c_str()), With(plainDefaults, c.changes)) << c.title;
    }
    // Huge numbers: whatever the profile function makes of them, cut as the field's type says.
    WriteRecord(other.c_str(), "[AllResolution]\r\nIconSize=99999999999999999999\r\n"
                               "ItemArrange=-99999999999\r\nNeedSize=4294967296\r\n");
    const std::string file = RecordFile(other.c_str());
    const Values loaded = Loaded(other.c_str());
    EXPECT_EQ(loaded.at("IconSize"), static_cast<int>(GetPrivateProfileIntA(
                                         "AllResolution", "IconSize", 16, file.c_str())));
    EXPECT_EQ(loaded.at("ItemArrange"),
              static_cast<signed char>(
                  GetPrivateProfileIntA("AllResolution", "ItemArrange", 1, file.c_str()) & 0xFF));
    EXPECT_EQ(loaded.at("NeedSize"),
              GetPrivateProfileIntA("AllResolution", "NeedSize", 1, file.c_str()) != 0);
    EXPECT_EQ(loaded.at("Column"), 1);
}

TEST(KivWinPropertyRules, ItemArrangeInForce) {
    const struct {
        signed char arrange;
        signed char side;
        signed char result;
    } cases[] = {
        {0, 1, 0}, {1, 0, 1}, {3, 2, 3}, {4, 3, 4}, {2, 0, 0},
        {2, 1, 1}, {2, 2, 1}, {2, 3, 0}, {2, 7, 1}, {2, -1, 1},
    };
    for (const auto& c : cases) {
        KivWinProperty p("C:\\unused");
        p.ItemArrange = c.arrange;
        p.WindowSide = c.side;
        EXPECT_EQ(p.GetItemArrange(), c.result) << int(c.arrange) << "/" << int(c.side);
    }
}

TEST(KivWinPropertyRules, ClickWinOpenInForce) {
    const struct {
        unsigned char kind;
        bool trueHide;
        bool clickWinOpen;
        bool result;
    } cases[] = {
        {ParamKindTop, true, true, false},    {ParamKindTop, false, true, true},
        {ParamKindTop, true, false, false},   {ParamKindOther, true, true, true},
        {ParamKindDefault, true, true, true}, {ParamKindOther, false, false, false},
    };
    for (const auto& c : cases) {
        KivWinProperty p("C:\\unused");
        p.kind = c.kind;
        p.TrueHide = c.trueHide;
        p.ClickWinOpen = c.clickWinOpen;
        EXPECT_EQ(p.IsClickWinOpen(), c.result) << int(c.kind) << c.trueHide << c.clickWinOpen;
    }
}
