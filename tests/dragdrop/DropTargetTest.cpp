#include <gtest/gtest.h>

#include <stdexcept>

#include "DragTestSupport.h"
#include "KivOleDropTarget.h"
#include "TestSupport.h"

using dragtest::CountOf;
using dragtest::ObservedDataObject;
using dragtest::RecordingClient;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

class ObservedDropTarget : public KivOleDropTarget {
public:
    ObservedDropTarget(KivDropClient* client, bool& deleted)
        : KivOleDropTarget(client), deleted(deleted) {}
    ~ObservedDropTarget() override { deleted = true; }

private:
    bool& deleted;
};

POINTL At(LONG x) {
    return POINTL{x, 50};
}

// A drop target with its first reference taken, over a recording client, and a data object.
class DropTargetTest : public ::testing::Test {
protected:
    void SetUp() override {
        target = new ObservedDropTarget(&client, targetDeleted);
        EXPECT_EQ(target->AddRef(), 1u);
        data = new ObservedDataObject(dataDeleted);
        data->AddRef();
    }
    void TearDown() override {
        EXPECT_EQ(target->Release(), 0u);
        EXPECT_TRUE(targetDeleted);
        EXPECT_EQ(data->Release(), 0u) << "the drop target kept a reference to the data object";
        EXPECT_TRUE(dataDeleted);
    }

    RecordingClient client;
    bool targetDeleted = false;
    bool dataDeleted = false;
    ObservedDropTarget* target = nullptr;
    IDataObject* data = nullptr;
};

} // namespace

TEST_F(DropTargetTest, CellChangesGiveLeaveAndEnterPairs) {
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(target->GetLastIndex(), -2) << "before the first call";
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, At(10), &effect), S_OK);
    EXPECT_EQ(target->GetLastIndex(), 0);
    EXPECT_EQ(target->DragOver(MK_LBUTTON, At(20), &effect), S_OK);
    EXPECT_EQ(target->DragOver(MK_LBUTTON, At(150), &effect), S_OK);
    EXPECT_EQ(target->GetLastIndex(), 1);
    EXPECT_EQ(target->DragOver(MK_LBUTTON, At(160), &effect), S_OK);
    EXPECT_EQ(target->DragOver(MK_LBUTTON, At(250), &effect), S_OK);
    EXPECT_EQ(target->GetLastIndex(), -1);
    EXPECT_EQ(target->DragOver(MK_LBUTTON, At(50), &effect), S_OK);
    EXPECT_EQ(target->Drop(data, 0, At(300), &effect), S_OK);
    EXPECT_EQ(target->GetLastIndex(), -1);
    EXPECT_EQ(client.Summary(),
              "enter0 over0 leave enter1 over1 leave enter-1 leave enter0 leave enter-1 drop-1");
    // The point and keys reach the window unchanged, and every call sees the dragged object.
    ASSERT_EQ(client.calls.size(), 12u);
    EXPECT_EQ(client.calls[3].point.x, 150);
    EXPECT_EQ(client.calls[3].point.y, 50);
    EXPECT_EQ(client.calls[3].keys, static_cast<DWORD>(MK_LBUTTON));
    for (const dragtest::ClientCall& call : client.calls) {
        if (call.operation != "leave") {
            EXPECT_EQ(call.data, data) << call.operation;
        }
    }
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY)) << "the window's effect";
}

TEST_F(DropTargetTest, DropInTheSameCellCallsOnlyDrop) {
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(data, MK_RBUTTON, At(250), &effect);
    target->DragOver(MK_RBUTTON, At(260), &effect);
    target->Drop(data, MK_SHIFT, At(270), &effect);
    EXPECT_EQ(client.Summary(), "enter-1 over-1 drop-1");
    EXPECT_EQ(client.calls.back().keys, static_cast<DWORD>(MK_SHIFT));
}

TEST_F(DropTargetTest, LeaveAndDropReleaseTheKeptDataObject) {
    DWORD effect = DROPEFFECT_COPY;
    const ULONG before = CountOf(data);
    target->DragEnter(data, MK_LBUTTON, At(10), &effect);
    EXPECT_EQ(CountOf(data), before + 1) << "kept between enter and leave";
    target->DragOver(MK_LBUTTON, At(150), &effect);
    EXPECT_EQ(CountOf(data), before + 1);
    target->DragLeave();
    EXPECT_EQ(CountOf(data), before);

    target->DragEnter(data, MK_LBUTTON, At(10), &effect);
    target->DragEnter(data, MK_LBUTTON, At(10), &effect); // no leave between: still one
    EXPECT_EQ(CountOf(data), before + 1);
    target->Drop(data, 0, At(10), &effect);
    EXPECT_EQ(CountOf(data), before) << "released by the drop";
}

