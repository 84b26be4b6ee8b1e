// Opens the help as the programs do and keeps the viewer alive: helpprobe command data [seconds].
// Pumps messages while the viewer's window exists (it belongs to this thread), closes it after the
// given seconds (default 3) and exits 0; exits 1 when the help could not be opened.
#include <windows.h>

#include <cstdlib>

#include "PathUtility.h"

namespace {
BOOL CALLBACK FindViewer(HWND window, LPARAM found) {
    char className[64];
    GetClassNameA(window, className, sizeof(className));
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && lstrcmpA(className, "HH Parent") == 0) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND Viewer() {
    HWND found = nullptr;
    EnumWindows(FindViewer, reinterpret_cast<LPARAM>(&found));
    return found;
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const UINT command = static_cast<UINT>(std::strtoul(argv[1], nullptr, 0));
    const ULONG_PTR data = std::strtoul(argv[2], nullptr, 0);
    const DWORD stay = argc > 3 ? std::strtoul(argv[3], nullptr, 0) * 1000 : 3000;
    try {
        KivWinHelp(nullptr, command, data);
    } catch (const KivUtilityException&) {
        return 1;
    }
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < stay) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    if (HWND viewer = Viewer())
        SendMessageA(viewer, WM_CLOSE, 0, 0);
    return 0;
}
