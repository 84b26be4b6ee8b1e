// The frame window's private messages, shared by the frame, the icon windows and the drag and
// drop objects that talk to it.
#pragma once
#include <windows.h>

// Posted: hide every top window.
constexpr UINT UM_HIDEALL = WM_USER + 101;
// Sent: run the drag loop; wParam is an IDataObject whose reference is handed over, lParam is
// non-zero for a left-button drag.
constexpr UINT UM_STARTDRAG = WM_USER + 102;
// Posted by the drop source during a drag, so that the frame's periodic work goes on.
constexpr UINT UM_CHECKSTATE = WM_USER + 103;
// Sent: create the next top-window folder.
constexpr UINT UM_ADDTOPWINDOW = WM_USER + 104;
// Sent with lParam 1 and 0 around menus and drops: no rebuild meanwhile.
constexpr UINT UM_MENULOOP = WM_USER + 105;
