// MenuLoopGuard: tells the frame that a drop (or menu) is running, for exactly its own lifetime.
// The frame stops its periodic work on 1 and resumes on 0, so the 0 must come whatever happens
// in between, an exception included.
#pragma once
#include <windows.h>

class MenuLoopGuard {
public:
    // Sends UM_MENULOOP with lParam 1 to frame.
    explicit MenuLoopGuard(HWND frame);
    MenuLoopGuard(const MenuLoopGuard&) = delete;
    MenuLoopGuard& operator=(const MenuLoopGuard&) = delete;
    // Sends UM_MENULOOP with lParam 0.
    ~MenuLoopGuard();

private:
    HWND frame;
};
