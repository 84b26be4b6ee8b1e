#include "KivOleDropTarget.h"

namespace {

// A failure of the window becomes "no drop here" towards OLE, which would otherwise end the drag.
HRESULT Answer(HRESULT result, DWORD* effect) {
    if (FAILED(result)) {
        if (effect)
            *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    return result;
}

} // namespace

KivOleDropTarget::~KivOleDropTarget() {
    ReleaseDataObject();
}

void KivOleDropTarget::Disconnect() {
    window = nullptr;
    ReleaseDataObject();
}

template <class Call> HRESULT KivOleDropTarget::Guarded(Call&& call) {
    if (!window)
        return E_UNEXPECTED;
    try {
        return call();
    } catch (...) {
        try {
            window->KeepDropException(std::current_exception());
        } catch (...) {
            // Nothing may unwind into OLE; the failure answer below is all that is left.
        }
        return E_UNEXPECTED;
    }
}

void KivOleDropTarget::KeepDataObject(IDataObject* data) {
    if (data)
        data->AddRef();
    ReleaseDataObject();
    dataObject = data;
}

void KivOleDropTarget::ReleaseDataObject() {
    if (IDataObject* old = dataObject) {
        dataObject = nullptr;
        old->Release();
    }
}

STDMETHODIMP KivOleDropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                         DWORD* effect) {
    return Answer(Guarded([&] {
                      KeepDataObject(data);
                      lastIndex = window->DropHitTest(point);
                      return window->OnItemDragEnter(data, keys, point, effect, lastIndex);
                  }),
                  effect);
}

STDMETHODIMP KivOleDropTarget::DragOver(DWORD keys, POINTL point, DWORD* effect) {
    return Answer(Guarded([&] {
                      const int index = window->DropHitTest(point);
                      if (index == lastIndex)
                          return window->OnItemDragOver(dataObject, keys, point, effect, index);
                      window->OnItemDragLeave();
                      lastIndex = index;
                      return window->OnItemDragEnter(dataObject, keys, point, effect, index);
                  }),
                  effect);
}

STDMETHODIMP KivOleDropTarget::DragLeave() {
    Guarded([&] {
        ReleaseDataObject();
        return window->OnItemDragLeave();
    });
    return S_OK;
}

STDMETHODIMP KivOleDropTarget::Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) {
    return Answer(Guarded([&] {
                      // The kept object goes before the window drops, also when a step throws.
                      struct Releaser {
                          KivOleDropTarget* target;
                          ~Releaser() { target->ReleaseDataObject(); }
                      } releaser{this};
                      const int index = window->DropHitTest(point);
                      if (index != lastIndex) {
                          window->OnItemDragLeave();
                          lastIndex = index;
                          window->OnItemDragEnter(dataObject ? dataObject : data, keys, point,
                                                  effect, index);
                      }
                      ReleaseDataObject();
                      return window->OnItemDrop(data, keys, point, effect, lastIndex);
                  }),
                  effect);
}
