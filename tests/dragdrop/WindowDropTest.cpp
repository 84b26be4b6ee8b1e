// The icon window's drop operations with real shell data objects of temp files, a recording drop
// target standing in for the shell's folder or item target, and a site standing in for the window.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ComObject.h"
#include "DragTestSupport.h"
#include "DropRules.h"
#include "DroppedFiles.h"
#include "FrameMessages.h"
#include "KivOleDropTarget.h"
#include "KivPidl.h"
#include "TestSupport.h"
#include "WindowDrop.h"

using dragtest::CountOf;
using dragtest::MessageRecorder;

namespace {

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

constexpr DWORD L = MK_LBUTTON, R = MK_RBUTTON, S = MK_SHIFT, C = MK_CONTROL;

struct TargetCall {
    std::string operation;
    DWORD keys;
    POINTL point;
};

// Stands in for the shell's drop target of a folder or an item.
class RecordingDropTarget : public ComObject<IDropTarget, &IID_IDropTarget> {
public:
    RecordingDropTarget(const char* name, bool& deleted) : name(name), deleted(deleted) {}
    STDMETHODIMP DragEnter(IDataObject*, DWORD keys, POINTL point, DWORD* effect) override {
        return Record("enter", keys, point, effect);
    }
    STDMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override {
        return Record("over", keys, point, effect);
    }
    STDMETHODIMP DragLeave() override { return Record("leave", 0, POINTL{}, nullptr); }
    STDMETHODIMP Drop(IDataObject*, DWORD keys, POINTL point, DWORD* effect) override {
        return Record("drop", keys, point, effect, dropResult);
    }

    std::string name;
    std::vector<TargetCall> calls;
    HRESULT dropResult = S_OK;
    DWORD effectMask = DROPEFFECT_COPY | DROPEFFECT_LINK;

protected:
    ~RecordingDropTarget() override { deleted = true; }

private:
    HRESULT Record(const char* operation, DWORD keys, POINTL point, DWORD* effect,
                   HRESULT result = S_OK) {
        calls.push_back({operation, keys, point});
        if (effect)
            *effect &= effectMask;
        return result;
    }
    bool& deleted;
};

// The window: items 0 and 1, item 1 a separator; the window's folder is a real temp folder.
class FakeSite : public KivDropSite, public KivDropClient {
public:
    explicit FakeSite(const std::string& folder) : folderPidl(folder.c_str()) {
        folderTarget = new RecordingDropTarget("folder", folderTargetDeleted);
        folderTarget->AddRef();
        itemTarget = new RecordingDropTarget("item", itemTargetDeleted);
        itemTarget->AddRef();
    }
    ~FakeSite() {
        folderTarget->Release();
        itemTarget->Release();
    }

    HWND GetFrameWindow() override { return frame.Handle(); }
    bool IsBackground(int index) override { return index < 0 || index == 1; }
    OleWrapper<IDropTarget> GetFolderDropTarget() override {
        folderTarget->AddRef();
        return OleWrapper<IDropTarget>(folderTarget);
    }
    OleWrapper<IDropTarget> GetItemDropTarget(int) override {
        itemTarget->AddRef();
        return OleWrapper<IDropTarget>(itemTarget);
    }
    POINT ScreenToClientPoint(POINTL point) override { return {point.x - 1000, point.y - 500}; }
    bool LiesInWindowFolder(const std::string& path) override {
        return LiesInFolder(path, folderPidl);
    }
    void MoveDroppedItem(const std::string& path, POINT clientPoint) override {
        moved.push_back(path);
        movedAt = clientPoint;
    }
    void ReserveDropSlots(POINT clientPoint, size_t count) override {
        if (failReservation)
            throw std::runtime_error("Error KivParameter::SaveParam");
        reserved.push_back(count);
        reservedAt = clientPoint;
    }

