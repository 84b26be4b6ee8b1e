// KivOleDropTarget: the OLE drop target registered for an icon window. It keeps the dragged data
// object, follows the item under the cursor, and hands every call to the window (KivDropClient),
// giving the old item a leave and the new one an enter whenever the cursor changes cells.
#pragma once
#include <windows.h>
#include <ole2.h>

#include "ComObject.h"
#include "KivDropClient.h"

class KivOleDropTarget : public ComObject<IDropTarget, &IID_IDropTarget> {
public:
    // The window is not owned; it outlives the registration of this object.
    explicit KivOleDropTarget(KivDropClient* window) : window(window) {}

    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

    // The window is going away. OLE may still hold this object (a drag that passed over the
    // window keeps its target until the cursor moves on), so every later call is refused here
    // instead of reaching a deleted window, and the kept data object is released now.
    void Disconnect();

    // The item index of the last call; -2 before the first.
    int GetLastIndex() const { return lastIndex; }

protected:
    ~KivOleDropTarget() override;

private:
    // Runs one of the window's operations; an exception goes to the window and becomes a failure.
    template <class Call> HRESULT Guarded(Call&& call);
    void KeepDataObject(IDataObject* data);
    void ReleaseDataObject();

    KivDropClient* window;             // null once disconnected
    IDataObject* dataObject = nullptr; // held between DragEnter and DragLeave or Drop
    int lastIndex = -2;
};
