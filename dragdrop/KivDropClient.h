// KivDropClient: what the drop target needs from the window it serves. The icon window implements
// it; the drop target knows nothing else of the window.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <exception>

class KivDropClient {
public:
    // The item index under a screen point (the window converts it to client coordinates and
    // hit-tests there); -1 for none.
    virtual int DropHitTest(POINTL screenPoint) = 0;

    // The window's drop operations. point stays in screen coordinates and is passed on to the
    // shell unchanged; index is the item under it. A failure code makes the drop target answer
    // DROPEFFECT_NONE with S_OK.
    virtual HRESULT OnItemDragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                                    int index) = 0;
    virtual HRESULT OnItemDragOver(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                                   int index) = 0;
    virtual HRESULT OnItemDragLeave() = 0;
    virtual HRESULT OnItemDrop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect,
                               int index) = 0;

    // An exception thrown by one of the operations above, caught at the COM boundary (OLE must
    // never be unwound). The window hands it to where the program handles its failures.
    virtual void KeepDropException(std::exception_ptr error) = 0;

protected:
    ~KivDropClient() = default;
};