    // The window's operations as the glue writes them.
    int DropHitTest(POINTL point) override { return point.x < 1100 ? 0 : point.x < 1200 ? 1 : -1; }
    HRESULT OnItemDragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                            int index) override {
        return ItemDragEnter(*this, dropTarget, dropOnFolder, data, keys, point, effect, index);
    }
    HRESULT OnItemDragOver(IDataObject*, DWORD keys, POINTL point, DWORD* effect,
                           int index) override {
        return ItemDragOver(*this, dropTarget, dropOnFolder, keys, point, effect, index);
    }
    HRESULT OnItemDragLeave() override { return ItemDragLeave(dropTarget); }
    HRESULT OnItemDrop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                       int index) override {
        return ItemDrop(*this, dropTarget, dropOnFolder, data, keys, point, effect, index);
    }
    void KeepDropException(std::exception_ptr error) override { errors.push_back(error); }

    // The frame's messages UM_HIDEALL .. UM_MENULOOP, posted ones included once pumped.
    std::string FrameMessages() {
        MSG msg;
        while (PeekMessageA(&msg, frame.Handle(), 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        std::string text;
        for (const MessageRecorder::Message& m : frame.messages) {
            if (!text.empty())
                text += ' ';
            text += m.message == UM_HIDEALL    ? "hideall"
                    : m.message == UM_MENULOOP ? "menuloop" + std::to_string(m.lParam)
                                               : std::to_string(m.message);
        }
        return text;
    }

    MessageRecorder frame{UM_HIDEALL, UM_MENULOOP};
    KivPidl folderPidl;
    bool folderTargetDeleted = false, itemTargetDeleted = false;
    RecordingDropTarget* folderTarget;
    RecordingDropTarget* itemTarget;
    OleWrapper<IDropTarget> dropTarget;
    bool dropOnFolder = false;
    bool failReservation = false;
    std::vector<std::string> moved;
    POINT movedAt{};
    std::vector<size_t> reserved;
    POINT reservedAt{};
    std::vector<std::exception_ptr> errors;
};

// One drag over a registered-style drop target: enter and move at x, then drop at x.
struct Drag {
    LONG x;
    DWORD dragKeys;
    DWORD dropKeys;
};

class WindowDrop : public ::testing::Test {
protected:
    void SetUp() override {
        kivtest::MakeDir(window / "Folder");
        kivtest::WriteTextFile(window / "own.txt", "own");
        kivtest::WriteTextFile(elsewhere / "new.txt", "new");
        kivtest::WriteTextFile(elsewhere / "second.txt", "second");
    }

    // Runs the drag through a KivOleDropTarget, as OLE calls it; returns what Drop answered.
    HRESULT Run(FakeSite& site, IDataObject* data, const Drag& drag, DWORD* finalEffect = nullptr) {
        auto* target = new KivOleDropTarget(&site);
        target->AddRef();
        const POINTL at = {drag.x, 520};
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        target->DragEnter(data, drag.dragKeys, at, &effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        target->DragOver(drag.dragKeys, at, &effect);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
        const HRESULT result = target->Drop(data, drag.dropKeys, at, &effect);
        if (finalEffect)
            *finalEffect = effect;
        EXPECT_EQ(target->Release(), 0u);
        EXPECT_FALSE(site.dropTarget) << "the window let go of the shell's target";
        return result;
    }

    static std::string Calls(const RecordingDropTarget* target) {
        std::string text;
        for (const TargetCall& call : target->calls)
            text += (text.empty() ? "" : " ") + call.operation + ":" + std::to_string(call.keys);
        return text;
    }

    kivtest::TempDir window{"kivwin"};
    kivtest::TempDir elsewhere{"kivelse"};
};

} // namespace

TEST_F(WindowDrop, AFileFromElsewhereOnTheBackgroundAsksForShortcutsAndReserves) {
    struct Case {
        const char* name;
        Drag drag;
        const char* folderCalls;
    };
    const Case cases[] = {
        {"plain left button", {1300, L, 0}, "enter:13 over:13 drop:12"},
        {"Ctrl held", {1300, L | C, C}, "enter:9 over:9 drop:8"},
        {"Shift held", {1300, L | S, S}, "enter:5 over:5 drop:4"},
        {"on a separator", {1150, L, 0}, "enter:13 over:13 drop:12"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSite site(window.Path());
        IDataObject* data =
            dragtest::ShellDataObject(nullptr, elsewhere.Path(), {"new.txt", "second.txt"});
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(Run(site, data, c.drag), S_OK);
        EXPECT_EQ(Calls(site.folderTarget), c.folderCalls);
        EXPECT_TRUE(site.itemTarget->calls.empty());
        EXPECT_EQ(site.reserved, std::vector<size_t>{2}) << "both names get a place";
        EXPECT_EQ(site.reservedAt.x, c.drag.x - 1000) << "at the drop point, client coordinates";
        EXPECT_EQ(site.reservedAt.y, 20);
        EXPECT_EQ(site.folderTarget->calls.back().point.x, c.drag.x) << "the shell gets the screen";
        EXPECT_TRUE(site.moved.empty());
        EXPECT_EQ(site.FrameMessages(), "menuloop1 menuloop0 hideall");
        EXPECT_EQ(data->Release(), 0u);
    }
}

TEST_F(WindowDrop, AnItemOfTheSameFolderOnTheBackgroundOnlyMovesInTheOrder) {
    FakeSite site(window.Path());
    IDataObject* data = dragtest::ShellDataObject(nullptr, window.Path(), {"own.txt"});
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Run(site, data, {1400, L, 0}), S_OK);
    EXPECT_EQ(Calls(site.folderTarget), "enter:13 over:13") << "the shell's target gets no Drop";
    EXPECT_EQ(site.moved, std::vector<std::string>{window / "own.txt"});
    EXPECT_EQ(site.movedAt.x, 400);
    EXPECT_TRUE(site.reserved.empty());
    EXPECT_EQ(site.FrameMessages(), "menuloop1 menuloop0") << "nothing hides";
    EXPECT_TRUE(kivtest::Exists(window / "own.txt"));
    EXPECT_EQ(data->Release(), 0u);
}

TEST_F(WindowDrop, ADropOnAnItemGoesToItsTargetUnchanged) {
    FakeSite site(window.Path());
    IDataObject* data = dragtest::ShellDataObject(nullptr, elsewhere.Path(), {"new.txt"});
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Run(site, data, {1050, L, 0}), S_OK);
    EXPECT_EQ(Calls(site.itemTarget), "enter:1 over:1 drop:0");
    EXPECT_TRUE(site.folderTarget->calls.empty());
    EXPECT_TRUE(site.reserved.empty());
    EXPECT_EQ(site.FrameMessages(), "menuloop1 menuloop0 hideall");
    EXPECT_EQ(data->Release(), 0u);
}

