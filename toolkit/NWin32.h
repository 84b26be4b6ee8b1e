// windows.h for the toolkit: the ANSI macros that share a name with toolkit operations
// (CreateWindow, PostMessage, ...) are removed; the toolkit calls the A functions by name.
#pragma once
#include <windows.h>

#undef CreateWindow
#undef PostMessage
#undef SendMessage
#undef MessageBox
#undef AppendMenu
#undef DrawTextEx
#undef GetTextExtentPoint32
