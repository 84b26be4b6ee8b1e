// DummyDropTarget: the drop target handed out for a shell item that has none of its own; it
// refuses every drop, so callers never have to handle a missing target.
#pragma once
#include <windows.h>
#include <ole2.h>

#include "ComObject.h"

class DummyDropTarget : public ComObject<IDropTarget, &IID_IDropTarget> {
public:
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

protected:
    ~DummyDropTarget() override = default;
};
