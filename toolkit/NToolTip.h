// NToolTip: a system tooltip control owned by a toolkit window. Its window is not of the toolkit
// class, so it is never bound to the object; the owner relays the mouse messages to it.
#pragma once
#include "NWin32.h"
#include <string>

#include "NWnd.h"

class NToolTip : public NWnd {
public:
    explicit NToolTip(NWnd* owner);
    LRESULT AddTool(RECT rect, UINT_PTR id, const char* text);
    LRESULT RelayEvent(UINT message, WPARAM wParam, LPARAM lParam);
};
