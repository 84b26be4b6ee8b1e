#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "KivPidl.h"
#include "ShellTestSupport.h"
#include "TestSupport.h"

using kivtest::TempDir;

namespace {

// A list made of the given element payloads, allocated like the shell's own lists.
KivPidl MakeList(const std::vector<std::string>& payloads) {
    std::vector<BYTE> bytes;
    for (const std::string& payload : payloads) {
        const USHORT cb = static_cast<USHORT>(payload.size() + sizeof(USHORT));
        bytes.push_back(static_cast<BYTE>(cb & 0xff));
        bytes.push_back(static_cast<BYTE>(cb >> 8));
        bytes.insert(bytes.end(), payload.begin(), payload.end());
    }
    bytes.push_back(0);
    bytes.push_back(0);
    void* memory = KivPidl::IMallocAlloc(bytes.size());
    std::memcpy(memory, bytes.data(), bytes.size());
    return KivPidl::Attach(static_cast<LPITEMIDLIST>(memory));
}

std::string Bytes(const KivPidl& list) {
    return std::string(reinterpret_cast<const char*>(list.Get()), list.GetSize());
}

std::string ExpectedBytes(const std::vector<std::string>& payloads) {
    return Bytes(MakeList(payloads));
}

} // namespace

TEST(KivPidlStructure, CountsAndSizes) {
    const KivPidl null;
    EXPECT_EQ(null.GetCount(), 0u);
    EXPECT_EQ(null.GetSize(), 0u);
    const KivPidl empty = MakeList({});
    EXPECT_EQ(empty.GetCount(), 0u);
    EXPECT_EQ(empty.GetSize(), 2u);
    const KivPidl three = MakeList({"ab", "c", "defg"});
    EXPECT_EQ(three.GetCount(), 3u);
    EXPECT_EQ(three.GetSize(), 4u + 3u + 6u + 2u);
}

TEST(KivPidlStructure, ParentAndLast) {
    const KivPidl three = MakeList({"ab", "c", "defg"});
    EXPECT_EQ(Bytes(three.GetParent()), ExpectedBytes({"ab", "c"}));
    EXPECT_EQ(Bytes(three.GetLast()), ExpectedBytes({"defg"}));
    EXPECT_EQ(Bytes(three.GetParent().GetParent()), ExpectedBytes({"ab"}));

    const KivPidl one = MakeList({"xyz"});
    EXPECT_TRUE(one.GetParent().IsNull());
    const KivPidl last = one.GetLast();
    EXPECT_EQ(Bytes(last), Bytes(one));
    EXPECT_NE(last.Get(), one.Get());

    const KivPidl empty = MakeList({});
    EXPECT_TRUE(empty.GetParent().IsNull());
    EXPECT_EQ(Bytes(empty.GetLast()), Bytes(empty));
    EXPECT_TRUE(KivPidl().GetParent().IsNull());
    EXPECT_TRUE(KivPidl().GetLast().IsNull());
}

TEST(KivPidlStructure, CloneAndCopiesNeverShareTheList) {
    const KivPidl list = MakeList({"ab", "c"});
    const KivPidl clone = list.Clone();
    EXPECT_NE(clone.Get(), list.Get());
    EXPECT_EQ(Bytes(clone), Bytes(list));
    KivPidl copy(list);
    EXPECT_NE(copy.Get(), list.Get());
    EXPECT_EQ(Bytes(copy), Bytes(list));
    KivPidl assigned = MakeList({"zz"});
    assigned = list;
    EXPECT_NE(assigned.Get(), list.Get());
    EXPECT_EQ(Bytes(assigned), Bytes(list));
    assigned = assigned; // self-assignment keeps the list
    EXPECT_EQ(Bytes(assigned), Bytes(list));
    EXPECT_TRUE(KivPidl().Clone().IsNull());
    KivPidl moved(std::move(copy));
    EXPECT_TRUE(copy.IsNull());
    EXPECT_EQ(Bytes(moved), Bytes(list));
}

