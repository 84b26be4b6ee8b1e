#include <gtest/gtest.h>

#include "TestSupport.h"

#include <ole2.h>

#include "DummyDataObject.h"
#include "DummyDropTarget.h"

namespace {

// The placeholders with their deletion made visible.
class ObservedDropTarget : public DummyDropTarget {
public:
    explicit ObservedDropTarget(bool& deleted) : deleted(deleted) {}
    ~ObservedDropTarget() override { deleted = true; }

private:
    bool& deleted;
};

class ObservedDataObject : public DummyDataObject {
public:
    explicit ObservedDataObject(bool& deleted) : deleted(deleted) {}
    ~ObservedDataObject() override { deleted = true; }

private:
    bool& deleted;
};

const ::testing::Environment* const oleEnvironment =
    ::testing::AddGlobalTestEnvironment(new kivtest::OleEnvironment);

// Checks the reference rules shared by both placeholders on a fresh object whose creator has
// not taken a reference yet.
void CheckCounting(IUnknown* object, REFIID own, const bool& deleted) {
    EXPECT_EQ(object->AddRef(), 1u) << "the count starts at 0";
    EXPECT_EQ(object->AddRef(), 2u);
    EXPECT_EQ(object->Release(), 1u);

    const IID answered[] = {IID_IUnknown, own};
    for (const IID& iid : answered) {
        void* out = nullptr;
        EXPECT_EQ(object->QueryInterface(iid, &out), S_OK);
        EXPECT_EQ(out, object);
        EXPECT_EQ(static_cast<IUnknown*>(out)->Release(), 1u) << "the query took one reference";
    }
    const IID refused[] = {IID_IDropSource,
                           IID_IDataObject == own ? IID_IDropTarget : IID_IDataObject, IID_IStream};
    for (const IID& iid : refused) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(object->QueryInterface(iid, &out), E_NOINTERFACE);
        EXPECT_EQ(out, nullptr);
    }
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    object->AddRef();
    EXPECT_EQ(object->Release(), 1u) << "a refused query took a reference";

    EXPECT_FALSE(deleted);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_TRUE(deleted) << "the last Release deletes the object";
}

} // namespace

TEST(DummyDropTarget, CountsReferencesAndDeletesItself) {
    bool deleted = false;
    CheckCounting(new ObservedDropTarget(deleted), IID_IDropTarget, deleted);
}

TEST(DummyDataObject, CountsReferencesAndDeletesItself) {
    bool deleted = false;
    CheckCounting(new ObservedDataObject(deleted), IID_IDataObject, deleted);
}

TEST(DummyDropTarget, RefusesEveryDrop) {
    bool deleted = false;
    IDropTarget* target = new ObservedDropTarget(deleted);
    target->AddRef();
    const POINTL point = {10, 20};
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    EXPECT_EQ(target->DragEnter(nullptr, MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragOver(MK_LBUTTON, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->DragLeave(), S_OK);
    effect = DROPEFFECT_MOVE;
    EXPECT_EQ(target->Drop(nullptr, 0, point, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_TRUE(deleted);
}

TEST(DummyDataObject, OffersNothing) {
    bool deleted = false;
    IDataObject* data = new ObservedDataObject(deleted);
    data->AddRef();
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC other{};
    STGMEDIUM medium{};
    const HRESULT formatError = static_cast<HRESULT>(0x80040064);
    const HRESULT notImplemented = static_cast<HRESULT>(0x80004001);
    const HRESULT invalidArgument = static_cast<HRESULT>(0x80070057);
    EXPECT_EQ(data->GetData(&format, &medium), formatError);
    EXPECT_EQ(data->GetDataHere(&format, &medium), formatError);
    EXPECT_EQ(data->QueryGetData(&format), formatError);
    EXPECT_EQ(data->GetCanonicalFormatEtc(&format, &other), formatError);
    EXPECT_EQ(data->SetData(&format, &medium, FALSE), notImplemented);
    IEnumFORMATETC* formats = reinterpret_cast<IEnumFORMATETC*>(1);
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), invalidArgument);
    EXPECT_EQ(formats, nullptr);
    DWORD connection = 0;
    EXPECT_EQ(data->DAdvise(&format, 0, nullptr, &connection), notImplemented);
    EXPECT_EQ(data->DUnadvise(1), notImplemented);
    IEnumSTATDATA* advises = nullptr;
    EXPECT_EQ(data->EnumDAdvise(&advises), notImplemented);
    EXPECT_EQ(data->Release(), 0u);
    EXPECT_TRUE(deleted);
}

TEST(DummyDropTarget, OleHoldsAndReturnsItsReferences) {
    HWND window = CreateWindowExA(0, "STATIC", "drop", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    bool deleted = false;
    IDropTarget* target = new ObservedDropTarget(deleted);
    target->AddRef();
    ASSERT_EQ(RegisterDragDrop(window, target), S_OK);
    target->AddRef();
    EXPECT_GT(target->Release(), 1u) << "OLE keeps a reference while registered";
    EXPECT_EQ(RevokeDragDrop(window), S_OK);
    DestroyWindow(window);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(target->Release(), 0u) << "OLE gave back every reference it took";
    EXPECT_TRUE(deleted);
}

TEST(DummyDataObject, ClipboardGivesBackItsReferences) {
    // The clipboard asks the object for its formats; a placeholder has none to give.
    bool deleted = false;
    IDataObject* data = new ObservedDataObject(deleted);
    data->AddRef();
    const HRESULT set = OleSetClipboard(data);
    if (SUCCEEDED(set))
        OleSetClipboard(nullptr);
    OleFlushClipboard();
    EXPECT_EQ(data->Release(), 0u) << "the clipboard kept a reference";
    EXPECT_TRUE(deleted);
}
