#include "MenuLoopGuard.h"

#include "FrameMessages.h"

MenuLoopGuard::MenuLoopGuard(HWND frame) : frame(frame) {
    SendMessageA(frame, UM_MENULOOP, 0, 1);
}

MenuLoopGuard::~MenuLoopGuard() {
    SendMessageA(frame, UM_MENULOOP, 0, 0);
}
