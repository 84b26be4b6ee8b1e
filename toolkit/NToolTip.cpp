#include "NToolTip.h"

#include <commctrl.h>

namespace {
const UINT_PTR subclassId = 1;

HINSTANCE InstanceOf(NApp* application) {
    return application ? application->instance : GetModuleHandleA(nullptr);
}
} // namespace

NToolTip::NToolTip(NWnd* owner) : NWnd(owner) {
    const HWND control =
        CreateWindowExA(0, "tooltips_class32", nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, owner ? owner->GetHandle() : nullptr, nullptr,
                        InstanceOf(application), nullptr);
    if (!control)
        throw KivWinBaseException("Error NToolTip::NToolTip");
    if (!SetWindowSubclass(control, &NToolTip::ControlProc, subclassId,
                           reinterpret_cast<DWORD_PTR>(this))) {
        ::DestroyWindow(control);
        throw KivWinBaseException("Error NToolTip::NToolTip");
    }
    AdoptWindow(control);
}

NToolTip::~NToolTip() {
    if (!OwnsWindow())
        return;
    RemoveWindowSubclass(window, &NToolTip::ControlProc, subclassId);
    ::DestroyWindow(window);
    WindowGone();
}

LRESULT CALLBACK NToolTip::ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR self) {
    if (message == WM_NCDESTROY) {
        // Destroyed with its owner window: the object keeps the handle but no longer owns it.
        RemoveWindowSubclass(control, &NToolTip::ControlProc, id);
        reinterpret_cast<NToolTip*>(self)->WindowGone();
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

LRESULT NToolTip::AddTool(RECT toolRect, UINT_PTR id, const char* text) {
    // The structure up to lParam: without a version 6 manifest the control refuses the larger
    // sizeof(TOOLINFOA), which also counts lpReserved.
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = 0;
    info.hwnd = parent ? parent->GetHandle() : nullptr;
    info.uId = id;
    info.rect = toolRect;
    info.hinst = InstanceOf(application);
    info.lpszText = const_cast<char*>(text);
    return SendMessageA(window, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

LRESULT NToolTip::RelayEvent(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = parent ? parent->GetHandle() : nullptr;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return SendMessageA(window, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}