TEST(KivPidlStructure, Concat) {
    const KivPidl a = MakeList({"ab", "c"});
    const KivPidl b = MakeList({"defg"});
    const KivPidl both = KivPidl::Concat(a, b);
    EXPECT_EQ(both.GetSize(), a.GetSize() - 2 + b.GetSize());
    EXPECT_EQ(Bytes(both), ExpectedBytes({"ab", "c", "defg"}));
    const KivPidl firstOnly = KivPidl::Concat(a, KivPidl());
    EXPECT_EQ(Bytes(firstOnly), Bytes(a));
    EXPECT_NE(firstOnly.Get(), a.Get());
    const KivPidl secondOnly = KivPidl::Concat(KivPidl(), b);
    EXPECT_EQ(Bytes(secondOnly), Bytes(b));
    EXPECT_NE(secondOnly.Get(), b.Get());
    EXPECT_TRUE(KivPidl::Concat(KivPidl(), KivPidl()).IsNull());
    EXPECT_EQ(Bytes(KivPidl::Concat(MakeList({}), b)), Bytes(b));
}

// A page that faults on access; a fault opens it and is counted, so that a read past a list
// fails the test instead of ending the program.
class GuardPage {
public:
    explicit GuardPage(BYTE* page, SIZE_T size) : page(page), size(size) {
        current = this;
        handler = AddVectoredExceptionHandler(1, &GuardPage::OnException);
        Protect();
    }
    GuardPage(const GuardPage&) = delete;
    GuardPage& operator=(const GuardPage&) = delete;
    ~GuardPage() {
        RemoveVectoredExceptionHandler(handler);
        current = nullptr;
    }
    void Protect() {
        DWORD previous = 0;
        VirtualProtect(page, size, PAGE_NOACCESS, &previous);
    }
    int faults = 0;

private:
    static LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
        const EXCEPTION_RECORD* record = info->ExceptionRecord;
        if (!current || record->ExceptionCode != EXCEPTION_ACCESS_VIOLATION ||
            record->NumberParameters < 2)
            return EXCEPTION_CONTINUE_SEARCH;
        BYTE* address = reinterpret_cast<BYTE*>(record->ExceptionInformation[1]);
        if (address < current->page || address >= current->page + current->size)
            return EXCEPTION_CONTINUE_SEARCH;
        ++current->faults;
        DWORD previous = 0;
        VirtualProtect(current->page, current->size, PAGE_READWRITE, &previous);
        return EXCEPTION_CONTINUE_EXECUTION;
    }

    static inline GuardPage* current = nullptr;
    BYTE* page;
    SIZE_T size;
    void* handler;
};