TEST_F(WindowDrop, ARightButtonDragIsPassedOnWithoutReservation) {
    FakeSite site(window.Path());
    IDataObject* data = dragtest::ShellDataObject(nullptr, elsewhere.Path(), {"new.txt"});
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Run(site, data, {1300, R, 0}), S_OK);
    EXPECT_EQ(Calls(site.folderTarget), "enter:2 over:2 drop:0") << "the shell offers its menu";
    EXPECT_TRUE(site.reserved.empty());
    EXPECT_EQ(data->Release(), 0u);
}

TEST_F(WindowDrop, DataWithoutFilesReachesTheFolderWithoutReservation) {
    FakeSite site(window.Path());
    bool deleted = false;
    IDataObject* data = new dragtest::ObservedDataObject(deleted);
    data->AddRef();
    EXPECT_EQ(Run(site, data, {1300, L, 0}), S_OK);
    EXPECT_EQ(Calls(site.folderTarget), "enter:13 over:13 drop:12");
    EXPECT_TRUE(site.reserved.empty());
    EXPECT_TRUE(site.moved.empty());
    EXPECT_EQ(data->Release(), 0u);
    EXPECT_TRUE(deleted);
}

TEST_F(WindowDrop, AFailingShellTargetStillEndsTheMenuLoop) {
    FakeSite site(window.Path());
    site.folderTarget->dropResult = E_FAIL;
    IDataObject* data = dragtest::ShellDataObject(nullptr, elsewhere.Path(), {"new.txt"});
    ASSERT_NE(data, nullptr);
    DWORD effect = 0;
    EXPECT_EQ(Run(site, data, {1300, L, 0}, &effect), S_OK) << "OLE is told: nothing dropped";
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(site.FrameMessages(), "menuloop1 menuloop0 hideall");
    EXPECT_EQ(data->Release(), 0u);
}

