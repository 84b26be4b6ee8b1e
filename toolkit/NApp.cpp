#include "NApp.h"

#include "NWnd.h"

NApp::NApp(HINSTANCE instance) : instance(instance), mainWindow(nullptr) {}

int NApp::Run() {
    MSG msg;
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && mainWindow) {
            const int again = mainWindow->OnIdle();
            // A window procedure reached by a send from the idle hook may have parked one.
            RethrowPendingException();
            if (again != 0)
                continue;
        }
        if (GetMessageA(&msg, nullptr, 0, 0) == 0) {
            // Sent messages handled inside GetMessageA, or the last one before WM_QUIT.
            RethrowPendingException();
            break;
        }
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
