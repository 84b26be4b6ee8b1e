#include "DummyDropTarget.h"

STDMETHODIMP DummyDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DummyDropTarget::AddRef() {
    return InterlockedIncrement(&refCount);
}

STDMETHODIMP_(ULONG) DummyDropTarget::Release() {
    const LONG count = InterlockedDecrement(&refCount);
    if (count == 0)
        delete this;
    return count;
}

STDMETHODIMP DummyDropTarget::DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) {
    if (effect)
        *effect = DROPEFFECT_NONE;
    return S_OK;
}

STDMETHODIMP DummyDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect)
        *effect = DROPEFFECT_NONE;
    return S_OK;
}

STDMETHODIMP DummyDropTarget::DragLeave() {
    return S_OK;
}

STDMETHODIMP DummyDropTarget::Drop(IDataObject*, DWORD, POINTL, DWORD* effect) {
    if (effect)
        *effect = DROPEFFECT_NONE;
    return S_OK;
}
