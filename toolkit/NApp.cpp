#include "NApp.h"

#include "NWnd.h"

NApp::NApp(HINSTANCE instance) : instance(instance), mainWindow(nullptr) {}

int NApp::Run() {
    MSG msg;
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && mainWindow) {
            if (mainWindow->OnIdle() != 0)
                continue;
        }
        if (GetMessageA(&msg, nullptr, 0, 0) == 0)
            break;
        if (msg.hwnd) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        } else if (mainWindow) {
            mainWindow->WindowProc(msg.message, msg.wParam, msg.lParam);
        }
        RethrowPendingException();
    }
    return static_cast<int>(msg.wParam);
}

void NApp::StorePendingException(std::exception_ptr e) {
    if (!pendingException)
        pendingException = e;
}

void NApp::RethrowPendingException() {
    if (pendingException) {
        std::exception_ptr e = pendingException;
        pendingException = nullptr;
        std::rethrow_exception(e);
    }
}