// Each list is read only up to its own end: the first list lies at the very end of a page that a
// page without access follows.
TEST(KivPidlStructure, ConcatReadsNoByteBeyondEitherList) {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const SIZE_T page = system.dwPageSize;
    BYTE* pages = static_cast<BYTE*>(
        VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    {
        GuardPage guard(pages + page, page);
        for (const auto& [firstPayloads, secondPayloads] :
             std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>>{
                 {{"ab", "c"}, {"defg"}},
                 {{"x"}, {"a long element", "and another", "and a third"}},
                 {{}, {"b"}},
             }) {
            const std::string firstBytes = ExpectedBytes(firstPayloads);
            BYTE* placed = pages + page - firstBytes.size();
            std::memcpy(placed, firstBytes.data(), firstBytes.size());
            KivPidl first = KivPidl::Attach(reinterpret_cast<LPITEMIDLIST>(placed));
            const KivPidl second = MakeList(secondPayloads);
            guard.faults = 0;
            guard.Protect();
            const KivPidl both = KivPidl::Concat(first, second);
            EXPECT_EQ(guard.faults, 0) << "Concat read past the end of the first list";
            first.Detach(); // the page is not the shell allocator's
            std::vector<std::string> all = firstPayloads;
            all.insert(all.end(), secondPayloads.begin(), secondPayloads.end());
            EXPECT_EQ(Bytes(both), ExpectedBytes(all));
        }
    }
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST(KivPidlStructure, FreeAndPutReleaseTheOldList) {
    ASSERT_TRUE(kivtest::TaskAllocations::Install());
    const long before = kivtest::TaskAllocations::Live();
    {
        KivPidl list = MakeList({"ab"});
        EXPECT_EQ(kivtest::TaskAllocations::Live(), before + 1);
        list.Free();
        EXPECT_TRUE(list.IsNull());
        EXPECT_EQ(kivtest::TaskAllocations::Live(), before);
        list = MakeList({"ab"});
        *list.Put() = MakeList({"cd"}).Detach();
        EXPECT_EQ(kivtest::TaskAllocations::Live(), before + 1);
        list = MakeList({"ef"});
        EXPECT_EQ(kivtest::TaskAllocations::Live(), before + 1);
    }
    EXPECT_EQ(kivtest::TaskAllocations::Live(), before);
}

TEST(KivPidlShell, PathsAndSpecialFolders) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "a.txt", "a");
    const KivPidl folder(dir.Path().c_str());
    const KivPidl file((dir / "a.txt").c_str());
    ASSERT_FALSE(file.IsNull());
    EXPECT_EQ(file.GetCount(), folder.GetCount() + 1);
    EXPECT_TRUE(file.GetParent() == folder);
    EXPECT_TRUE(KivPidl::Concat(folder, file.GetLast()) == file);
    EXPECT_FALSE(file == folder);

    const KivPidl desktop(nullptr, CSIDL_DESKTOP);
    EXPECT_EQ(desktop.GetCount(), 0u);
    EXPECT_EQ(desktop.GetSize(), 2u);
    const KivPidl desktopDirectory(nullptr, CSIDL_DESKTOPDIRECTORY);
    EXPECT_GE(desktopDirectory.GetCount(), 1u);
    EXPECT_FALSE(desktopDirectory == desktop);
}

TEST(KivPidlShell, Messages) {
    EXPECT_EQ(kivtest::ThrownMessage<KivPidlException>(
                  [] { KivPidl("C:\\no such folder\\really\\none.txt"); }),
              "Error KivPidl::KivPidl ParseDisplayName");
    EXPECT_EQ(kivtest::ThrownMessage<KivPidlException>([] { KivPidl(nullptr, 0x7fff); }),
              "KivPidl::KivPidl SHGetSpecialFolderLocation");
    EXPECT_EQ(
        kivtest::ThrownMessage<KivPidlException>([] { KivPidl::IMallocAlloc(~SIZE_T(0) / 2); }),
        "IMallocAlloc");
    // Not code page 932: the conversion's own exception passes through.
    EXPECT_THROW(KivPidl("C:\\\x81"), std::runtime_error);
}

TEST(KivPidlShell, EqualityOfNullEmptyAndOneElementLists) {
    const KivPidl null1, null2;
    EXPECT_TRUE(null1 == null2);
    const KivPidl desktop1(nullptr, CSIDL_DESKTOP), desktop2(nullptr, CSIDL_DESKTOP);
    EXPECT_TRUE(desktop1 == desktop2);
    EXPECT_FALSE(desktop1 == null1);
    EXPECT_FALSE(null1 == desktop1);
    // One-element lists are compared by the desktop folder itself.
    const KivPidl drives(nullptr, CSIDL_DRIVES);
    ASSERT_EQ(drives.GetCount(), 1u);
    EXPECT_TRUE(drives == KivPidl(nullptr, CSIDL_DRIVES));
    const KivPidl desktopDirectory(nullptr, CSIDL_DESKTOPDIRECTORY);
    if (desktopDirectory.GetCount() == 1) {
        EXPECT_FALSE(drives == desktopDirectory);
    }
    EXPECT_FALSE(drives == KivPidl("C:\\"));
}