TEST_F(WindowDrop, AThrowingStepStillEndsTheMenuLoopAndReleasesTheTarget) {
    FakeSite site(window.Path());
    site.failReservation = true;
    IDataObject* data = dragtest::ShellDataObject(nullptr, elsewhere.Path(), {"new.txt"});
    ASSERT_NE(data, nullptr);
    DWORD effect = 0;
    EXPECT_EQ(Run(site, data, {1300, L, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(site.FrameMessages(), "menuloop1 menuloop0");
    ASSERT_EQ(site.errors.size(), 1u) << "the failure went to the window, not into OLE";
    EXPECT_EQ(kivtest::ThrownMessage<std::runtime_error>(
                  [&] { std::rethrow_exception(site.errors.front()); }),
              "Error KivParameter::SaveParam");
    EXPECT_EQ(Calls(site.folderTarget), "enter:13 over:13");
    EXPECT_EQ(data->Release(), 0u);
}

TEST_F(WindowDrop, EveryComObjectIsReleased) {
    bool targetDeleted = false, folderDeleted = false, itemDeleted = false, dataDeleted = false;
    {
        FakeSite site(window.Path());
        site.folderTarget->Release();
        site.folderTarget = new RecordingDropTarget("folder", folderDeleted);
        site.folderTarget->AddRef();
        site.itemTarget->Release();
        site.itemTarget = new RecordingDropTarget("item", itemDeleted);
        site.itemTarget->AddRef();
        IDataObject* data = new dragtest::ObservedDataObject(dataDeleted);
        data->AddRef();
        struct Observed : KivOleDropTarget {
            Observed(KivDropClient* c, bool& d) : KivOleDropTarget(c), deleted(d) {}
            ~Observed() override { deleted = true; }
            bool& deleted;
        };
        auto* target = new Observed(&site, targetDeleted);
        target->AddRef();
        DWORD effect = DROPEFFECT_COPY;
        target->DragEnter(data, L, POINTL{1050, 520}, &effect); // item
        target->DragOver(L, POINTL{1300, 520}, &effect);        // background
        target->DragOver(L, POINTL{1050, 520}, &effect);        // item again
        target->DragLeave();
        target->DragEnter(data, L, POINTL{1300, 520}, &effect);
        target->Drop(data, 0, POINTL{1300, 520}, &effect);
        EXPECT_EQ(CountOf(site.folderTarget), 1u) << "only the site's own reference is left";
        EXPECT_EQ(CountOf(site.itemTarget), 1u);
        EXPECT_EQ(target->Release(), 0u);
        EXPECT_EQ(data->Release(), 0u);
    }
    EXPECT_TRUE(targetDeleted);
    EXPECT_TRUE(folderDeleted);
    EXPECT_TRUE(itemDeleted);
    EXPECT_TRUE(dataDeleted);
}

TEST_F(WindowDrop, OlderFileDropsLookLikeALeftButtonDrop) {
    struct Case {
        const char* name;
        DWORD keys;
        const char* folderCalls;
    };
    const Case cases[] = {
        {"Ctrl held", DropFilesKeys(0, static_cast<SHORT>(0x8000)), "enter:9 drop:9"},
        {"Shift held", DropFilesKeys(static_cast<SHORT>(0x8000), 0), "enter:5 drop:5"},
        {"no keys", DropFilesKeys(0, 0), "enter:13 drop:13"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSite site(window.Path());
        EXPECT_TRUE(DropFilesOnWindow(site, site.GetFrameWindow(),
                                      {elsewhere / "new.txt", elsewhere / "second.txt"},
                                      POINT{1300, 530}, c.keys));
        EXPECT_EQ(Calls(site.folderTarget), c.folderCalls);
        EXPECT_EQ(site.reserved, std::vector<size_t>{2});
        EXPECT_EQ(site.reservedAt.x, 300);
        EXPECT_EQ(site.reservedAt.y, 30);
        EXPECT_EQ(site.FrameMessages(), "menuloop1 menuloop0 hideall");
        EXPECT_FALSE(site.dropTarget);
    }
}

TEST_F(WindowDrop, OlderFileDropsOfNamesThatCannotBeHadDoNothing) {
    FakeSite site(window.Path());
    EXPECT_FALSE(DropFilesOnWindow(site, site.GetFrameWindow(), {}, POINT{1300, 530}, L));
    EXPECT_FALSE(DropFilesOnWindow(site, site.GetFrameWindow(), {elsewhere / "gone.txt"},
                                   POINT{1300, 530}, L));
    EXPECT_TRUE(site.folderTarget->calls.empty());
    EXPECT_EQ(site.FrameMessages(), "");
}

TEST_F(WindowDrop, AnOlderFileDropThatIsRefusedLeavesTheTarget) {
    FakeSite site(window.Path());
    site.itemTarget->effectMask = DROPEFFECT_NONE;
    EXPECT_FALSE(DropFilesOnWindow(site, site.GetFrameWindow(), {elsewhere / "new.txt"},
                                   POINT{1050, 530}, L));
    EXPECT_EQ(Calls(site.itemTarget), "enter:1 leave:0");
    EXPECT_FALSE(site.dropTarget) << "released by the leave";
    EXPECT_EQ(site.FrameMessages(), "");
}
