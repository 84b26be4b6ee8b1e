#include "DummyDataObject.h"

STDMETHODIMP DummyDataObject::GetData(FORMATETC*, STGMEDIUM*) {
    return DV_E_FORMATETC;
}

STDMETHODIMP DummyDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) {
    return DV_E_FORMATETC;
}

STDMETHODIMP DummyDataObject::QueryGetData(FORMATETC*) {
    return DV_E_FORMATETC;
}

STDMETHODIMP DummyDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) {
    return DV_E_FORMATETC;
}

STDMETHODIMP DummyDataObject::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

// The out-parameter is cleared so that a caller which looks only at the pointer releases nothing.
STDMETHODIMP DummyDataObject::EnumFormatEtc(DWORD, IEnumFORMATETC** formats) {
    if (formats)
        *formats = nullptr;
    return E_INVALIDARG;
}

STDMETHODIMP DummyDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return E_NOTIMPL;
}

STDMETHODIMP DummyDataObject::DUnadvise(DWORD) {
    return E_NOTIMPL;
}

STDMETHODIMP DummyDataObject::EnumDAdvise(IEnumSTATDATA**) {
    return E_NOTIMPL;
}
