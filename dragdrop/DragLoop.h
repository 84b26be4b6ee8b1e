// The frame's drag loop: runs OLE's modal drag for a data object handed over by an icon window.
#pragma once
#include <windows.h>
#include <ole2.h>

// DoDragDrop of data with source, effects COPY | MOVE | LINK. The source is held for the whole
// loop, so a source whose count starts at 0 is deleted when the loop ends, whether or not OLE
// takes references of its own. Returns DoDragDrop's result; the chosen effect goes to effect.
HRESULT RunDragLoop(IDataObject* data, IDropSource* source, DWORD* effect = nullptr);

// The frame's answer to UM_STARTDRAG. handedOver brings one reference, which is released in every
// case. Unless disableDragStart is set, runs the drag loop with a new KivOleDropSource that posts
// UM_CHECKSTATE to frame; returns the loop's result, or S_FALSE when no loop ran.
HRESULT StartDrag(HWND frame, IDataObject* handedOver, bool leftButton, bool disableDragStart);
