// Dropped-file lists: real HDROP blocks built in memory as the system builds them, read back
// through NDrop directly and through the dispatcher's WM_DROPFILES. A freed HGLOBAL answers
// GlobalSize 0.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "KivWinBaseException.h"
#include "NDrop.h"
#include "NWnd.h"
#include "TestSupport.h"

namespace {

bool Freed(HDROP drop) {
    return GlobalSize(reinterpret_cast<HGLOBAL>(drop)) == 0;
}

// Names with a path far beyond MAX_PATH, and Shift-JIS names whose second bytes are backslashes
// ("表" is 0x95 0x5C, "ソ" is 0x83 0x5C).
std::vector<std::string> SampleNames() {
    std::string longName = "C:\\";
    for (int i = 0; i < 60; ++i)
        longName += "フォルダ" + std::to_string(i) + "\\";
    longName += "最後のファイル.txt";
    return {"C:\\readme.txt", longName, "C:\\表示\\ソフト表.sep.kiv", "D:\\a"};
}

class DropList : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetACP() != 932)
            GTEST_SKIP() << "the test names are code page 932 and the ANSI code page is "
                         << GetACP();
    }
};

TEST_P(DropList, ReadsBackEveryNameWholeAndThePoint) {
    const bool wide = GetParam();
    const std::vector<std::string> names = SampleNames();
    ASSERT_GT(names[1].size(), 600u);
    NDrop drop(kivtest::MakeDropHandle(names, POINT{12, 345}, wide));

    ASSERT_EQ(drop.GetCount(), names.size());
    for (UINT i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(drop.GetLength(i), names[i].size());
        EXPECT_EQ(drop.GetFileName(i), names[i]);
    }
    const POINT point = drop.GetPoint();
    EXPECT_EQ(point.x, 12);
    EXPECT_EQ(point.y, 345);
}

TEST_P(DropList, QueryFileCopiesWhatFitsAndTerminates) {
    NDrop drop(kivtest::MakeDropHandle({"C:\\abcdefgh.txt"}, POINT{0, 0}, GetParam()));
    char buffer[8];
    std::memset(buffer, '@', sizeof(buffer));
    EXPECT_EQ(drop.QueryFile(0, buffer, 6), 5u);
    EXPECT_STREQ(buffer, "C:\\ab");
    EXPECT_EQ(buffer[6], '@');
    char whole[64];
    EXPECT_EQ(drop.QueryFile(0, whole, sizeof(whole)), 15u);
    EXPECT_STREQ(whole, "C:\\abcdefgh.txt");
}

INSTANTIATE_TEST_SUITE_P(AnsiAndWide, DropList, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Wide" : "Ansi";
                         });

TEST(Drop, DestructionFreesTheHandleUnlessDetached) {
    const HDROP owned = kivtest::MakeDropHandle({"C:\\x"}, POINT{0, 0});
    const HDROP detached = kivtest::MakeDropHandle({"C:\\y"}, POINT{0, 0});
    {
        NDrop a(owned);
        NDrop b(detached);
        EXPECT_EQ(b.GetHandle(), detached);
        b.Detach();
        EXPECT_EQ(b.GetHandle(), nullptr);
    }
    EXPECT_TRUE(Freed(owned));
    ASSERT_FALSE(Freed(detached));
    NDrop again(detached); // still whole, and now freed by this one
    EXPECT_EQ(again.GetFileName(0), "C:\\y");
}

// ---------------------------------------------------------------------------------------------
// WM_DROPFILES through the dispatcher

class DropTarget : public NWnd {
public:
    using NWnd::NWnd;
    std::function<void(NDrop&)> handler;
    int drops = 0;
    void OnDropFiles(NDrop& drop) override {
        ++drops;
        if (handler)
            handler(drop);
    }
};

class DropDispatchTest : public ::testing::Test {
protected:
    NApp app{GetModuleHandleA(nullptr)};
    DropTarget target{&app};

    void SetUp() override {
        target.SetStyle(WS_POPUP);
        target.SetExStyle(WS_EX_ACCEPTFILES);
        target.CreateWindow();
    }
    void TearDown() override { EXPECT_FALSE(app.HasPendingException()); }
    LRESULT Drop(HDROP drop) {
        return SendMessageA(target.GetHandle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    }
};

TEST_F(DropDispatchTest, TheHandlerReadsTheListAndTheDispatcherFreesItAfterwards) {
    const std::vector<std::string> names = {"C:\\one.txt", "C:\\表示\\二.txt"};
    const HDROP handle = kivtest::MakeDropHandle(names, POINT{7, 8});
    std::vector<std::string> seen;
    bool freedDuringHandler = true;
    target.handler = [&](NDrop& drop) {
        freedDuringHandler = Freed(handle);
        EXPECT_EQ(drop.GetHandle(), handle);
        for (UINT i = 0; i < drop.GetCount(); ++i)
            seen.push_back(drop.GetFileName(i));
    };
    EXPECT_EQ(Drop(handle), 0);
    EXPECT_EQ(target.drops, 1);
    EXPECT_FALSE(freedDuringHandler);
    EXPECT_EQ(seen, names);
    EXPECT_TRUE(Freed(handle));
}

TEST_F(DropDispatchTest, AThrowingHandlerStillFreesTheList) {
    const HDROP handle = kivtest::MakeDropHandle({"C:\\one.txt"}, POINT{0, 0});
    target.handler = [](NDrop&) { throw KivWinBaseException("Error Test::OnDropFiles"); };
    EXPECT_EQ(Drop(handle), 0);
    EXPECT_TRUE(Freed(handle));
    ASSERT_TRUE(app.HasPendingException());
    try {
        app.RethrowPendingException();
        ADD_FAILURE() << "nothing rethrown";
    } catch (const KivWinBaseException& e) {
        EXPECT_STREQ(e.what(), "Error Test::OnDropFiles");
    }
}

TEST_F(DropDispatchTest, ADetachedListIsLeftToTheHandler) {
    const HDROP handle = kivtest::MakeDropHandle({"C:\\kept.txt"}, POINT{0, 0});
    target.handler = [](NDrop& drop) { drop.Detach(); };
    Drop(handle);
    ASSERT_FALSE(Freed(handle));
    NDrop kept(handle);
    EXPECT_EQ(kept.GetFileName(0), "C:\\kept.txt");
}

// A handler that detaches and frees the list itself, then allocates again: the new block may reuse
// the freed handle, and a second free by the dispatcher would take it away.
TEST_F(DropDispatchTest, ADetachedListIsNotFreedASecondTime) {
    const HDROP handle = kivtest::MakeDropHandle({"C:\\gone.txt"}, POINT{0, 0});
    HGLOBAL replacement = nullptr;
    target.handler = [&](NDrop& drop) {
        const HDROP own = drop.GetHandle();
        drop.Detach();
        DragFinish(own);
        replacement = GlobalAlloc(GMEM_MOVEABLE, 64);
    };
    Drop(handle);
    ASSERT_NE(replacement, nullptr);
    EXPECT_EQ(GlobalSize(replacement), 64u);
    GlobalFree(replacement);
}

} // namespace