TEST(KivPidlShell, TwoSpellingsOfOnePathAreEqual) {
    TempDir dir;
    kivtest::MakeDir(dir / "Mixed Case Folder");
    kivtest::WriteTextFile(dir / "Mixed Case Folder\\Long File Name.text", "x");
    const std::string path = dir / "Mixed Case Folder\\Long File Name.text";
    std::string upper = path;
    CharUpperA(upper.data());
    ASSERT_NE(upper, path);
    const KivPidl a(path.c_str()), b(upper.c_str());
    EXPECT_TRUE(a == b);
    const std::string shortPath = kivtest::ShortPathOf(path);
    if (!shortPath.empty() && shortPath != path) {
        EXPECT_TRUE(KivPidl(shortPath.c_str()) == a) << shortPath;
    }
    kivtest::WriteTextFile(dir / "Mixed Case Folder\\other.text", "y");
    EXPECT_FALSE(a == KivPidl((dir / "Mixed Case Folder\\other.text").c_str()));
}

TEST(KivPidlShell, GetDesktopFolderGivesANewReference) {
    OleWrapper<IShellFolder> first = KivPidl::GetDesktopFolder();
    OleWrapper<IShellFolder> second = KivPidl::GetDesktopFolder();
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Get(), second.Get());
    const ULONG probe1 = first->AddRef();
    const ULONG probe2 = first->AddRef();
    first->Release();
    first->Release();
    if (probe1 == probe2)
        GTEST_SKIP() << "this shell's desktop folder is a static object whose AddRef and Release "
                        "always answer the same count; its references cannot be counted";
    const ULONG before = first->AddRef();
    first->Release();
    second.Release();
    const ULONG after = first->AddRef();
    first->Release();
    EXPECT_EQ(after + 1, before);
}

TEST(KivPidlShell, ThousandsOfListsLeakNothing) {
    ASSERT_TRUE(kivtest::TaskAllocations::Install());
    TempDir dir;
    kivtest::MakeDir(dir / "sub");
    kivtest::WriteTextFile(dir / "sub\\f.txt", "x");
    const std::string path = dir / "sub\\f.txt";
    auto round = [&] {
        const KivPidl list(path.c_str());
        const KivPidl parent = list.GetParent();
        const KivPidl joined = KivPidl::Concat(parent, list.GetLast());
        if (!(joined == list) || joined == parent)
            ADD_FAILURE() << "lists compare wrongly";
        KivPidl copy = joined;
        copy = list.Clone();
    };
    for (int i = 0; i < 50; ++i)
        round(); // the shell's own caches settle
    const long before = kivtest::TaskAllocations::Live();
    for (int i = 0; i < 3000; ++i)
        round();
    EXPECT_LE(kivtest::TaskAllocations::Live() - before, 5);
}

TEST(KivPidlShell, AParentThatIsNoFolderCannotBeBound) {
    TempDir dir;
    kivtest::WriteTextFile(dir / "file.txt", "x");
    kivtest::WriteTextFile(dir / "other.txt", "y");
    // A list that goes on below a plain file: its parent cannot be bound to a folder.
    const KivPidl file((dir / "file.txt").c_str());
    const KivPidl below = KivPidl::Concat(file, KivPidl((dir / "other.txt").c_str()).GetLast());
    ASSERT_EQ(below.GetCount(), file.GetCount() + 1);
    try {
        const bool equal = below == below.Clone();
        FAIL() << "compared as " << equal;
    } catch (const KivPidlException& e) {
        EXPECT_STREQ(e.what(), "Error KivPidl::operator==:1");
    }
}

TEST(KivPidlShell, ProcessWideObjects) {
    // Fresh instances reach the same shell objects the process-wide ones hold.
    KivIMalloc allocator;
    ASSERT_NE(allocator.Get(), nullptr);
    void* memory = allocator.Get()->Alloc(16);
    ASSERT_NE(memory, nullptr);
    KivPidl::IMallocFree(memory); // one allocator for the whole process
    KivDesktopFolder desktop;
    EXPECT_EQ(desktop.Get(), KivPidl::GetDesktopFolder().Get());
}
