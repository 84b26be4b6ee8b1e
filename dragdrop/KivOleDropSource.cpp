#include "KivOleDropSource.h"

HRESULT QueryContinueDragResult(bool escapePressed, DWORD keys, bool leftButton) {
    const DWORD draggingButton = leftButton ? MK_LBUTTON : MK_RBUTTON;
    const DWORD otherButton = leftButton ? MK_RBUTTON : MK_LBUTTON;
    if (escapePressed || (keys & otherButton))
        return DRAGDROP_S_CANCEL;
    if (!(keys & draggingButton))
        return DRAGDROP_S_DROP;
    return S_OK;
}

STDMETHODIMP KivOleDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keys) {
    return QueryContinueDragResult(escapePressed != FALSE, keys, leftButton);
}

STDMETHODIMP KivOleDropSource::GiveFeedback(DWORD) {
    PostMessageA(notifyWindow, notifyMessage, 0, 0);
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
