// The private messages of the frame window, which the icon windows send or post to it through
// the application's main window.
#pragma once
#include <windows.h>

// Posted: hide every top window.
constexpr UINT UM_HIDEALL = WM_USER + 101;
// Sent: run the drag loop; wParam an IDataObject whose reference is handed over, lParam non-zero
// for the left button.
constexpr UINT UM_STARTDRAG = WM_USER + 102;
// Posted by the drop source during a drag: do the periodic work.
constexpr UINT UM_CHECKSTATE = WM_USER + 103;
// Sent: create the next TopWindow folder.
constexpr UINT UM_ADDTOPWINDOW = WM_USER + 104;
// Sent with lParam 1 and 0 around menus and drops: no rebuild meanwhile.
constexpr UINT UM_MENULOOP = WM_USER + 105;
