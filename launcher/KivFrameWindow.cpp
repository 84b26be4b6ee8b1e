#include "KivFrameWindow.h"

#include "KivWinProperty.h"

KivFrameWindow::KivFrameWindow(NApp* app, HANDLE event, const char* directory)
    : NFrameWnd(app), closeEvent(event), dataDirectory(directory) {
    SetStyle(WS_POPUP | WS_VISIBLE);
    SetExStyle(WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    SetWindowTitle("Kiv");
}

KivFrameWindow::~KivFrameWindow() {
    // Destroy the window while this object is still whole, so OnDestroy runs.
    if (OwnsWindow())
        ::DestroyWindow(window);
}

void KivFrameWindow::OnCreate() {
    // The timer only wakes the message loop, so that the idle work runs at least this often.
    KivWinProperty defaults(dataDirectory);
    defaults.LoadParam(nullptr);
    SetTimer(timerId, static_cast<UINT>(defaults.TimerTimeOut), nullptr);
    SetIcon(LoadIconA(application->instance, "MAINICON"), false);
}

void KivFrameWindow::OnDestroy() {
    KillTimer(timerId);
    NFrameWnd::OnDestroy();
}

int KivFrameWindow::OnIdle() {
    CheckState();
    return 0;
}

void KivFrameWindow::CheckState() {
    if (WaitForSingleObject(closeEvent, 0) == WAIT_OBJECT_0) {
        DestroyWindow();
        return;
    }
}
