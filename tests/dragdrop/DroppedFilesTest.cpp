#include <gtest/gtest.h>

#include "DragTestSupport.h"
#include "DroppedFiles.h"
#include "KivPidl.h"
#include "TestSupport.h"

using dragtest::CountOf;
using dragtest::ObservedDataObject;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

// A data object that gives out one hand-made CF_HDROP list and counts the releases of the
// medium through its release object (ReleaseStgMedium calls it instead of freeing the memory).
class HandMadeDataObject : public DummyDataObject {
public:
    explicit HandMadeDataObject(const std::vector<std::string>& names, bool wide = false)
        : names(names), wide(wide) {}

    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override {
        ++requests;
        lastFormat = *format;
        if (format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = kivtest::MakeDropHandle(names, POINT{5, 6}, wide);
        medium->pUnkForRelease = &releaser;
        releaser.AddRef();
        return S_OK;
    }

    // Frees the list when the medium is released.
    struct Releaser : IUnknown {
        LONG count = 0;
        int releases = 0;
        STDMETHODIMP QueryInterface(REFIID, void** out) override {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        STDMETHODIMP_(ULONG) AddRef() override { return ++count; }
        STDMETHODIMP_(ULONG) Release() override {
            ++releases;
            return --count;
        }
    } releaser;
    int requests = 0;
    FORMATETC lastFormat{};

private:
    std::vector<std::string> names;
    bool wide;
};

} // namespace

TEST(GetDroppedFiles, ReadsTheShellsOwnDataObjectOfRealFiles) {
    kivtest::TempDir dir("kivfiles");
    const std::vector<std::string> names = {"a.txt", "表示テスト.txt", "b c.dat"};
    for (const std::string& name : names)
        kivtest::WriteTextFile(dir / name, "x");
    IDataObject* data = dragtest::ShellDataObject(nullptr, dir.Path(), names);
    ASSERT_NE(data, nullptr);
    const ULONG before = CountOf(data);
    for (int round = 0; round < 2; ++round) { // the medium is released, so it can be read again
        const auto files = GetDroppedFiles(data);
        ASSERT_TRUE(files.has_value());
        ASSERT_EQ(files->size(), names.size());
        for (size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ((*files)[i], dir / names[i]);
    }
    EXPECT_EQ(CountOf(data), before);
    EXPECT_EQ(data->Release(), 0u);
}

TEST(GetDroppedFiles, ReleasesTheMediumExactlyOnce) {
    auto* data = new HandMadeDataObject({"C:\\x\\one.txt", "C:\\x\\二.txt"});
    data->AddRef();
    const auto files = GetDroppedFiles(data);
    ASSERT_TRUE(files.has_value());
    EXPECT_EQ(*files, (std::vector<std::string>{"C:\\x\\one.txt", "C:\\x\\二.txt"}));
    EXPECT_EQ(data->requests, 1);
    EXPECT_EQ(data->lastFormat.cfFormat, CF_HDROP);
    EXPECT_EQ(data->lastFormat.ptd, nullptr);
    EXPECT_EQ(data->lastFormat.dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(data->lastFormat.lindex, -1);
    EXPECT_EQ(data->lastFormat.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
    EXPECT_EQ(data->releaser.releases, 1) << "ReleaseStgMedium ran once";
    EXPECT_EQ(data->releaser.count, 0);
    EXPECT_EQ(data->Release(), 0u);
}

TEST(GetDroppedFiles, AnEmptyListIsNoFiles) {
    auto* data = new HandMadeDataObject({});
    data->AddRef();
    const auto files = GetDroppedFiles(data);
    ASSERT_TRUE(files.has_value());
    EXPECT_TRUE(files->empty());
    EXPECT_EQ(data->releaser.releases, 1);
    data->Release();
}

TEST(GetDroppedFiles, APlaceholderGivesNone) {
    bool deleted = false;
    IDataObject* data = new ObservedDataObject(deleted);
    data->AddRef();
    EXPECT_FALSE(GetDroppedFiles(data).has_value());
    EXPECT_FALSE(GetDroppedFiles(nullptr).has_value());
    EXPECT_EQ(data->Release(), 0u);
    EXPECT_TRUE(deleted);
}

TEST(LiesInFolder, ComparesTheParentFolderOfTheName) {
    kivtest::TempDir dir("kivhere");
    kivtest::MakeDir(dir / "内側");
    kivtest::WriteTextFile(dir / "a.txt", "a");
    kivtest::WriteTextFile(dir / "内側\\b.txt", "b");
    kivtest::TempDir other("kivthere");
    kivtest::WriteTextFile(other / "a.txt", "a");
    const KivPidl folder(dir.Path().c_str());
    struct Case {
        std::string path;
        bool expected;
    };
    const Case cases[] = {
        {dir / "a.txt", true},        {dir / "内側", true},
        {dir / "内側\\b.txt", false},                      // one level deeper
        {other / "a.txt", false},     {dir.Path(), false}, // the folder itself
        {dir / "gone.txt", false},    {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LiesInFolder(c.path, folder), c.expected) << c.path;
}

TEST(DataObjectOfFiles, GivesTheShellsObjectOfTheNames) {
    kivtest::TempDir dir("kivold");
    const std::vector<std::string> paths = {dir / "one.txt", dir / "二つ目.txt", dir / "sub"};
    kivtest::WriteTextFile(paths[0], "1");
    kivtest::WriteTextFile(paths[1], "2");
    kivtest::MakeDir(paths[2]);
    OleWrapper<IDataObject> data = DataObjectOfFiles(nullptr, paths);
    ASSERT_TRUE(data);
    const auto files = GetDroppedFiles(data.Get());
    ASSERT_TRUE(files.has_value());
    EXPECT_EQ(*files, paths);
    data->AddRef();
    EXPECT_EQ(data->Release(), 1u) << "the holder owns the one reference";
}

TEST(DataObjectOfFiles, NothingForNamesThatCannotBeHad) {
    kivtest::TempDir dir("kivold");
    kivtest::WriteTextFile(dir / "here.txt", "x");
    EXPECT_FALSE(DataObjectOfFiles(nullptr, {}));
    EXPECT_FALSE(DataObjectOfFiles(nullptr, {dir / "gone.txt"}));
    EXPECT_FALSE(DataObjectOfFiles(nullptr, {dir / "here.txt", dir / "gone.txt"}));
}

TEST(GetDroppedFiles, AThousandNamesAndWideLists) {
    std::vector<std::string> names;
    for (int i = 0; i < 1000; ++i)
        names.push_back("C:\\many\\ファイル" + std::to_string(i) + ".txt");
    auto* data = new HandMadeDataObject(names);
    data->AddRef();
    const auto files = GetDroppedFiles(data);
    ASSERT_TRUE(files.has_value());
    EXPECT_EQ(*files, names);
    EXPECT_EQ(data->releaser.releases, 1);
    data->Release();

    // A list of UTF-16 names comes back in the ANSI code page.
    auto* wide = new HandMadeDataObject({"C:\\x\\表.txt", "C:\\x\\b.txt"}, true);
    wide->AddRef();
    const auto converted = GetDroppedFiles(wide);
    ASSERT_TRUE(converted.has_value());
    EXPECT_EQ(*converted, (std::vector<std::string>{"C:\\x\\表.txt", "C:\\x\\b.txt"}));
    wide->Release();
}
