#include "DragLoop.h"

#include "FrameMessages.h"
#include "KivOleDropSource.h"

namespace {

// One reference, released when the scope ends, also by an exception.
class HeldReference {
public:
    explicit HeldReference(IUnknown* object) : object(object) {}
    HeldReference(const HeldReference&) = delete;
    HeldReference& operator=(const HeldReference&) = delete;
    ~HeldReference() {
        if (object)
            object->Release();
    }

private:
    IUnknown* object;
};

} // namespace

HRESULT RunDragLoop(IDataObject* data, IDropSource* source, DWORD* effect) {
    source->AddRef();
    HeldReference held(source);
    DWORD chosen = DROPEFFECT_NONE;
    const HRESULT result =
        DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &chosen);
    if (effect)
        *effect = chosen;
    return result;
}

HRESULT StartDrag(HWND frame, IDataObject* handedOver, bool leftButton, bool disableDragStart) {
    HeldReference handed(handedOver);
    if (disableDragStart || !handedOver)
        return S_FALSE;
    return RunDragLoop(handedOver, new KivOleDropSource(frame, UM_CHECKSTATE, leftButton));
}
