#include "FakeShell.h"

#include <cstring>

namespace kivtest {

STDMETHODIMP FakeShellFolder::GetDisplayNameOf(PCUITEMID_CHILD, SHGDNF flags, STRRET* name) {
    calls.push_back("GetDisplayNameOf:" + std::to_string(flags));
    if (FAILED(nameResult))
        return nameResult;
    std::memset(name, 0, sizeof(*name));
    name->uType = nameKind;
    switch (nameKind) {
    case STRRET_WSTR: {
        const int n = MultiByteToWideChar(CP_ACP, 0, nameText.c_str(), -1, nullptr, 0);
        name->pOleStr = static_cast<LPWSTR>(CoTaskMemAlloc(n * sizeof(WCHAR)));
        MultiByteToWideChar(CP_ACP, 0, nameText.c_str(), -1, name->pOleStr, n);
        break;
    }
    case STRRET_OFFSET:
        name->uOffset = nameOffset;
        break;
    case STRRET_CSTR:
        lstrcpynA(name->cStr, nameText.c_str(), sizeof(name->cStr));
        break;
    default:
        break;
    }
    return S_OK;
}

STDMETHODIMP FakeContextMenu::QueryInterface(REFIID iid, void** out) {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IContextMenu)
        *out = static_cast<IContextMenu*>(this);
    else if (iid == IID_IContextMenu2 && level2)
        *out = static_cast<IContextMenu2*>(level2);
    else if (iid == IID_IContextMenu3 && level3)
        *out = static_cast<IContextMenu3*>(level3);
    if (!*out)
        return E_NOINTERFACE;
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

STDMETHODIMP FakeContextMenu::QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last,
                                               UINT flags) {
    log.push_back(std::to_string(level) + ":QueryContextMenu:" + std::to_string(index) + ":" +
                  std::to_string(first) + ":" + std::to_string(last) + ":" + std::to_string(flags));
    if (defaultOffset >= 0) {
        AppendMenuA(menu, MF_STRING, first, "other");
        AppendMenuA(menu, MF_STRING, first + defaultOffset, "default");
        SetMenuDefaultItem(menu, first + defaultOffset, FALSE);
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, defaultOffset + 1);
    }
    return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
}

STDMETHODIMP FakeContextMenu::InvokeCommand(CMINVOKECOMMANDINFO* info) {
    log.push_back(std::to_string(level) + ":InvokeCommand");
    lastInvoke = *info;
    lastDirectory = info->lpDirectory ? info->lpDirectory : "(null)";
    return S_OK;
}

} // namespace kivtest