TEST_F(DropTargetTest, ADisconnectedTargetRefusesWithoutCallingTheWindow) {
    DWORD effect = DROPEFFECT_COPY;
    const ULONG before = CountOf(data);
    target->DragEnter(data, MK_LBUTTON, At(10), &effect);
    target->Disconnect();
    EXPECT_EQ(CountOf(data), before) << "the kept object went with the window";
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, At(150), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->DragLeave(), S_OK);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(data, MK_LBUTTON, At(10), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(CountOf(data), before) << "nothing is kept for a window that is gone";
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(data, 0, At(10), &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(client.Summary(), "enter0");
}

TEST_F(DropTargetTest, QueryInterfaceAnswersItsTwoInterfaces) {
    const IID answered[] = {IID_IUnknown, IID_IDropTarget};
    for (const IID& iid : answered) {
        void* out = nullptr;
        EXPECT_EQ(target->QueryInterface(iid, &out), S_OK);
        EXPECT_EQ(out, static_cast<IDropTarget*>(target));
        EXPECT_EQ(static_cast<IUnknown*>(out)->Release(), 1u) << "the query took one reference";
    }
    const IID refused[] = {IID_IDropSource, IID_IDataObject, IID_IStream};
    for (const IID& iid : refused) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(target->QueryInterface(iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(CountOf(target), 1u);
}

namespace {

struct ResultCase {
    const char* name;
    HRESULT windowResult;
    HRESULT expectedResult;
    DWORD expectedEffect; // the window leaves DROPEFFECT_MOVE
};

class ResultRules : public DropTargetTest, public ::testing::WithParamInterface<ResultCase> {};

const ResultCase resultCases[] = {
    {"Success", S_OK, S_OK, DROPEFFECT_MOVE},
    {"OtherSuccess", S_FALSE, S_FALSE, DROPEFFECT_MOVE},
    {"Failure", E_FAIL, S_OK, DROPEFFECT_NONE},
    {"Unexpected", E_UNEXPECTED, S_OK, DROPEFFECT_NONE},
    {"OutOfMemory", E_OUTOFMEMORY, S_OK, DROPEFFECT_NONE},
    {"InvalidArgument", E_INVALIDARG, S_OK, DROPEFFECT_NONE},
};

} // namespace

TEST_P(ResultRules, EnterOverAndDropAnswerOleAlike) {
    const ResultCase& c = GetParam();
    client.result = c.windowResult;
    client.effectOut = DROPEFFECT_MOVE;
    struct Step {
        const char* name;
        HRESULT (*call)(IDropTarget*, IDataObject*, DWORD*);
    };
    const Step steps[] = {
        {"DragEnter",
         [](IDropTarget* t, IDataObject* d, DWORD* e) { return t->DragEnter(d, 1, At(10), e); }},
        {"DragOver same cell",
         [](IDropTarget* t, IDataObject*, DWORD* e) { return t->DragOver(1, At(20), e); }},
        {"DragOver new cell",
         [](IDropTarget* t, IDataObject*, DWORD* e) { return t->DragOver(1, At(150), e); }},
        {"Drop",
         [](IDropTarget* t, IDataObject* d, DWORD* e) { return t->Drop(d, 0, At(150), e); }},
    };
    for (const Step& step : steps) {
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        EXPECT_EQ(step.call(target, data, &effect), c.expectedResult) << step.name;
        EXPECT_EQ(effect, c.expectedEffect) << step.name;
    }
    target->DragEnter(data, 1, At(10), nullptr);
    EXPECT_EQ(target->DragLeave(), S_OK) << "a leave always answers S_OK";
}

INSTANTIATE_TEST_SUITE_P(DropTarget, ResultRules, ::testing::ValuesIn(resultCases),
                         [](const ::testing::TestParamInfo<ResultCase>& info) {
                             return std::string(info.param.name);
                         });

namespace {

struct ThrowCase {
    const char* operation; // where the window throws
    const char* sequence;  // enter at 10, over at 20, over at 150, drop at 250
};

class Exceptions : public DropTargetTest, public ::testing::WithParamInterface<ThrowCase> {};

const ThrowCase throwCases[] = {
    {"enter", "enter0 over0 leave enter1 leave enter-1"}, // a failed enter stops the drop
    {"over", "enter0 over0 leave enter1 leave enter-1 drop-1"},
    {"leave", "enter0 over0 leave leave"}, // the cell stays the old one
    {"drop", "enter0 over0 leave enter1 leave enter-1 drop-1"},
};

} // namespace

TEST_P(Exceptions, NeverReachOleAndGoToTheWindow) {
    const ThrowCase& c = GetParam();
    client.throwIn = c.operation;
    DWORD effect = DROPEFFECT_COPY;
    const auto expectAnswer = [&](HRESULT result, const char* step) {
        EXPECT_EQ(result, S_OK) << step;
        if (client.calls.back().operation == c.operation && std::string(c.operation) != "leave") {
            EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << step;
        }
    };
    expectAnswer(target->DragEnter(data, MK_LBUTTON, At(10), &effect), "DragEnter");
    expectAnswer(target->DragOver(MK_LBUTTON, At(20), &effect), "DragOver");
    expectAnswer(target->DragOver(MK_LBUTTON, At(150), &effect), "DragOver to a new cell");
    expectAnswer(target->Drop(data, 0, At(250), &effect), "Drop");
    EXPECT_EQ(client.Summary(), c.sequence);
    ASSERT_FALSE(client.errors.empty());
    EXPECT_EQ(kivtest::ThrownMessage<std::runtime_error>(
                  [&] { std::rethrow_exception(client.errors.front()); }),
              "client failed");
    EXPECT_EQ(target->DragLeave(), S_OK);
}

INSTANTIATE_TEST_SUITE_P(DropTarget, Exceptions, ::testing::ValuesIn(throwCases),
                         [](const ::testing::TestParamInfo<ThrowCase>& info) {
                             return std::string(info.param.operation);
                         });

TEST(DropTargetRegistration, OleGivesBackEveryReference) {
    HWND window = CreateWindowExA(0, "STATIC", "drop", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    RecordingClient client;
    bool deleted = false;
    IDropTarget* target = new ObservedDropTarget(&client, deleted);
    // The window takes the first reference through the registration, as an icon window does.
    ASSERT_EQ(RegisterDragDrop(window, target), S_OK);
    EXPECT_GE(CountOf(target), 1u);
    EXPECT_EQ(RevokeDragDrop(window), S_OK);
    DestroyWindow(window);
    EXPECT_TRUE(deleted) << "the revocation released the last reference";
}
