#include "DummyDropTarget.h"

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
