#include "NToolTip.h"

#include <commctrl.h>

NToolTip::NToolTip(NWnd* owner) : NWnd(owner) {
    window = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             owner ? owner->GetHandle() : nullptr, nullptr,
                             application ? application->instance : GetModuleHandleA(nullptr),
                             nullptr);
    if (!window)
        throw KivWinBaseException("Error NToolTip::NToolTip");
}

LRESULT NToolTip::AddTool(RECT toolRect, UINT_PTR id, const char* text) {
    TOOLINFOA info{};
    info.cbSize = sizeof(info);
    info.uFlags = 0;
    info.hwnd = parent ? parent->GetHandle() : nullptr;
    info.uId = id;
    info.rect = toolRect;
    info.hinst = application ? application->instance : GetModuleHandleA(nullptr);
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
