// DummyDropTarget: the drop target handed out for a shell item that has none of its own; it
// refuses every drop, so callers never have to handle a missing target.
#pragma once
#include <windows.h>
#include <ole2.h>

class DummyDropTarget : public IDropTarget {
public:
    // The count starts at 0: the creator takes the first reference.
    DummyDropTarget() : refCount(0) {}
    DummyDropTarget(const DummyDropTarget&) = delete;
    DummyDropTarget& operator=(const DummyDropTarget&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    STDMETHODIMP DragLeave() override;
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

protected:
    // Only Release deletes the object.
    virtual ~DummyDropTarget() = default;

private:
    LONG refCount;
};
