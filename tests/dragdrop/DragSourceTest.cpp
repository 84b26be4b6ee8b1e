#include <gtest/gtest.h>

#include <stdexcept>

#include "DragLoop.h"
#include "DragTestSupport.h"
#include "FrameMessages.h"
#include "KivOleDropSource.h"
#include "MenuLoopGuard.h"
#include "TestSupport.h"

using dragtest::CountOf;
using dragtest::MessageRecorder;
using dragtest::ObservedDataObject;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

class ObservedDropSource : public KivOleDropSource {
public:
    ObservedDropSource(HWND window, bool left, bool& deleted)
        : KivOleDropSource(window, UM_CHECKSTATE, left), deleted(deleted) {}
    ~ObservedDropSource() override { deleted = true; }

private:
    bool& deleted;
};

// Hands the recorder the messages waiting for it.
void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

} // namespace

TEST(KivOleDropSource, GiveFeedbackPostsCheckStateToTheFrame) {
    MessageRecorder frame(UM_CHECKSTATE, UM_CHECKSTATE);
    bool deleted = false;
    IDropSource* source = new ObservedDropSource(frame.Handle(), true, deleted);
    EXPECT_EQ(source->AddRef(), 1u) << "the count starts at 0";
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_NONE), static_cast<HRESULT>(0x40102));
    EXPECT_TRUE(frame.messages.empty()) << "posted, not sent";
    Pump();
    ASSERT_EQ(frame.messages.size(), 2u);
    for (const MessageRecorder::Message& m : frame.messages) {
        EXPECT_EQ(m.message, WM_USER + 103);
        EXPECT_EQ(m.wParam, 0u);
        EXPECT_EQ(m.lParam, 0);
    }
    EXPECT_EQ(source->Release(), 0u);
    EXPECT_TRUE(deleted);
}

TEST(KivOleDropSource, QueryInterfaceAnswersItsTwoInterfaces) {
    bool deleted = false;
    IDropSource* source = new ObservedDropSource(nullptr, false, deleted);
    source->AddRef();
    const IID answered[] = {IID_IUnknown, IID_IDropSource};
    for (const IID& iid : answered) {
        void* out = nullptr;
        EXPECT_EQ(source->QueryInterface(iid, &out), S_OK);
        EXPECT_EQ(out, source);
        EXPECT_EQ(static_cast<IUnknown*>(out)->Release(), 1u);
    }
    const IID refused[] = {IID_IDropTarget, IID_IDataObject};
    for (const IID& iid : refused) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(source->QueryInterface(iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(source->Release(), 0u);
    EXPECT_TRUE(deleted);
}

TEST(StartDrag, DisabledReleasesTheObjectWithoutALoop) {
    MessageRecorder frame(UM_CHECKSTATE, UM_CHECKSTATE);
    for (const bool left : {true, false}) {
        bool deleted = false;
        IDataObject* data = new ObservedDataObject(deleted);
        data->AddRef();
        data->AddRef(); // the reference handed over
        EXPECT_EQ(StartDrag(frame.Handle(), data, left, true), S_FALSE) << "no loop ran";
        EXPECT_EQ(data->Release(), 0u) << "the handed-over reference was released";
        EXPECT_TRUE(deleted);
    }
    Pump();
    EXPECT_TRUE(frame.messages.empty()) << "no drop source gave feedback";
    EXPECT_EQ(StartDrag(frame.Handle(), nullptr, true, false), S_FALSE);
}

TEST(StartDrag, LoopEndsAtOnceWithTheButtonUpAndReleasesEverything) {
    // No button is down, so the first QueryContinueDrag drops; the loop still runs.
    MessageRecorder frame(UM_CHECKSTATE, UM_CHECKSTATE);
    bool deleted = false;
    IDataObject* data = new ObservedDataObject(deleted);
    data->AddRef();
    data->AddRef(); // handed over
    const HRESULT result = StartDrag(frame.Handle(), data, true, false);
    EXPECT_TRUE(result == DRAGDROP_S_DROP || result == DRAGDROP_S_CANCEL) << std::hex << result;
    EXPECT_EQ(data->Release(), 0u) << "the loop gave back every reference";
    EXPECT_TRUE(deleted);
}

TEST(RunDragLoop, TheSourceIsDeletedWhenTheLoopEnds) {
    MessageRecorder frame(UM_CHECKSTATE, UM_CHECKSTATE);
    bool dataDeleted = false, sourceDeleted = false;
    IDataObject* data = new ObservedDataObject(dataDeleted);
    data->AddRef();
    // A right-button drag without the right button drops at once.
    DWORD effect = 12345;
    const HRESULT result =
        RunDragLoop(data, new ObservedDropSource(frame.Handle(), false, sourceDeleted), &effect);
    EXPECT_TRUE(result == DRAGDROP_S_DROP || result == DRAGDROP_S_CANCEL) << std::hex << result;
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE)) << "no target took the drop";
    EXPECT_TRUE(sourceDeleted) << "a source whose count starts at 0 is deleted after the loop";
    EXPECT_EQ(data->Release(), 0u);
    EXPECT_TRUE(dataDeleted);
}

TEST(MenuLoopGuard, SendsOneAndZeroInPairs) {
    MessageRecorder frame(UM_MENULOOP, UM_MENULOOP);
    {
        MenuLoopGuard guard(frame.Handle());
        ASSERT_EQ(frame.messages.size(), 1u) << "sent, not posted";
        EXPECT_EQ(frame.messages[0].lParam, 1);
    }
    ASSERT_EQ(frame.messages.size(), 2u);
    EXPECT_EQ(frame.messages[1].message, WM_USER + 105);
    EXPECT_EQ(frame.messages[1].lParam, 0);
    EXPECT_EQ(frame.messages[1].wParam, 0u);
}

TEST(MenuLoopGuard, SendsZeroWhenTheDropFails) {
    MessageRecorder frame(UM_MENULOOP, UM_MENULOOP);
    EXPECT_EQ(kivtest::ThrownMessage<std::runtime_error>([&] {
                  MenuLoopGuard guard(frame.Handle());
                  throw std::runtime_error("Error KivItem::SetPathId");
              }),
              "Error KivItem::SetPathId");
    ASSERT_EQ(frame.messages.size(), 2u);
    EXPECT_EQ(frame.messages[0].lParam, 1);
    EXPECT_EQ(frame.messages[1].lParam, 0);
}
