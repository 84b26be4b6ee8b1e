// ComObject: IUnknown for the program's own single-interface COM objects. The count starts at 0
// (the creator takes the first reference) and the last Release deletes the object through its
// virtual destructor. No method of these objects throws: each answers with an HRESULT.
#pragma once
#include <windows.h>
#include <unknwn.h>

template <class Interface, const IID* interfaceId> class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == *interfaceId) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refCount); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG count = InterlockedDecrement(&refCount);
        if (count == 0)
            delete this;
        return count;
    }

protected:
    ComObject() = default;
    // Only Release deletes the object.
    virtual ~ComObject() = default;

private:
    LONG refCount = 0;
};
