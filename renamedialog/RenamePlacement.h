// Where the rename dialog opens: at the cursor, moved into the work area.
#pragma once
#include <windows.h>

// The top-left corner for a form of the given size whose corner would be at the cursor: pushed
// left and up so that it ends inside the work area, but never past its left or top edge (a form
// larger than the work area keeps its left and top edges in view).
POINT PlaceInWorkArea(POINT cursor, SIZE form, const RECT& workArea);
