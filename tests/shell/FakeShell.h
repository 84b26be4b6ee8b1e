// Fake shell objects with visible reference counts, for the paths that real folders cannot be
// made to take (every kind of returned name, failing calls, menus with and without a default).
#pragma once
#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <string>
#include <vector>

namespace kivtest {

// Reference counting shared by the fakes; the test owns the object (on the stack) and checks
// that every reference handed out came back.
class FakeCount {
public:
    LONG references = 1;
};

class FakeShellFolder : public IShellFolder {
public:
    // What GetDisplayNameOf answers.
    HRESULT nameResult = S_OK;
    UINT nameKind = STRRET_CSTR;
    std::string nameText;
    UINT nameOffset = 0;
    // What GetUIObjectOf answers: this object's QueryInterface, or E_FAIL when null.
    IUnknown* uiObject = nullptr;
    HRESULT compareResult = S_OK;
    HRESULT enumResult = S_FALSE;

    LONG references = 1;
    std::vector<std::string> calls;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IShellFolder) {
            *out = static_cast<IShellFolder*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&references); }

    STDMETHODIMP ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, PIDLIST_RELATIVE*,
                                  ULONG*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumObjects(HWND, SHCONTF, IEnumIDList** out) override {
        calls.push_back("EnumObjects");
        *out = nullptr;
        return enumResult;
    }
    STDMETHODIMP BindToObject(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP BindToStorage(PCUIDLIST_RELATIVE, IBindCtx*, REFIID, void** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP CompareIDs(LPARAM, PCUIDLIST_RELATIVE, PCUIDLIST_RELATIVE) override {
        calls.push_back("CompareIDs");
        return compareResult;
    }
    STDMETHODIMP CreateViewObject(HWND, REFIID, void** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetAttributesOf(UINT, PCUITEMID_CHILD_ARRAY, SFGAOF*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetUIObjectOf(HWND, UINT count, PCUITEMID_CHILD_ARRAY, REFIID iid, UINT*,
                               void** out) override {
        calls.push_back("GetUIObjectOf");
        *out = nullptr;
        if (count != 1 || !uiObject)
            return E_FAIL;
        return uiObject->QueryInterface(iid, out);
    }
    STDMETHODIMP GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF, STRRET* name) override;
    STDMETHODIMP SetNameOf(HWND, PCUITEMID_CHILD, LPCWSTR, SHGDNF, PITEMID_CHILD* out) override {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }
};

// One level of a context menu. QueryInterface hands out the sibling objects of the richer
// levels that are switched on, so a test can see which level each call reached.
class FakeContextMenu : public IContextMenu3 {
public:
    FakeContextMenu(int level, std::vector<std::string>& log) : level(level), log(log) {}

    int level;
    std::vector<std::string>& log;
    FakeContextMenu* level2 = nullptr;
    FakeContextMenu* level3 = nullptr;
    // Command offset (from the first command id) made the default by QueryContextMenu; -1: none.
    int defaultOffset = -1;
    CMINVOKECOMMANDINFO lastInvoke{};
    std::string lastDirectory;
    LONG references = 1;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references); }
    STDMETHODIMP_(ULONG) Release() override { return InterlockedDecrement(&references); }

    STDMETHODIMP QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last,
                                  UINT flags) override;
    STDMETHODIMP InvokeCommand(CMINVOKECOMMANDINFO* info) override;
    STDMETHODIMP GetCommandString(UINT_PTR, UINT, UINT*, CHAR*, UINT) override { return E_NOTIMPL; }
    STDMETHODIMP HandleMenuMsg(UINT, WPARAM, LPARAM) override {
        log.push_back(std::to_string(level) + ":HandleMenuMsg");
        return S_OK;
    }
    STDMETHODIMP HandleMenuMsg2(UINT, WPARAM, LPARAM, LRESULT* result) override {
        log.push_back(std::to_string(level) + ":HandleMenuMsg2");
        if (result)
            *result = 77;
        return S_OK;
    }
};

} // namespace kivtest
