#include "NToolTip.h"

#include <commctrl.h>

namespace {
HINSTANCE InstanceOf(NApp* application) {
    return application ? application->instance : GetModuleHandleA(nullptr);
}
} // namespace

NToolTip::NToolTip(NWnd* owner) : NWnd(owner) {
    window =
        CreateWindowExA(0, "tooltips_class32", nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, owner ? owner->GetHandle() : nullptr, nullptr,
                        InstanceOf(application), nullptr);
    if (!window)
        throw KivWinBaseException("Error NToolTip::NToolTip");
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
