// NToolTip: a system tooltip control owned by a toolkit window. Its window is not of the toolkit
// class, so it is never bound to the object and the object's handlers never run; the owner relays
// the mouse messages to it, since the tools are added without TTF_SUBCLASS. A subclass of the
// control tells the object when the control is destroyed with its owner window.
#pragma once
#include "NWin32.h"

#include "NWnd.h"

class NToolTip : public NWnd {
public:
    explicit NToolTip(NWnd* owner); // throws "Error NToolTip::NToolTip"
    ~NToolTip() override;
    // rect in the owner's client coordinates; the control keeps its own copy of the text.
    LRESULT AddTool(RECT rect, UINT_PTR id, const char* text);
    LRESULT RelayEvent(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR self);
};
