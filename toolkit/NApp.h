// NApp: the application object; owns the message loop with its idle hook.
#pragma once
#include "NWin32.h"
#include <exception>

class NWnd;

class NApp {
public:
    explicit NApp(HINSTANCE instance);
    NApp(const NApp&) = delete;
    NApp& operator=(const NApp&) = delete;

    // Runs until WM_QUIT. Calls mainWindow->OnIdle whenever the queue is empty and hands thread
    // messages to mainWindow. An exception caught inside a window procedure is rethrown here:
    // after each dispatched message, after each idle call, and before the loop ends.
    int Run();

    // Window procedures must not let an exception unwind through the system's frames: they park
    // it here and the loop (or CreateWindow) rethrows it. Only the first one is kept.
    void StorePendingException(std::exception_ptr e);
    void RethrowPendingException();
    bool HasPendingException() const { return static_cast<bool>(pendingException); }

    HINSTANCE instance;
    NWnd* mainWindow;

private:
    std::exception_ptr pendingException;
};
